#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;

// The journal a logbook keeps while this program has it open. In SQLite's write-ahead
// log (WAL) readers never block the writer, nor the writer a reader: the windows, the
// reports, a backup or another program reading go on while a QSO is written, and a
// write never waits for them. At rest a logbook goes back to the rollback journal: one
// plain file, which a copy takes whole, which opens read-only from any medium (a WAL
// file needs its -shm beside it, so a read-only folder could not be read at all), and
// which every SQLite reads.
//
// While in WAL mode, one idle connection stays open, so the companion files -wal and
// -shm stay until the end instead of being made and removed by every operation's own
// connection (and a full disk cannot keep the logbook from being read).
//
// Neither switch waits: while another program has the logbook open (in the other
// mode, or at all for the way back) it stays as it is, and the next open or close tries
// again. WAL is never used on a network file system, whose locks and shared memory do
// not reach the other machines that may have the logbook open, nor where there is no
// room for the companion files (a full disk, a file-size limit).
class LogbookJournal
{
public:
    LogbookJournal() = default;
    // Back to the rollback journal, when this was the last connection.
    ~LogbookJournal();
    LogbookJournal(const LogbookJournal &) = delete;
    LogbookJournal &operator=(const LogbookJournal &) = delete;

    // Puts the logbook into WAL mode; true when it is in it afterwards. A logbook found
    // in WAL mode on a network file system goes back to the rollback journal instead.
    bool useWal(const QString &path);
    bool isWal() const { return m_keeper != nullptr; }

    // "wal", "delete", ...: the mode SQLite reports; empty when the file cannot be read.
    static QByteArray mode(const QString &path);
    // NFS, SMB/CIFS, sshfs and the like.
    static bool isOnNetworkFileSystem(const QString &path);

private:
    QString m_path;
    sqlite3 *m_keeper = nullptr;
};
