#pragma once

#include "AdifReader.h"
#include "store/Sqlite3DB.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <functional>

struct sqlite3;

// Adds the records of an ADIF file to a logbook: one connection and one transaction for
// the whole file, the records written kBatchRows at a time through InsertQsoBatch. A
// record counts when its EOR is read; one without EOR at the end of the file is dropped.
class AdifImporter
{
public:
    enum class Status { Imported, CannotOpenFile, NoHeader, CannotOpenDatabase };
    struct Result
    {
        Status status = Status::Imported;
        int read = 0;         // records read
        int added = 0;        // records stored: those of the batches written and committed
        int failedWrites = 0; // failed batch inserts and a failed commit
    };

    // `pending` holds the records read and not yet written.
    AdifImporter(Sqlite3DB &db, QList<Sqlite3DB::UM_RECORD> &pending);

    // Called at once for every failed batch insert and for a failed commit.
    void setWriteFailureHandler(std::function<void()> handler) { m_onWriteFailure = std::move(handler); }
    // Called with the share of the file read, 0 to 100, each time it changes.
    void setProgressHandler(std::function<void(int)> handler) { m_onProgress = std::move(handler); }

    bool openFile(const QString &adifPath);
    // False when the file has a header that never ends: then nothing is imported.
    bool skipHeader();
    // False when the logbook cannot be opened: then nothing is written.
    bool importInto(const QString &logbookPath);

    const Result &result() const { return m_result; }

    // position * 100 / size in integers, without overflow for any file size (0 <= position <= size).
    static int percentOf(qint64 position, qint64 size);

private:
    void readRecords(sqlite3 *db);
    void writePending(sqlite3 *db);
    void writeFailed();

    Sqlite3DB &m_db;
    QList<Sqlite3DB::UM_RECORD> &m_pending;
    QFile m_file;
    QByteArray m_bytes;
    AdifReader m_reader{QByteArrayView()};
    Result m_result;
    std::function<void()> m_onWriteFailure;
    std::function<void(int)> m_onProgress;
};
