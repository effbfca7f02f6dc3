#include "StoredQsoMatch.h"

#include "QsoBytes.h"
#include "SqliteStatement.h"

namespace {

// The times of the same minute are one range of the index on (DATE, TIME, CALL).
const char kMatch[] =
    "SELECT EXISTS (SELECT 1 FROM QSOS WHERE DATE = ?1 AND TIME >= ?2 AND TIME < ?3 AND CALL = ?4 COLLATE NOCASE "
    "AND BAND = ?5 AND MODE = ?6)";

} // namespace

StoredQsoMatch::StoredQsoMatch(sqlite3 *db)
    : m_query(std::make_unique<SqliteStatement>(db, kMatch))
{
}

StoredQsoMatch::~StoredQsoMatch() = default;

QByteArray StoredQsoMatch::minuteOf(const QByteArray &time)
{
    return time.left(5);
}

bool StoredQsoMatch::holds(const QsoBytes &qso)
{
    if (!m_query->isPrepared())
        return false;
    m_minute = minuteOf(qso.text[QsoColumns::Time]);
    // Every text that begins with the five bytes of the minute sorts below them followed
    // by 0xFF, a byte UTF-8 text never holds; a shorter time (no minute to speak of)
    // matches only itself, which alone sorts below it followed by 0x01.
    m_minuteEnd = m_minute + (m_minute.size() == 5 ? '\xff' : '\x01');
    m_query->bindStatic(1, qso.text[QsoColumns::Date]);
    m_query->bindStatic(2, m_minute);
    m_query->bindStatic(3, m_minuteEnd);
    m_query->bindStatic(4, qso.text[QsoColumns::Call]);
    m_query->bindStatic(5, qso.text[QsoColumns::Band]);
    m_query->bind(6, qso.number[QsoColumns::Mode]);
    const bool found = m_query->step() == SqliteStatement::kRow && m_query->columnInt(0) != 0;
    m_query->reset();
    return found;
}
