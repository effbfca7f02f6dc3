#pragma once

struct sqlite3;

// An explicit transaction that rolls back when the scope ends unless it was committed.
class SqliteTransaction
{
public:
    explicit SqliteTransaction(sqlite3 *db);
    ~SqliteTransaction();
    SqliteTransaction(const SqliteTransaction &) = delete;
    SqliteTransaction &operator=(const SqliteTransaction &) = delete;

    bool isActive() const { return m_active; }
    bool commit();

private:
    sqlite3 *m_db;
    bool m_active = false;
};
