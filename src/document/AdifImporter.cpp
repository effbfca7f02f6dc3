#include "AdifImporter.h"

#include "AdifQsoMapping.h"
#include "store/SlotConnection.h"
#include "store/SqliteStatement.h"

#include <limits>

AdifImporter::AdifImporter(Sqlite3DB &db, QList<Sqlite3DB::UM_RECORD> &pending)
    : m_db(db)
    , m_pending(pending)
{
}

bool AdifImporter::openFile(const QString &adifPath)
{
    m_file.setFileName(adifPath);
    if (!m_file.open(QIODevice::ReadOnly)) {
        m_result.status = Status::CannotOpenFile;
        return false;
    }
    // A mapped file is read in place; files that cannot be mapped (empty ones, pipes)
    // are read into memory.
    const qint64 size = m_file.size();
    uchar *mapped = size > 0 ? m_file.map(0, size) : nullptr;
    m_bytes = mapped ? QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), size) : m_file.readAll();
    m_reader = AdifReader(m_bytes);
    return true;
}

bool AdifImporter::skipHeader()
{
    if (m_reader.skipHeader())
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
    SqliteStatement::exec(db.handle(), "BEGIN TRANSACTION;");
    readRecords(db.handle());
    writePending(db.handle());
    if (!SqliteStatement::exec(db.handle(), "END TRANSACTION;")) {
        // Closing the connection rolls the whole import back: nothing was added.
        m_result.added = 0;
        writeFailed();
    }
    m_result.status = Status::Imported;
    return true;
}

void AdifImporter::readRecords(sqlite3 *db)
{
    Sqlite3DB::UM_RECORD record = AdifQsoMapping::startRecord();
    AdifReader::Field field;
    int shown = -1;
    while (m_reader.next(field)) {
        const int percent = percentOf(m_reader.position(), m_reader.size());
        if (percent != shown && m_onProgress) {
            shown = percent;
            m_onProgress(percent);
        }
        if (AdifQsoMapping::endsRecord(field.name)) {
            m_pending.append(record);
            ++m_result.read;
            if (m_result.read % Sqlite3DB::kBatchRows == 0)
                writePending(db);
            record = AdifQsoMapping::startRecord();
        } else if (field.hasLength) {
            AdifQsoMapping::apply(record, field.name, field.value);
        }
    }
}

// A batch that fails is discarded; reading goes on. Only written records count as added,
// so the closing message never claims records that are not in the logbook.
void AdifImporter::writePending(sqlite3 *db)
{
    if (m_db.InsertQsoBatch(m_pending, db))
        m_result.added += static_cast<int>(m_pending.size());
    else
        writeFailed();
    m_pending.clear();
}

void AdifImporter::writeFailed()
{
    ++m_result.failedWrites;
    if (m_onWriteFailure)
        m_onWriteFailure();
}

int AdifImporter::percentOf(qint64 position, qint64 size)
{
    if (size <= 0)
        return 100;
    if (size > std::numeric_limits<qint64>::max() / 100) {
        position /= 100;
        size /= 100;
    }
    return static_cast<int>(position * 100 / size);
}
