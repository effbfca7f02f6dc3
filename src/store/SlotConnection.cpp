#include "SlotConnection.h"

#include "StoreLog.h"

#include <QFile>

#include <sqlite3.h>

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
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    return true;
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
