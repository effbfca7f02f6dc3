#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

// The automatic copies of a logbook: made with SQLite's online backup (so the logbook
// stays in use), named by the logbook and the time to the second
// ("log-2026-12-08-135959.sqlite3", which Korva3 opens like any logbook), in the
// backup folder, the newest kKept of each logbook kept and older ones removed.
namespace LogbookBackups {

constexpr int kKept = 10;

// The folder chosen in Setup (settings section "Backups", value "Folder"), else
// "backups" in the user's data folder ($XDG_DATA_HOME/Korva3/backups).
QString folder();
void setFolder(const QString &folder);

// The name of a backup of `logbookPath` taken at `utc`.
QString fileName(const QString &logbookPath, const QDateTime &utc);
// The backups of the logbook in `folder`, newest first.
QStringList existing(const QString &logbookPath, const QString &folder);

struct Outcome
{
    bool written = false;
    QString path;  // the backup written
    QString error; // why none was
};

// Makes the folder when needed, copies the logbook into it and removes the backups of
// the logbook beyond the newest kKept. `progress` gets 0 to 100 (may be empty).
Outcome write(const QString &logbookPath, const QString &folder, const std::function<void(int)> &progress = {});

} // namespace LogbookBackups
