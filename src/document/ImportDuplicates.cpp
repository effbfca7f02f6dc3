#include "ImportDuplicates.h"

#include "store/QsoBytes.h"

#include <algorithm>
#include <cstring>

ImportDuplicates::ImportDuplicates(sqlite3 *db, bool logbookHadQsos)
    : m_stored(db)
    , m_logbookHadQsos(logbookHadQsos)
{
}

// The compared parts, each ended by a NUL byte (which no stored text holds): the call
// in capitals (as SQLite's NOCASE compares, ASCII letters only), date, minute and band,
// then the mode's four bytes. Written into the reused key without a new allocation.
void ImportDuplicates::makeKey(const QsoBytes &qso)
{
    const QByteArray &call = qso.text[QsoColumns::Call];
    const QByteArrayView minute = StoredQsoMatch::minuteOf(qso.text[QsoColumns::Time]);
    const qint32 mode = qso.number[QsoColumns::Mode];
    const QByteArrayView parts[] = {qso.text[QsoColumns::Date], minute, qso.text[QsoColumns::Band]};
    qsizetype size = call.size() + 1 + qsizetype(sizeof mode);
    for (const QByteArrayView part : parts)
        size += part.size() + 1;
    m_key.resize(size);
    char *out = m_key.data();
    for (const char c : call)
        *out++ = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    *out++ = '\0';
    for (const QByteArrayView part : parts) {
        if (!part.isEmpty()) // an empty one may have no data at all
            std::memcpy(out, part.data(), static_cast<std::size_t>(part.size()));
        out += part.size();
        *out++ = '\0';
    }
    std::memcpy(out, &mode, sizeof mode);
}

qint64 ImportDuplicates::rowIdOf(quint32 taken) const
{
    const auto batch = std::upper_bound(m_batches.cbegin(), m_batches.cend(), taken,
                                        [](quint32 record, const std::pair<quint32, qint64> &done) {
                                            return record < done.first;
                                        });
    if (batch == m_batches.cbegin())
        return 0;
    const std::pair<quint32, qint64> &done = *(batch - 1);
    return done.second == 0 ? 0 : done.second + (taken - done.first);
}

// Whether the record is the same QSO as the one taken as `taken`.
bool ImportDuplicates::repeatsTaken(const QsoBytes &qso, quint32 taken)
{
    if (taken < m_batchFirst) {
        const qint64 rowId = rowIdOf(taken);
        return rowId != 0 && m_stored.isRow(qso, rowId);
    }
    const qsizetype index = taken - m_batchFirst;
    const qsizetype begin = index == 0 ? 0 : m_batchKeyEnds.at(index - 1);
    return QByteArrayView(m_batchKeys).sliced(begin, m_batchKeyEnds.at(index) - begin) == m_key;
}

bool ImportDuplicates::repeats(const QsoBytes &qso)
{
    makeKey(qso);
    const size_t hash = qHash(m_key);
    const auto first = m_firstWithHash.constFind(hash);
    const bool sameHash = first != m_firstWithHash.cend();
    if (sameHash && repeatsTaken(qso, *first))
        return true;
    // The logbook is searched when it held QSOs, or when another key has the same hash
    // (so rare that the search's cost does not matter).
    if ((m_logbookHadQsos || sameHash) && m_stored.holds(qso))
        return true;
    // A record whose first holder of the hash never reached the logbook takes its place.
    if (!sameHash || (*first < m_batchFirst && rowIdOf(*first) == 0))
        m_firstWithHash.insert(hash, m_taken);
    m_batchKeys += m_key;
    m_batchKeyEnds.append(m_batchKeys.size());
    ++m_taken;
    return false;
}

void ImportDuplicates::batchDone(qint64 firstRowId)
{
    if (m_taken > m_batchFirst)
        m_batches.append({m_batchFirst, firstRowId});
    m_batchFirst = m_taken;
    m_batchKeys.truncate(0);
    m_batchKeyEnds.clear();
}
