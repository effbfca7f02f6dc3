#pragma once

#include <QFile>
#include <QString>

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <thread>

// Another program's write lock on a database file (a backup, the sqlite3 shell): a
// connection of its own with a write transaction open until release(), releaseLater()
// or the end of the object.
class HeldWriteLock
{
public:
    explicit HeldWriteLock(const QString &path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
            m_held = sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~HeldWriteLock()
    {
        if (m_releaser.joinable())
            m_releaser.join();
        release();
        sqlite3_close(m_db);
    }
    HeldWriteLock(const HeldWriteLock &) = delete;
    HeldWriteLock &operator=(const HeldWriteLock &) = delete;

    bool isHeld() const { return m_held; }
    void release()
    {
        if (m_held.exchange(false))
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    // Lets the lock go after `ms` from a thread of its own, while this thread is busy
    // waiting for it.
    void releaseLater(int ms)
    {
        m_releaser = std::thread([this, ms] {
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
            release();
        });
    }

private:
    sqlite3 *m_db = nullptr;
    std::atomic<bool> m_held{false};
    std::thread m_releaser;
};
