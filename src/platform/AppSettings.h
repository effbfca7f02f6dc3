#pragma once

#include <QSettings>
#include <QString>

#include <memory>

// The per-user settings of Korva3 (organisation and application "Korva3"). Sections and
// values keep their names: "Most Recent Korva File"/"File", "Default"/"DefFreq", ...
namespace AppSettings {

// The settings store; under a folder set by useFolder, an INI file there instead.
std::unique_ptr<QSettings> open();

// Keeps the settings in `folder` (tests point this at a temporary folder); an empty
// text returns to the user's own store.
void useFolder(const QString &folder);

// The folder of the user's own data: $XDG_DATA_HOME/Korva3, or the folder set by
// useFolder.
QString dataFolder();

// The logbook opened last: section "Most Recent Korva File", value "File".
QString mostRecentFile();
void setMostRecentFile(const QString &path);

} // namespace AppSettings
