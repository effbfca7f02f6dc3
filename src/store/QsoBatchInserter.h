#pragma once

#include "QsoBytes.h"

#include <memory>

class SqliteStatement;
struct sqlite3;

// The multi-row INSERT of QSOS on a connection the caller holds: one statement of up to
// Sqlite3DB::kBatchRows rows, prepared the first time a batch of that size comes and
// reused for every following batch of the same size (an import has full batches and one
// shorter last one), the rows' bytes bound in place without a copy.
class QsoBatchInserter
{
public:
    explicit QsoBatchInserter(sqlite3 *db);
    ~QsoBatchInserter();
    QsoBatchInserter(const QsoBatchInserter &) = delete;
    QsoBatchInserter &operator=(const QsoBatchInserter &) = delete;

    // Inserts rows[0] to rows[count - 1], count at most kBatchRows; the rows stay
    // unchanged until it returns. `lastRowId` receives the row id of the last row: the
    // rows of one statement take consecutive row ids.
    bool insert(const QsoBytes *rows, int count, qint64 &lastRowId);

private:
    SqliteStatement *statementFor(int count);

    sqlite3 *m_db;
    std::unique_ptr<SqliteStatement> m_statement;
    int m_rows = 0;
};
