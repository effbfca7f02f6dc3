#pragma once

#include <QFile>
#include <QString>

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// Another program's lock on a database file, on a connection of its own, until
// release(), releaseLater() or the end of the object: a write transaction (a backup
// restoring, the sqlite3 shell writing), a read transaction that has read the file (a
// report, a backup copying, the sqlite3 shell in the middle of a BEGIN), or an
// exclusive one, which keeps readers out too (a program in the middle of its commit).
class HeldLock
{
public:
    enum class Kind { Write, Read, Exclusive };

    explicit HeldLock(const QString &path, Kind kind = Kind::Write)
    {
        const char *begin = kind == Kind::Write  ? "BEGIN IMMEDIATE"
                          : kind == Kind::Read ? "BEGIN; SELECT COUNT(*) FROM sqlite_master"
                                               : "BEGIN EXCLUSIVE";
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
            m_held = sqlite3_exec(m_db, begin, nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~HeldLock()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_ending = true;
        }
        m_wake.notify_all();
        if (m_releaser.joinable())
            m_releaser.join();
        release();
        sqlite3_close(m_db);
    }
    HeldLock(const HeldLock &) = delete;
    HeldLock &operator=(const HeldLock &) = delete;

    bool isHeld() const { return m_held; }
    void release()
    {
        if (m_held.exchange(false))
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    // Lets the lock go after `ms` from a thread of its own, while this thread is busy
    // waiting for it (or at once when the object goes before).
    void releaseLater(int ms)
    {
        m_releaser = std::thread([this, ms] {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_ending; });
            release();
        });
    }

private:
    sqlite3 *m_db = nullptr;
    std::atomic<bool> m_held{false};
    std::thread m_releaser;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_ending = false;
};
