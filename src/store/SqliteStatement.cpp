#include "SqliteStatement.h"

#include "platform/CodePage.h"

#include <sqlite3.h>

SqliteStatement::SqliteStatement(sqlite3 *db, const char *sql)
{
    if (db && sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

void SqliteStatement::bind(int index, int value)
{
    sqlite3_bind_int(m_stmt, index, value);
}

void SqliteStatement::bind(int index, const QString &text)
{
    bind(index, CodePage::toAnsi(text));
}

void SqliteStatement::bind(int index, const QByteArray &bytes)
{
    sqlite3_bind_text(m_stmt, index, bytes.constData(), -1, SQLITE_TRANSIENT);
}

int SqliteStatement::step()
{
    const int rc = m_stmt ? sqlite3_step(m_stmt) : SQLITE_MISUSE;
    m_hasRow = rc == SQLITE_ROW;
    return rc;
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_stmt);
    m_hasRow = false;
}

bool SqliteStatement::run()
{
    int rc = step();
    while (rc == SQLITE_ROW)
        rc = step();
    return rc == SQLITE_DONE;
}

int SqliteStatement::columnInt(int column) const
{
    return m_hasRow ? sqlite3_column_int(m_stmt, column) : 0;
}

double SqliteStatement::columnDouble(int column) const
{
    return m_hasRow ? sqlite3_column_double(m_stmt, column) : 0.0;
}

QByteArray SqliteStatement::columnBytes(int column) const
{
    const QByteArray raw = columnRawBytes(column);
    return QByteArray(raw.constData(), raw.size());
}

QString SqliteStatement::columnText(int column) const
{
    return CodePage::fromAnsi(columnRawBytes(column));
}

QByteArray SqliteStatement::columnRawBytes(int column) const
{
    if (!m_hasRow)
        return QByteArray();
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return text ? QByteArray::fromRawData(text, sqlite3_column_bytes(m_stmt, column)) : QByteArray();
}

bool SqliteStatement::exec(sqlite3 *db, const char *sql)
{
    char *message = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    sqlite3_free(message);
    return rc == SQLITE_OK;
}
