#include "LogbookWatcher.h"

#include "store/SlotConnection.h"
#include "store/SqliteStatement.h"

#include <sqlite3.h>

LogbookWatcher::LogbookWatcher(const QString &path, QObject *parent)
    : QObject(parent)
    , m_path(path)
{
    connect(&m_timer, &QTimer::timeout, this, &LogbookWatcher::poll);
}

LogbookWatcher::~LogbookWatcher()
{
    sqlite3_close(m_db);
}

bool LogbookWatcher::start(int intervalMs)
{
    if (!m_db && !SlotConnection::openFile(SlotConnection::encodePath(m_path), SlotConnection::Mode::ReadOnly, m_db))
        return false;
    m_version = readVersion();
    m_timer.start(intervalMs);
    return true;
}

void LogbookWatcher::takeOwnWrite()
{
    if (m_db)
        m_version = readVersion();
}

qint64 LogbookWatcher::readVersion()
{
    SqliteStatement version(m_db, "PRAGMA data_version");
    return version.step() == SqliteStatement::kRow ? version.columnInt64(0) : m_version;
}

void LogbookWatcher::poll()
{
    const qint64 version = readVersion();
    if (version == m_version)
        return;
    m_version = version;
    emit changedOutside();
}
