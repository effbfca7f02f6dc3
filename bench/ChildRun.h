#pragma once

#include <QString>
#include <QStringList>

// Runs a program to its end as a child process and measures it from the outside: the
// wall time from start to exit and the peak resident memory the kernel reports for it.
struct ChildRun
{
    bool exitedCleanly = false; // exit status 0
    double milliseconds = 0;
    double peakMiB = 0;

    // Standard input from `inputFile` and standard output to `outputFile` (each
    // /dev/null when empty), standard error inherited; started in `folder`.
    static ChildRun run(const QString &program, const QStringList &arguments, const QString &folder,
                        const QString &inputFile = QString(), const QString &outputFile = QString());
};
