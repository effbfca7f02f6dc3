#include "LogbookJournal.h"

#include "SlotConnection.h"
#include "SqliteStatement.h"
#include "StoreLog.h"

#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <sqlite3.h>

namespace {

// Runs one journal_mode pragma on `db` without waiting for another program's lock;
// the mode SQLite answers with. Another program holding the logbook is no failure here
// (the switch waits for the next open or close), so it is not logged as one.
QByteArray journalMode(sqlite3 *db, const char *pragma)
{
    sqlite3_busy_handler(db, nullptr, nullptr);
    sqlite3_stmt *statement = nullptr;
    QByteArray mode;
    if (sqlite3_prepare_v2(db, pragma, -1, &statement, nullptr) == SQLITE_OK && sqlite3_step(statement) == SQLITE_ROW)
        mode = QByteArray(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
    else
        qCDebug(lcStore).noquote() << pragma << "not done:" << sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    return mode;
}

QByteArray journalMode(const QString &path, const char *pragma)
{
    sqlite3 *db = nullptr;
    if (!SlotConnection::openFile(SlotConnection::encodePath(path), SlotConnection::Mode::Existing, db))
        return QByteArray();
    const QByteArray mode = journalMode(db, pragma);
    sqlite3_close(db);
    return mode;
}

constexpr char kRollback[] = "PRAGMA journal_mode=DELETE";

// Room in the logbook's folder for the companion files (the -shm file alone takes
// 32 KiB). A logbook switched to WAL whose -shm cannot be made cannot even be read, so
// on a full disk, or under a file-size limit, it keeps the rollback journal.
bool roomForCompanions(const QString &path)
{
    constexpr qint64 kRoom = 96 * 1024;
    QTemporaryFile probe(QFileInfo(path).absolutePath() + QStringLiteral("/.korva3-room-XXXXXX"));
    if (!probe.open())
        return false;
    const QByteArray zeros(kRoom, '\0');
    return probe.write(zeros) == kRoom && probe.flush();
}

} // namespace

LogbookJournal::~LogbookJournal()
{
    if (!m_keeper)
        return;
    sqlite3_close(m_keeper);
    journalMode(m_path, kRollback);
}

bool LogbookJournal::useWal(const QString &path)
{
    if (m_keeper)
        return true;
    if (isOnNetworkFileSystem(path)) {
        journalMode(path, kRollback);
        return false;
    }
    sqlite3 *db = nullptr;
    if (!roomForCompanions(path)
        || !SlotConnection::openFile(SlotConnection::encodePath(path), SlotConnection::Mode::Existing, db))
        return false;
    if (journalMode(db, "PRAGMA journal_mode=WAL") != "wal") {
        sqlite3_close(db);
        return false;
    }
    // A first read makes the -shm file at its full size now, while the disk still has
    // room for it.
    if (!SqliteStatement::exec(db, "SELECT COUNT(*) FROM sqlite_master")) {
        journalMode(db, kRollback);
        sqlite3_close(db);
        return false;
    }
    m_path = path;
    m_keeper = db;
    return true;
}

QByteArray LogbookJournal::mode(const QString &path)
{
    return journalMode(path, "PRAGMA journal_mode");
}

bool LogbookJournal::isOnNetworkFileSystem(const QString &path)
{
    const QByteArray type = QStorageInfo(QFileInfo(path).absolutePath()).fileSystemType();
    for (const char *network : {"nfs", "cifs", "smb", "9p", "afs", "ncp", "ceph", "gluster", "fuse.sshfs", "davfs",
                                "vboxsf", "vmhgfs", "fuse.gvfsd"}) {
        if (type.startsWith(network))
            return true;
    }
    return false;
}
