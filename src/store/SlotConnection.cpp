#include "SlotConnection.h"

#include "StoreLog.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <iterator>

namespace {

thread_local quint64 t_lockWaitsGivenUp = 0;
thread_local QElapsedTimer t_lockWait;

// SQLite calls this on the thread of the statement while another connection holds a
// lock the statement needs; `tries` is 0 when a statement starts to wait. Short pauses
// first, so a lock let go soon costs little, then longer ones. Giving up interrupts the
// statement: otherwise a write that could not spill its cache would go on and wait
// again at its next statement, however long the other program holds on.
int waitForLock(void *connection, int tries)
{
    static constexpr int kPausesMs[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50, 50, 100};
    if (tries == 0)
        t_lockWait.start();
    const qint64 left = SlotConnection::kBusyTimeoutMs - t_lockWait.elapsed();
    if (left <= 0) {
        ++t_lockWaitsGivenUp;
        sqlite3_interrupt(static_cast<sqlite3 *>(connection));
        return 0;
    }
    const int pause = kPausesMs[std::min<std::size_t>(static_cast<std::size_t>(tries), std::size(kPausesMs) - 1)];
    sqlite3_sleep(static_cast<int>(std::min<qint64>(left, pause)));
    return 1;
}

} // namespace

SlotConnection::SlotConnection(sqlite3 *&slot, const QString &path, Mode mode)
    : m_slot(slot)
{
    open(encodePath(path), mode);
}

SlotConnection::SlotConnection(sqlite3 *&slot, const char *fileName)
    : m_slot(slot)
{
    open(QByteArray(fileName), Mode::Existing);
}

SlotConnection::~SlotConnection()
{
    if (m_borrowed)
        return;
    sqlite3_close(m_slot);
    m_slot = nullptr;
}

QByteArray SlotConnection::encodePath(const QString &path)
{
    return QFile::encodeName(path);
}

bool SlotConnection::openFile(const QByteArray &fileName, Mode mode, sqlite3 *&db)
{
    const int flags = mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY
                    : SQLITE_OPEN_READWRITE | (mode == Mode::Create ? SQLITE_OPEN_CREATE : 0);
    const int rc = sqlite3_open_v2(fileName.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString text = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        qCWarning(lcStore).noquote() << "open failed:" << text << "for" << QFile::decodeName(fileName);
        StoreLog::noteFailure(text);
        // sqlite3_open_v2 may hand out a handle even when it fails.
        sqlite3_close(db);
        db = nullptr;
        return false;
    }
    sqlite3_busy_handler(db, waitForLock, db);
    return true;
}

bool SlotConnection::holdsDatabase(const QString &path)
{
    // An empty file is a database to SQLite, but holds nothing of one.
    if (QFileInfo(path).size() < 16)
        return false;
    sqlite3 *db = nullptr;
    bool database = false;
    if (sqlite3_open_v2(encodePath(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *statement = nullptr;
        const int rc = sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master LIMIT 1", -1, &statement, nullptr);
        database = rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return database;
}

quint64 SlotConnection::lockWaitsGivenUp()
{
    return t_lockWaitsGivenUp;
}

void SlotConnection::open(const QByteArray &fileName, Mode mode)
{
    if (m_slot) {
        m_borrowed = true;
        m_open = true;
        return;
    }
    m_open = openFile(fileName, mode, m_slot);
}
