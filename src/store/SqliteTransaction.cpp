#include "SqliteTransaction.h"

#include "SqliteStatement.h"

#include <sqlite3.h>

SqliteTransaction::SqliteTransaction(sqlite3 *db, Kind kind)
    : m_db(db)
{
    if (m_db)
        m_active = SqliteStatement::exec(m_db, kind == Kind::Write ? "BEGIN IMMEDIATE TRANSACTION;" : "BEGIN TRANSACTION;");
}

SqliteTransaction::~SqliteTransaction()
{
    // An error such as a full disk may already have ended the transaction.
    if (m_active && !sqlite3_get_autocommit(m_db))
        SqliteStatement::exec(m_db, "ROLLBACK;");
}

bool SqliteTransaction::commit()
{
    if (!m_active)
        return false;
    if (SqliteStatement::exec(m_db, "COMMIT;")) {
        m_active = false;
        return true;
    }
    return false;
}
