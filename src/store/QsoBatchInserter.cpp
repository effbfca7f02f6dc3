#include "QsoBatchInserter.h"

#include "SqliteStatement.h"

#include <sqlite3.h>

QsoBatchInserter::QsoBatchInserter(sqlite3 *db)
    : m_db(db)
{
}

QsoBatchInserter::~QsoBatchInserter() = default;

// Preparing a statement of several thousand parameters costs as much as running it, so
// the full-batch statement lives as long as the inserter; a shorter one replaces it only
// at the end of an import.
SqliteStatement *QsoBatchInserter::statementFor(int count)
{
    if (!m_statement || m_rows != count) {
        m_statement = std::make_unique<SqliteStatement>(m_db, QsoColumns::insertStatement(count).constData());
        m_rows = count;
    }
    return m_statement->isPrepared() ? m_statement.get() : nullptr;
}

bool QsoBatchInserter::insert(const QsoBytes *rows, int count, qint64 &lastRowId)
{
    if (count <= 0)
        return true;
    SqliteStatement *insert = statementFor(count);
    if (!insert)
        return false;
    int parameter = 1;
    for (int i = 0; i < count; ++i) {
        for (int column = 0; column < QsoColumns::kCount; ++column) {
            if (QsoColumns::all()[column].text)
                insert->bindStatic(parameter++, rows[i].text[column]);
            else
                insert->bind(parameter++, rows[i].number[column]);
        }
    }
    const bool written = insert->run();
    insert->reset();
    if (written)
        lastRowId = sqlite3_last_insert_rowid(m_db);
    return written;
}
