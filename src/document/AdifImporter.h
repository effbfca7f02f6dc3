#pragma once

#include "adif/AdifFieldSource.h"
#include "adif/AdifQsoMapping.h"
#include "store/Sqlite3DB.h"

#include <QFile>
#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class CallsignIndex;
class ImportDuplicates;
class QsoBatchInserter;
struct sqlite3;

// Adds the ADIF records of a file or of any other byte source (a datagram, one record in
// memory), in ADIF's tagged form or its XML form, to a logbook: one connection and one
// transaction for the whole source, the
// records written kBatchRows at a time by one reused statement, and the DXCC statistics
// brought up to date in the same transaction (each record counted in for a small
// source, rebuilt from all QSOs after a large one), so the logbook either takes the
// import with its statistics or stays as it was. A record counts when its EOR is read;
// one without EOR at the end of the source is dropped. A record that repeats a QSO
// (ImportDuplicates) is left out and counted. The header's user-defined fields are
// kept with the logbook.
//
// A batch that SQLite refuses while the transaction stays alive (a row a trigger
// refuses) is discarded and reading goes on. A failure that ends the transaction (a
// full disk, an I/O error, a lock that is not released) ends the import: nothing of it
// stays, and the result says so.
class AdifImporter
{
public:
    enum class Status {
        Imported,
        CannotOpenFile,
        NotAFile,          // a device, a FIFO, a folder: nothing read
        NoHeader,
        CannotOpenDatabase,
        NotALogbook,       // an SQLite file without QSOS: nothing written
        NoProgramDatabase, // records could not be given their entity: nothing written
    };
    // The first write failure: a refused batch, or one that ended the transaction.
    enum class Failure { None, BatchRefused, TransactionLost };
    struct Result
    {
        Status status = Status::Imported;
        int read = 0;         // records read
        int added = 0;        // records stored: those of the batches written and committed
        int duplicates = 0;   // records left out because they repeat a QSO
        int failedWrites = 0; // failed batch inserts, a lost transaction, a failed commit
        Failure failure = Failure::None;
        // Why the source could not be read to its end (a file that became shorter while
        // it was read, a damaged XML document); empty when it was.
        QString unreadRest;
    };

    AdifImporter();
    ~AdifImporter();

    // Called once, at the first write failure of the import.
    void setWriteFailureHandler(std::function<void(Failure)> handler) { m_onWriteFailure = std::move(handler); }
    // Called with the share of the file read, 0 to 100, each time it changes.
    void setProgressHandler(std::function<void(int)> handler) { m_onProgress = std::move(handler); }

    // False, with nothing read, when the file cannot be opened or is no regular file.
    bool openFile(const QString &adifPath);
    // Reads from `device` (open for reading; it must outlive the import) instead of a file.
    void setSource(QIODevice &device);
    // False when the file has a header that never ends: then nothing is imported.
    bool skipHeader();
    // False when the logbook cannot be opened or is no logbook: then nothing is written.
    bool importInto(const QString &logbookPath);

    const Result &result() const { return m_result; }

    // position * 100 / size in integers, without overflow for any file size, and never
    // above 100 (the file may have grown meanwhile).
    static int percentOf(qint64 position, qint64 size);

private:
    void readRecords(sqlite3 *db);
    void noteUnreadRest();
    void endRecord(AdifQsoMapping::Record &record);
    void completeRecord(QsoBytes &record);
    bool writePending(sqlite3 *db);
    bool writeBatch(sqlite3 *db, qint64 &firstRowId);
    bool countBatchIn(sqlite3 *db);
    void writeFailed(Failure failure);
    bool dropIndexesForALargeImport(sqlite3 *db, bool logbookHadQsos);
    bool finish(sqlite3 *db);
    void reportProgress(int percent);

    // The records read and not yet written, the first m_pendingCount of m_rows, and
    // their kept fields. The rows' buffers are reused batch after batch.
    std::vector<QsoBytes> m_rows;
    int m_pendingCount = 0;
    QList<Sqlite3DB::UM_QSOFIELD> m_pendingKept;
    std::unique_ptr<QsoBatchInserter> m_inserter;
    std::unique_ptr<ImportDuplicates> m_duplicates;
    // The statements of the indexes taken down for a large import.
    QList<QByteArray> m_droppedIndexes;
    QFile m_file;
    qint64 m_fileSize = 0;
    // Each stored record counted into the statistics as it is written, instead of a
    // rebuild at the end: quicker for a few records in a large logbook.
    bool m_countEachRecord = false;
    std::unique_ptr<AdifFieldSource> m_reader;
    bool m_taggedForm = true;
    std::shared_ptr<const CallsignIndex> m_calls;
    Result m_result;
    int m_shownPercent = -1;
    std::function<void(Failure)> m_onWriteFailure;
    std::function<void(int)> m_onProgress;
};
