#include "AdifImporter.h"

#include "CallsignIndex.h"
#include "ImportDuplicates.h"
#include "adif/AdifLog.h"
#include "adif/AdifQsoMapping.h"
#include "adif/AdifReader.h"
#include "adif/AdxReader.h"
#include "platform/CodePage.h"
#include "store/DatabaseSchema.h"
#include "store/QsoBatchInserter.h"
#include "store/SlotConnection.h"
#include "store/SqliteStatement.h"
#include "store/SqliteTransaction.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <limits>

AdifImporter::AdifImporter() = default;

AdifImporter::~AdifImporter() = default;

bool AdifImporter::openFile(const QString &adifPath)
{
    // A device or a FIFO would be read for ever (or block before the first byte).
    const QFileInfo info(adifPath);
    if (info.exists() && !info.isFile()) {
        qCWarning(lcAdif).noquote() << "not a regular file:" << adifPath;
        m_result.status = Status::NotAFile;
        return false;
    }
    m_file.setFileName(adifPath);
    if (!m_file.open(QIODevice::ReadOnly)) {
        qCWarning(lcAdif).noquote() << "cannot open" << adifPath << ":" << m_file.errorString();
        m_result.status = Status::CannotOpenFile;
        return false;
    }
    setSource(m_file);
    return true;
}

void AdifImporter::setSource(QIODevice &device)
{
    m_fileSize = device.isSequential() ? 0 : device.size();
    // A source of up to about 250 usual records, known in size: counted record by record.
    constexpr qint64 kCountEachRecordBelow = 64 * 1024;
    m_countEachRecord = m_fileSize > 0 && m_fileSize < kCountEachRecordBelow;
    constexpr qint64 kHeadSize = 256;
    m_taggedForm = !AdxReader::looksLikeAdx(device.peek(kHeadSize));
    if (m_taggedForm)
        m_reader = std::make_unique<AdifReader>(device);
    else
        m_reader = std::make_unique<AdxReader>(device);
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
    m_pendingCount = 0;
    m_pendingKept.clear();
    m_rows.resize(Sqlite3DB::kBatchRows);
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, logbookPath);
    if (!db.isOpen()) {
        m_result.status = Status::CannotOpenDatabase;
        return false;
    }
    // Another kind of SQLite file (a program database, another program's) gets no table.
    if (Sqlite3DB::Schema().inspect(logbookPath) == DatabaseSchema::State::Foreign) {
        m_result.status = Status::NotALogbook;
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
    const bool logbookHadQsos = Sqlite3DB::HighestQsoRowId(db.handle()) > 0;
    if (!Sqlite3DB::EnsureQsoFields(db.handle()) || !Sqlite3DB::InsertUserFields(m_reader->userFields(), db.handle())
        || !dropIndexesForALargeImport(db.handle(), logbookHadQsos)) {
        writeFailed(Failure::TransactionLost);
        return true;
    }
    m_inserter = std::make_unique<QsoBatchInserter>(db.handle());
    m_duplicates = std::make_unique<ImportDuplicates>(db.handle(), logbookHadQsos);
    readRecords(db.handle());
    const bool finished = m_result.failure != Failure::TransactionLost && finish(db.handle());
    // Their statements go before the connection.
    m_inserter.reset();
    m_duplicates.reset();
    if (!finished || !transaction.commit()) {
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
    AdifQsoMapping::Record record;
    AdifQsoMapping::startRecord(record);
    AdifFieldSource::Field field;
    while (m_reader->next(field)) {
        reportProgress(percentOf(m_reader->position(), m_fileSize));
        if (AdifQsoMapping::endsRecord(field.name)) {
            endRecord(record);
            if (m_pendingCount == Sqlite3DB::kBatchRows && !writePending(db))
                return;
            AdifQsoMapping::startRecord(record);
        } else if (field.hasLength) {
            AdifQsoMapping::apply(record, field.name, field.value, field.ascii);
        }
    }
    // The whole file is read; what follows the last field (a line end) counts too.
    reportProgress(100);
    noteUnreadRest();
}

// A file of the tagged form read to its end has given every byte it had when it was
// opened; one of the XML form says where its document broke off.
void AdifImporter::noteUnreadRest()
{
    if (!m_taggedForm)
        m_result.unreadRest = m_reader->damage();
    else if (m_file.isOpen() && m_reader->position() < m_fileSize)
        m_result.unreadRest = QStringLiteral("it became shorter while it was read");
    if (!m_result.unreadRest.isEmpty())
        qCWarning(lcAdif).noquote() << "the file was not read to its end:" << m_result.unreadRest;
}

// The record joins the pending ones. Its row trades buffers with the free row, so the
// next record fills buffers that already have room.
void AdifImporter::endRecord(AdifQsoMapping::Record &record)
{
    ++m_result.read;
    AdifQsoMapping::finishRecord(record);
    if (m_duplicates->repeats(record.qso)) {
        ++m_result.duplicates;
        return;
    }
    completeRecord(record.qso);
    // Until the batch is written, a kept field names its record by its place in it.
    for (Sqlite3DB::UM_QSOFIELD &kept : record.kept) {
        kept.qso = m_pendingCount;
        m_pendingKept.append(std::move(kept));
    }
    std::swap(m_rows[static_cast<std::size_t>(m_pendingCount)], record.qso);
    ++m_pendingCount;
}

// Digital-mode programs write no DXCC field: such a record gets the entity its call
// resolves to, as the entry form would give it, and, when the file gave no zone, the
// CQ zone of the call.
void AdifImporter::completeRecord(QsoBytes &record)
{
    qint32 &country = record.number[QsoColumns::Country];
    const QByteArray &call = record.text[QsoColumns::Call];
    if (country != 0 || call.isEmpty())
        return;
    // The program database is read when the first record needs it.
    if (!m_calls)
        m_calls = CallsignIndex::current();
    country = m_calls->resolveStored(call);
    QByteArray &cqZone = record.text[QsoColumns::CqZone];
    QString zone;
    if (country != 0 && cqZone.isEmpty() && m_calls->cqZone(country, call, zone))
        cqZone = CodePage::toStored(zone);
}

// An import that adds at least a quarter of the QSOs the logbook holds (judged by the
// file's size) writes its rows without the indexes of QSOS and makes them afresh at the
// end, in the same transaction: much quicker than updating them row by row, and the
// logbook is never seen without them. A small import into a large logbook keeps them.
bool AdifImporter::dropIndexesForALargeImport(sqlite3 *db, bool logbookHadQsos)
{
    constexpr qint64 kBytesPerRecord = 256; // a usual record of a logging program
    if (m_fileSize / kBytesPerRecord * 4 < Sqlite3DB::HighestQsoRowId(db))
        return true;
    // Into a logbook that holds QSOs the index on date and time stays: the import asks it
    // whether each record repeats one.
    std::optional<QList<QByteArray>> dropped =
        Sqlite3DB::DropQsoIndexes(db, logbookHadQsos ? QByteArray(Sqlite3DB::kDateTimeIndex) : QByteArray());
    if (!dropped)
        return false;
    m_droppedIndexes = std::move(*dropped);
    return true;
}

// The records still pending, then the statistics of the whole logbook, when anything
// was stored, and the indexes taken down for the import.
bool AdifImporter::finish(sqlite3 *db)
{
    if (!writePending(db))
        return false;
    return (m_result.added == 0 || m_countEachRecord || Sqlite3DB::RebuildDxccStats(db))
        && Sqlite3DB::RestoreQsoIndexes(db, m_droppedIndexes);
}

// A refused batch is discarded, kept fields and all, and reading goes on; false when the
// failure has ended the transaction, and with it the import. Only written records count
// as added.
bool AdifImporter::writePending(sqlite3 *db)
{
    qint64 firstRowId = 0;
    const bool written = writeBatch(db, firstRowId);
    if (written)
        m_result.added += m_pendingCount;
    m_pendingCount = 0;
    m_pendingKept.clear();
    m_duplicates->batchDone(written ? firstRowId : 0);
    if (!written)
        writeFailed(sqlite3_get_autocommit(db) ? Failure::TransactionLost : Failure::BatchRefused);
    return m_result.failure != Failure::TransactionLost;
}

// The batch's QSOs and their kept fields, all or none. The rows of one insert take
// consecutive row ids, so the last one tells the first.
bool AdifImporter::writeBatch(sqlite3 *db, qint64 &firstRowId)
{
    if (m_pendingCount == 0)
        return true;
    if (!SqliteStatement::exec(db, "SAVEPOINT BATCH;"))
        return false;
    qint64 lastRowId = 0;
    bool written = m_inserter->insert(m_rows.data(), m_pendingCount, lastRowId);
    firstRowId = lastRowId - m_pendingCount + 1;
    if (written && !m_pendingKept.isEmpty()) {
        for (Sqlite3DB::UM_QSOFIELD &kept : m_pendingKept)
            kept.qso += firstRowId;
        written = Sqlite3DB::InsertQsoFields(m_pendingKept, db);
    }
    if (written && m_countEachRecord)
        written = countBatchIn(db);
    // A failure that ended the transaction has taken the savepoint with it.
    if (!sqlite3_get_autocommit(db))
        SqliteStatement::exec(db, written ? "RELEASE BATCH;" : "ROLLBACK TO BATCH; RELEASE BATCH;");
    return written;
}

// The batch's QSOs in the statistics, as a rebuild would count them: a QSO of no entity
// has no place there.
bool AdifImporter::countBatchIn(sqlite3 *db)
{
    for (int i = 0; i < m_pendingCount; ++i) {
        const QsoBytes &row = m_rows[static_cast<std::size_t>(i)];
        const qint32 country = row.number[QsoColumns::Country];
        if (country != 0
            && !Sqlite3DB::ChangeDxccStats(db, +1, country, row.text[QsoColumns::Band], row.number[QsoColumns::Mode],
                                           row.number[QsoColumns::QslRcvd]))
            return false;
    }
    return true;
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
