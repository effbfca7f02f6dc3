#include "ImportDuplicates.h"

#include "store/QsoBytes.h"

ImportDuplicates::ImportDuplicates(sqlite3 *db, bool logbookHadQsos)
    : m_stored(db)
    , m_logbookHadQsos(logbookHadQsos)
{
}

// The compared parts, each ended by a NUL byte (which no stored text holds): the call
// in capitals (as SQLite's NOCASE compares, ASCII letters only), date, minute, band and
// mode.
void ImportDuplicates::makeKey(const QsoBytes &qso)
{
    m_key.truncate(0);
    for (const char c : qso.text[QsoColumns::Call])
        m_key += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    m_key += '\0';
    m_key += qso.text[QsoColumns::Date];
    m_key += '\0';
    m_key += StoredQsoMatch::minuteOf(qso.text[QsoColumns::Time]);
    m_key += '\0';
    m_key += qso.text[QsoColumns::Band];
    m_key += '\0';
    m_key += QByteArray::number(qso.number[QsoColumns::Mode]);
}

bool ImportDuplicates::repeats(const QsoBytes &qso)
{
    makeKey(qso);
    if (m_pending.contains(m_key))
        return true;
    const size_t hash = qHash(m_key);
    if ((m_logbookHadQsos || m_taken.contains(hash)) && m_stored.holds(qso))
        return true;
    m_pending.insert(m_key);
    m_taken.insert(hash);
    return false;
}

void ImportDuplicates::batchDone()
{
    m_pending.clear();
}
