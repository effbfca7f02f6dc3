#include "LogbookTransaction.h"

#include "Sqlite3DB.h"

LogbookTransaction::LogbookTransaction(Sqlite3DB &db, const QString &path)
    : m_connection(db.m_dbLogbook, path)
    , m_transaction(m_connection.isOpen() ? m_connection.handle() : nullptr, SqliteTransaction::Kind::Write)
{
}
