#include "StartCommandLine.h"

#include <QFileInfo>

StartCommandLine StartCommandLine::parse(const QStringList &arguments)
{
    StartCommandLine commandLine;
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QLatin1String("--home"))
            commandLine.home = true;
        else if (commandLine.file.isEmpty() && !argument.isEmpty())
            commandLine.file = QFileInfo(argument).absoluteFilePath();
    }
    return commandLine;
}
