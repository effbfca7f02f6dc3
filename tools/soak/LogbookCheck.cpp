#include "LogbookCheck.h"

#include <QFile>

#include <sqlite3.h>

namespace {

// The statistics as a rebuild would give them, and as the table holds them (rows that
// count nothing left out: a QSO taken out may leave its row at zero).
#define KORVA3_STATS_FROM_QSOS(filter)                                                                        \
    "SELECT COUNTRY, BAND, MODE, COUNT(*), SUM(QSLRCVD = 2) FROM QSOS WHERE " filter " GROUP BY 1, 2, 3 "      \
    "ORDER BY 1, 2, 3"
#define KORVA3_STATS_IN_TABLE(filter)                                                                         \
    "SELECT DXCC, BAND, MODE, SUM(COUNTW), SUM(COUNTC) FROM DXCCREPORT WHERE " filter " GROUP BY 1, 2, 3 "    \
    "HAVING SUM(COUNTW) != 0 OR SUM(COUNTC) != 0 ORDER BY 1, 2, 3"

const char kStatsFromQsos[] = KORVA3_STATS_FROM_QSOS("COUNTRY != 0");
const char kEntityStatsFromQsos[] = KORVA3_STATS_FROM_QSOS("COUNTRY = ?1");
const char kStatsInTable[] = KORVA3_STATS_IN_TABLE("1");
const char kEntityStatsInTable[] = KORVA3_STATS_IN_TABLE("DXCC = ?1");

} // namespace

LogbookCheck::LogbookCheck(const QString &path)
{
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_close(m_db);
        m_db = nullptr;
        return;
    }
    sqlite3_busy_timeout(m_db, 60000);
}

LogbookCheck::~LogbookCheck()
{
    sqlite3_close(m_db);
}

bool LogbookCheck::addCheckIndex()
{
    return exec("CREATE INDEX IF NOT EXISTS SOAK_CHECK_STATS ON QSOS (COUNTRY, BAND, MODE, QSLRCVD)");
}

qint64 LogbookCheck::qsoCount()
{
    return rows("SELECT COUNT(*) FROM QSOS").toLongLong();
}

qint64 LogbookCheck::highestRowId()
{
    return rows("SELECT IFNULL(MAX(ROWID), 0) FROM QSOS").toLongLong();
}

int LogbookCheck::existingRowId(qint64 from)
{
    const QByteArray found = rows("SELECT ROWID FROM QSOS WHERE ROWID >= ?1 ORDER BY ROWID LIMIT 1", int(from), true);
    return found.isEmpty() ? rows("SELECT IFNULL(MIN(ROWID), 0) FROM QSOS").toInt() : found.toInt();
}

QByteArray LogbookCheck::qsoKey(int rowId)
{
    return rows("SELECT CALL, BAND, MODE, QSLRCVD, COUNTRY FROM QSOS WHERE ROWID = ?1", rowId, true);
}

QByteArray LogbookCheck::statsFromQsos(int dxcc)
{
    return dxcc > 0 ? rows(kEntityStatsFromQsos, dxcc, true) : rows(kStatsFromQsos);
}

QByteArray LogbookCheck::statsInTable(int dxcc)
{
    return dxcc > 0 ? rows(kEntityStatsInTable, dxcc, true) : rows(kStatsInTable);
}

QHash<int, QByteArray> LogbookCheck::statsInTableByEntity()
{
    QHash<int, QByteArray> byEntity;
    const QByteArray all = statsInTable();
    for (const QByteArray &line : all.split('\n')) {
        if (line.isEmpty())
            continue;
        QByteArray &entity = byEntity[line.left(line.indexOf('|')).toInt()];
        entity += entity.isEmpty() ? line : '\n' + line;
    }
    return byEntity;
}

int LogbookCheck::entityOf(int rowId)
{
    const QByteArray found = rows("SELECT COUNTRY FROM QSOS WHERE ROWID = ?1", rowId, true);
    return found.isEmpty() ? -1 : found.toInt();
}

QList<int> LogbookCheck::entitiesAfter(qint64 rowId)
{
    QList<int> entities;
    const QByteArray found = rows("SELECT DISTINCT COUNTRY FROM QSOS WHERE ROWID > ?1", int(rowId), true);
    for (const QByteArray &line : found.split('\n'))
        entities << line.toInt();
    return entities;
}

QByteArray LogbookCheck::quickCheck()
{
    return rows("PRAGMA quick_check(5)");
}

QByteArray LogbookCheck::integrityCheck()
{
    return rows("PRAGMA integrity_check(5)");
}

bool LogbookCheck::refuse(const char *event, const char *table)
{
    return exec(QByteArray("CREATE TRIGGER SOAK_REFUSES BEFORE ") + event + " ON " + table
                + " BEGIN SELECT RAISE(ABORT, 'refused by the soak run'); END");
}

bool LogbookCheck::dropRefusal()
{
    return exec("DROP TRIGGER IF EXISTS SOAK_REFUSES");
}

// The rows of a statement, "|" between columns and a line end between rows.
QByteArray LogbookCheck::rows(const QByteArray &sql, int bound, bool bind)
{
    sqlite3_stmt *statement = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &statement, nullptr) != SQLITE_OK) {
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
        return QByteArrayLiteral("error: ") + m_lastError.toUtf8();
    }
    if (bind)
        sqlite3_bind_int(statement, 1, bound);
    QByteArray out;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        if (!out.isEmpty())
            out += '\n';
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            if (column > 0)
                out += '|';
            out += reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        }
    }
    if (rc != SQLITE_DONE) {
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
        out = QByteArrayLiteral("error: ") + m_lastError.toUtf8();
    }
    sqlite3_finalize(statement);
    return out;
}

bool LogbookCheck::exec(const QByteArray &sql)
{
    char *message = nullptr;
    const bool done = sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK;
    if (!done)
        m_lastError = QString::fromUtf8(message);
    sqlite3_free(message);
    return done;
}
