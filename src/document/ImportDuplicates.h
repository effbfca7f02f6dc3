#pragma once

#include "store/StoredQsoMatch.h"

#include <QByteArray>
#include <QHash>
#include <QList>

#include <utility>

struct QsoBytes;
struct sqlite3;

// Tells which records of an import repeat a QSO, so that importing a file twice stores
// its QSOs once: a record repeats a QSO when the call (in any letter case), date, time to
// the minute, band and mode are the same, whether that QSO was in the logbook before the
// import or came earlier from the same source.
//
// A logbook that held QSOs is asked about every record through its index on date and
// time (StoredQsoMatch). Each record taken is remembered by a 64-bit hash of its key:
// one of the batch not yet written is compared with its key in memory, one written
// before with its row, found by its row id; so an import into an empty logbook, whose
// indexes a large import takes down, never searches the logbook.
class ImportDuplicates
{
public:
    // `db` holds the import's transaction; `logbookHadQsos` whether QSOS held any row
    // when it began.
    ImportDuplicates(sqlite3 *db, bool logbookHadQsos);

    // Whether the record repeats a QSO; when it does not, it is taken as the next record
    // of the batch, to which later ones are compared.
    bool repeats(const QsoBytes &qso);
    // The records taken since the last batch were written as the rows from
    // `firstRowId` on, in the order they were taken; 0 when they were discarded.
    void batchDone(qint64 firstRowId);

private:
    void makeKey(const QsoBytes &qso);
    bool repeatsTaken(const QsoBytes &qso, quint32 taken);
    qint64 rowIdOf(quint32 taken) const;

    StoredQsoMatch m_stored;
    bool m_logbookHadQsos;
    QByteArray m_key;
    // The keys of the batch's records, one after the other, and where each ends.
    QByteArray m_batchKeys;
    QList<qsizetype> m_batchKeyEnds;
    quint32 m_taken = 0;      // records taken so far
    quint32 m_batchFirst = 0; // the first record of the batch not yet written
    // The first record taken with each hash.
    QHash<size_t, quint32> m_firstWithHash;
    // Each batch done: its first record and its first row id (0 when discarded).
    QList<std::pair<quint32, qint64>> m_batches;
};
