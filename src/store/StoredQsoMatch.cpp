#include "StoredQsoMatch.h"

#include "QsoBytes.h"
#include "SqliteStatement.h"

namespace {

// The times of the same minute are one range of the index on (DATE, TIME, CALL).
const char kSameQso[] = "DATE = ?1 AND TIME >= ?2 AND TIME < ?3 AND CALL = ?4 COLLATE NOCASE AND BAND = ?5 AND MODE = ?6";

} // namespace

StoredQsoMatch::StoredQsoMatch(sqlite3 *db)
    : m_db(db)
{
}

StoredQsoMatch::~StoredQsoMatch() = default;

QByteArrayView StoredQsoMatch::minuteOf(QByteArrayView time)
{
    return time.first(qMin<qsizetype>(5, time.size()));
}

bool StoredQsoMatch::holds(const QsoBytes &qso)
{
    if (!m_any)
        m_any = std::make_unique<SqliteStatement>(
            m_db, (QByteArray("SELECT EXISTS (SELECT 1 FROM QSOS WHERE ") + kSameQso + ')').constData());
    return ask(*m_any, qso);
}

bool StoredQsoMatch::isRow(const QsoBytes &qso, qint64 rowId)
{
    if (!m_row)
        m_row = std::make_unique<SqliteStatement>(
            m_db, (QByteArray("SELECT EXISTS (SELECT 1 FROM QSOS WHERE ROWID = ?7 AND ") + kSameQso + ')').constData());
    m_row->bind(7, rowId);
    return ask(*m_row, qso);
}

bool StoredQsoMatch::ask(SqliteStatement &query, const QsoBytes &qso)
{
    if (!query.isPrepared())
        return false;
    m_minute = minuteOf(qso.text[QsoColumns::Time]).toByteArray();
    // Every text that begins with the five bytes of the minute sorts below them followed
    // by 0xFF, a byte UTF-8 text never holds; a shorter time (no minute to speak of)
    // matches only itself, which alone sorts below it followed by 0x01.
    m_minuteEnd = m_minute + (m_minute.size() == 5 ? '\xff' : '\x01');
    query.bindStatic(1, qso.text[QsoColumns::Date]);
    query.bindStatic(2, m_minute);
    query.bindStatic(3, m_minuteEnd);
    query.bindStatic(4, qso.text[QsoColumns::Call]);
    query.bindStatic(5, qso.text[QsoColumns::Band]);
    query.bind(6, qso.number[QsoColumns::Mode]);
    const bool found = query.step() == SqliteStatement::kRow && query.columnInt(0) != 0;
    query.reset();
    return found;
}
