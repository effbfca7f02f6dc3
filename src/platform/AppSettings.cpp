#include "AppSettings.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString g_folder;
} // namespace

namespace AppSettings {

std::unique_ptr<QSettings> open()
{
    if (!g_folder.isEmpty())
        return std::make_unique<QSettings>(QDir(g_folder).filePath(QStringLiteral("Korva3.ini")),
                                           QSettings::IniFormat);
    return std::make_unique<QSettings>(QStringLiteral("Korva3"), QStringLiteral("Korva3"));
}

void useFolder(const QString &folder)
{
    g_folder = folder;
}

QString dataFolder()
{
    if (!g_folder.isEmpty())
        return g_folder;
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)).filePath(QStringLiteral("Korva3"));
}

QString mostRecentFile()
{
    return open()->value(QStringLiteral("Most Recent Korva File/File")).toString();
}

void setMostRecentFile(const QString &path)
{
    open()->setValue(QStringLiteral("Most Recent Korva File/File"), path);
}

} // namespace AppSettings
