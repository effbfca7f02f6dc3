#pragma once

struct sqlite3;

// An explicit transaction that rolls back when the scope ends unless it was committed.
// A write transaction takes the database's write lock at its start (waiting for the
// busy timeout), so a lock another program holds fails it before anything is written.
class SqliteTransaction
{
public:
    enum class Kind { Read, Write };

    explicit SqliteTransaction(sqlite3 *db, Kind kind = Kind::Read);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction &) = delete;
    SqliteTransaction &operator=(const SqliteTransaction &) = delete;

    bool isActive() const { return m_active; }
    // False when the commit failed; SQLite has then rolled the transaction back or the
    // destructor does.
    bool commit();

private:
    sqlite3 *m_db;
    bool m_active = false;
};
