#include "SqliteStatement.h"

#include "StoreLog.h"
#include "platform/CodePage.h"

#include <sqlite3.h>

namespace {

// The beginning of a statement, enough to tell which one failed.
QByteArray shortened(const char *sql)
{
    const QByteArray text(sql ? sql : "");
    return text.size() > 120 ? text.left(117) + "..." : text;
}

} // namespace

const int SqliteStatement::kRow = SQLITE_ROW;
const int SqliteStatement::kDone = SQLITE_DONE;

SqliteStatement::SqliteStatement(sqlite3 *db, const char *sql)
    : m_db(db)
{
    if (!db) {
        m_lastError = QStringLiteral("no database connection");
        return;
    }
    if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        failed("prepare", shortened(sql));
    }
}

void SqliteStatement::failed(const char *what, const QByteArray &statement)
{
    m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
    qCWarning(lcStore).noquote() << what << "failed:" << m_lastError << "in" << statement;
    StoreLog::noteFailure(m_lastError);
}

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

void SqliteStatement::bind(int index, int value)
{
    sqlite3_bind_int(m_stmt, index, value);
}

void SqliteStatement::bind(int index, qint64 value)
{
    sqlite3_bind_int64(m_stmt, index, value);
}

void SqliteStatement::bind(int index, const QString &text)
{
    bind(index, CodePage::toStored(text));
}

void SqliteStatement::bind(int index, const QByteArray &bytes)
{
    sqlite3_bind_text(m_stmt, index, bytes.constData(), -1, SQLITE_TRANSIENT);
}

void SqliteStatement::bindStatic(int index, const QByteArray &bytes)
{
    sqlite3_bind_text(m_stmt, index, bytes.constData(), -1, SQLITE_STATIC);
}

int SqliteStatement::step()
{
    const int rc = m_stmt ? sqlite3_step(m_stmt) : SQLITE_MISUSE;
    m_hasRow = rc == SQLITE_ROW;
    if (m_stmt && rc != SQLITE_ROW && rc != SQLITE_DONE)
        failed("step", shortened(sqlite3_sql(m_stmt)));
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

qint64 SqliteStatement::columnInt64(int column) const
{
    return m_hasRow ? sqlite3_column_int64(m_stmt, column) : 0;
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
    return CodePage::fromStored(columnRawBytes(column));
}

QByteArray SqliteStatement::columnRawBytes(int column) const
{
    if (!m_hasRow || column >= sqlite3_column_count(m_stmt))
        return QByteArray();
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return text ? QByteArray::fromRawData(text, sqlite3_column_bytes(m_stmt, column)) : QByteArray();
}

bool SqliteStatement::exec(sqlite3 *db, const char *sql)
{
    char *message = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        const QString text = QString::fromUtf8(message ? message : sqlite3_errstr(rc));
        qCWarning(lcStore).noquote() << "exec failed:" << text << "in" << shortened(sql);
        StoreLog::noteFailure(text);
    }
    sqlite3_free(message);
    return rc == SQLITE_OK;
}
