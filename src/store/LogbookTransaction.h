#pragma once

#include "SlotConnection.h"
#include "SqliteTransaction.h"

#include <QString>

class Sqlite3DB;

// One write transaction on a logbook, holding the connection in the store's logbook
// slot: every operation of that store on the logbook runs on it, inside the
// transaction, until the transaction is committed or goes (and rolls back).
class LogbookTransaction
{
public:
    LogbookTransaction(Sqlite3DB &db, const QString &path);
    LogbookTransaction(const LogbookTransaction &) = delete;
    LogbookTransaction &operator=(const LogbookTransaction &) = delete;

    // False when the logbook could not be opened or its write lock not taken.
    bool isActive() const { return m_connection.isOpen() && m_transaction.isActive(); }
    bool commit() { return isActive() && m_transaction.commit(); }
    sqlite3 *handle() const { return m_connection.handle(); }

private:
    SlotConnection m_connection;
    SqliteTransaction m_transaction;
};
