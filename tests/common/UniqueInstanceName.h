#pragma once

#include <QCoreApplication>
#include <QString>

// A single-instance guard name no other test run and no running Korva3 uses: each test
// process, and each start within it, gets its own.
inline QString uniqueInstanceName()
{
    static int counter = 0;
    return QStringLiteral("Korva3Test-%1-%2").arg(QCoreApplication::applicationPid()).arg(++counter);
}
