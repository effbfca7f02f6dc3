#include "SqliteTransaction.h"

#include "SqliteStatement.h"

SqliteTransaction::SqliteTransaction(sqlite3 *db)
    : m_db(db)
{
    m_active = SqliteStatement::exec(m_db, "BEGIN TRANSACTION;");
}

SqliteTransaction::~SqliteTransaction()
{
    if (m_active)
        SqliteStatement::exec(m_db, "ROLLBACK;");
}

bool SqliteTransaction::commit()
{
    if (!m_active)
        return false;
    m_active = !SqliteStatement::exec(m_db, "COMMIT;");
    return !m_active;
}
