#pragma once

#include <QString>
#include <QStringList>

// What Korva3's command line asks for: `Korva3 [--home] [FILE]`. With --home the program
// works in its own working folder (WorkingFolder::home) instead of the current one, as
// the desktop's menu starts it; FILE is a logbook to open or an ADIF file to import.
struct StartCommandLine
{
    bool home = false;
    // Made absolute against the folder the program was started in, so that it still
    // names the same file once the working folder has changed; empty when none.
    QString file;

    // `arguments` as QCoreApplication::arguments() gives them, the program first.
    static StartCommandLine parse(const QStringList &arguments);
};
