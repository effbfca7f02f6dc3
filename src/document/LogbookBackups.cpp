#include "LogbookBackups.h"

#include "platform/AppSettings.h"
#include "store/DatabaseBackup.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace LogbookBackups {

namespace {

const char kFolderKey[] = "Backups/Folder";
const char kTimeFormat[] = "yyyy-MM-dd-HHmmss";

QString baseName(const QString &logbookPath)
{
    return QFileInfo(logbookPath).completeBaseName();
}

} // namespace

QString folder()
{
    const QString chosen = AppSettings::open()->value(QLatin1String(kFolderKey)).toString();
    if (!chosen.isEmpty())
        return chosen;
    return QDir(AppSettings::dataFolder()).filePath(QStringLiteral("backups"));
}

void setFolder(const QString &folder)
{
    AppSettings::open()->setValue(QLatin1String(kFolderKey), folder);
}

QString fileName(const QString &logbookPath, const QDateTime &utc)
{
    return baseName(logbookPath) + QLatin1Char('-') + utc.toUTC().toString(QLatin1String(kTimeFormat))
         + QStringLiteral(".sqlite3");
}

QStringList existing(const QString &logbookPath, const QString &folder)
{
    const QRegularExpression pattern(QLatin1Char('^') + QRegularExpression::escape(baseName(logbookPath))
                                     + QStringLiteral("-\\d{4}-\\d{2}-\\d{2}-\\d{6}\\.sqlite3$"));
    QStringList names = QDir(folder).entryList(QDir::Files);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [&pattern](const QString &name) { return !pattern.match(name).hasMatch(); }),
                names.end());
    // The time in the name sorts as text.
    std::sort(names.begin(), names.end(), std::greater<QString>());
    return names;
}

Outcome write(const QString &logbookPath, const QString &folder, const std::function<void(int)> &progress)
{
    Outcome outcome;
    if (!QDir().mkpath(folder)) {
        outcome.error = QStringLiteral("The backup folder %1 cannot be made").arg(folder);
        return outcome;
    }
    outcome.path = QDir(folder).filePath(fileName(logbookPath, QDateTime::currentDateTimeUtc()));
    if (!DatabaseBackup::copy(logbookPath, outcome.path, progress, &outcome.error))
        return outcome;
    outcome.written = true;
    const QStringList backups = existing(logbookPath, folder);
    for (qsizetype i = kKept; i < backups.size(); ++i)
        QFile::remove(QDir(folder).filePath(backups.at(i)));
    return outcome;
}

} // namespace LogbookBackups
