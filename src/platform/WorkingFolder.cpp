#include "WorkingFolder.h"

#include "platform/Prompter.h"

#include <QDir>
#include <QStandardPaths>

namespace WorkingFolder {

QString home()
{
    const QString chosen = qEnvironmentVariable("KORVA3_HOME");
    if (!chosen.isEmpty())
        return QDir(chosen).absolutePath();
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .absoluteFilePath(QStringLiteral("Korva3"));
}

bool enter(const QString &folder)
{
    const QString shown = QDir::toNativeSeparators(folder);
    if (!QDir().mkpath(folder)) {
        Prompter::current().error(QStringLiteral("The working folder %1 cannot be made.").arg(shown));
        return false;
    }
    if (!QDir::setCurrent(folder)) {
        Prompter::current().error(QStringLiteral("The working folder %1 cannot be opened.").arg(shown));
        return false;
    }
    return true;
}

} // namespace WorkingFolder
