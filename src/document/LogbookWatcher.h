#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

struct sqlite3;

// Notices when another program (korva3-cli, a second Korva3, the sqlite3 shell) has
// written a logbook: SQLite's `PRAGMA data_version` on a connection of its own changes
// whenever any other connection commits, and reading it is cheap enough to do every
// second. The document's own writes go through other connections too, so the document
// calls takeOwnWrite() after each of them; whatever else changed the file meanwhile is
// then seen by the windows' refresh of that write.
class LogbookWatcher : public QObject
{
    Q_OBJECT

public:
    static constexpr int kDefaultIntervalMs = 1000;

    explicit LogbookWatcher(const QString &path, QObject *parent = nullptr);
    ~LogbookWatcher() override;

    // Starts the polling; false when the logbook cannot be opened for reading.
    bool start(int intervalMs = kDefaultIntervalMs);
    void takeOwnWrite();

signals:
    void changedOutside();

private:
    void poll();
    qint64 readVersion();

    QString m_path;
    sqlite3 *m_db = nullptr;
    qint64 m_version = -1;
    QTimer m_timer;
};
