#include "AdifImporter.h"

#include "CallsignIndex.h"
#include "adif/AdifLog.h"
#include "adif/AdifQsoMapping.h"
#include "store/SlotConnection.h"
#include "store/SqliteTransaction.h"

#include <sqlite3.h>

#include <limits>

AdifImporter::AdifImporter(Sqlite3DB &db)
    : m_db(db)
{
}

AdifImporter::~AdifImporter() = default;

bool AdifImporter::openFile(const QString &adifPath)
{
    m_file.setFileName(adifPath);
    if (!m_file.open(QIODevice::ReadOnly)) {
        qCWarning(lcAdif).noquote() << "cannot open" << adifPath << ":" << m_file.errorString();
        m_result.status = Status::CannotOpenFile;
        return false;
    }
    m_fileSize = m_file.size();
    m_reader = std::make_unique<AdifReader>(m_file);
    return true;
}

bool AdifImporter::skipHeader()
{
    if (m_reader->skipHeader())
        return true;
    m_result.status = Status::NoHeader;
    return false;
}

bool AdifImporter::importInto(const QString &logbookPath)
{
    m_pending.clear();
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, logbookPath);
    if (!db.isOpen()) {
        m_result.status = Status::CannotOpenDatabase;
        return false;
    }
    m_result.status = Status::Imported;
    // The write lock is taken before anything is read, so a lock another program holds
    // stops the import at once instead of failing every batch.
    SqliteTransaction transaction(db.handle(), SqliteTransaction::Kind::Write);
    if (!transaction.isActive()) {
        writeFailed(Failure::TransactionLost);
        return true;
    }
    m_calls = CallsignIndex::current();
    readRecords(db.handle());
    if (m_result.failure == Failure::TransactionLost || !finish(db.handle()) || !transaction.commit()) {
        // Whatever was written has gone with the transaction.
        m_result.added = 0;
        if (m_result.failure != Failure::TransactionLost)
            writeFailed(Failure::TransactionLost);
        return true;
    }
    return true;
}

void AdifImporter::readRecords(sqlite3 *db)
{
    Sqlite3DB::UM_RECORD record = AdifQsoMapping::startRecord();
    AdifReader::Field field;
    while (m_reader->next(field)) {
        reportProgress(percentOf(m_reader->position(), m_fileSize));
        if (AdifQsoMapping::endsRecord(field.name)) {
            completeRecord(record);
            m_pending.append(record);
            ++m_result.read;
            if (m_result.read % Sqlite3DB::kBatchRows == 0 && !writePending(db))
                return;
            record = AdifQsoMapping::startRecord();
        } else if (field.hasLength) {
            AdifQsoMapping::apply(record, field.name, field.value);
        }
    }
    // The whole file is read; what follows the last field (a line end) counts too.
    reportProgress(100);
}

// Digital-mode programs write no DXCC field: such a record gets the entity its call
// resolves to, as the entry form would give it, and, when the file gave no zone, the
// CQ zone of the call.
void AdifImporter::completeRecord(Sqlite3DB::UM_RECORD &record) const
{
    if (record.country != 0 || record.call.isEmpty())
        return;
    record.country = m_calls->resolve(record.call);
    if (record.country == 0 || !record.cqZone.isEmpty())
        return;
    Sqlite3DB::UM_COUNTRYINFO info;
    if (m_calls->countryInfo(record.country, record.call, info))
        record.cqZone = info.cqZone;
}

// The records still pending, then the statistics of the whole logbook, when anything
// was stored.
bool AdifImporter::finish(sqlite3 *db)
{
    if (!writePending(db))
        return false;
    return m_result.added == 0 || Sqlite3DB::RebuildDxccStats(db);
}

// A refused batch is discarded and reading goes on; false when the failure has ended the
// transaction, and with it the import. Only written records count as added.
bool AdifImporter::writePending(sqlite3 *db)
{
    const bool written = m_db.InsertQsoBatch(m_pending, db);
    if (written)
        m_result.added += static_cast<int>(m_pending.size());
    m_pending.clear();
    if (!written)
        writeFailed(sqlite3_get_autocommit(db) ? Failure::TransactionLost : Failure::BatchRefused);
    return m_result.failure != Failure::TransactionLost;
}

void AdifImporter::writeFailed(Failure failure)
{
    ++m_result.failedWrites;
    const bool first = m_result.failure == Failure::None;
    if (first || failure == Failure::TransactionLost)
        m_result.failure = failure;
    if (first && m_onWriteFailure)
        m_onWriteFailure(failure);
}

void AdifImporter::reportProgress(int percent)
{
    if (percent == m_shownPercent)
        return;
    m_shownPercent = percent;
    if (m_onProgress)
        m_onProgress(percent);
}

int AdifImporter::percentOf(qint64 position, qint64 size)
{
    if (size <= 0 || position >= size)
        return 100;
    if (size > std::numeric_limits<qint64>::max() / 100) {
        position /= 100;
        size /= 100;
    }
    return static_cast<int>(position * 100 / size);
}
