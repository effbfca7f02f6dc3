#pragma once

#include "store/StoredQsoMatch.h"

#include <QByteArray>
#include <QSet>

struct QsoBytes;
struct sqlite3;

// Tells which records of an import repeat a QSO, so that importing a file twice stores
// its QSOs once: a record repeats a QSO when the call (in any letter case), date, time to
// the minute, band and mode are the same, whether that QSO was in the logbook before the
// import or came earlier from the same source.
//
// The logbook answers through its index (StoredQsoMatch); the records of the batch not
// yet written are compared in memory. Into a logbook that was empty, the logbook is asked
// only about a record whose key (a 64-bit hash of it) an earlier record of the import had,
// so a first import of a large file costs almost nothing.
class ImportDuplicates
{
public:
    // `db` holds the import's transaction; `logbookHadQsos` whether QSOS held any row
    // when it began.
    ImportDuplicates(sqlite3 *db, bool logbookHadQsos);

    // Whether the record repeats a QSO; when it does not, it is taken as one of the
    // import's records, to which later ones are compared.
    bool repeats(const QsoBytes &qso);
    // The batch of taken records was written (or discarded): they are in the logbook now
    // (or nowhere), and memory forgets them.
    void batchDone();

private:
    void makeKey(const QsoBytes &qso);

    StoredQsoMatch m_stored;
    bool m_logbookHadQsos;
    QByteArray m_key;
    QSet<QByteArray> m_pending;
    QSet<size_t> m_taken;
};
