// Feeds arbitrary bytes to the ADIF import as the logbook window runs it. The reader (of
// the tagged form, or of the XML form when the bytes start as an XML document) and the
// field mapping first read them on their own, checking what the reader promises (reading
// only moves forward and never past the end; fields are no longer than the text they
// come from). Then AdifImporter adds the file to a copy of a small logbook on tmpfs, and
// the logbook is checked for what must hold after every import:
// - the import read as many records as the reader found; it left out exactly those that
//   repeat a QSO of the logbook or an earlier record (the same call in any letter case,
//   date, minute, band and mode, found here by a key of its own) and stored every other
//   one; nothing refuses a write here;
// - the new rows of QSOS hold exactly the values the mapping gave (a text up to its
//   first NUL byte, as SQLite takes a C string), in file order, and QSOFIELDS holds
//   exactly the fields the mapping kept, each with its QSO; every text stored is valid
//   UTF-8, whatever the file held;
// - DXCCREPORT equals the counts of QSOS, computed here by one GROUP BY;
// - the indexes of QSOS are the ones it had before; PRAGMA integrity_check says ok;
// - the export of the logbook is valid UTF-8; imported into an empty logbook (where no
//   record repeats another) and exported again, it gives the same records, when every
//   date and time stored has its separators where the import puts them (a value of
//   other lengths is reshaped by the same positions, and its export then reads back in
//   another shape).
#include "FuzzCheck.h"
#include "FuzzSql.h"

#include "adif/AdifFrequency.h"
#include "adif/AdifQsoMapping.h"
#include "adif/AdifReader.h"
#include "adif/AdifWriter.h"
#include "adif/AdxReader.h"
#include "document/AdifImporter.h"
#include "progdb/ProgramDatabaseBuilder.h"
#include "store/QsoColumns.h"
#include "store/ProgramDb.h"
#include "store/Sqlite3DB.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr int kTemplateQsos = 20;
constexpr int kExportAllDays = 36500;

[[noreturn]] void setupFailed(const char *what)
{
    std::fprintf(stderr, "fuzz_adif: cannot set up: %s\n", what);
    std::exit(1);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The logbook's QSOs before the import: every entity known, so that an export and a
// second import give them back as they are.
QList<Sqlite3DB::UM_RECORD> templateQsos()
{
    struct Station
    {
        const char *call;
        int entity;
        const char *cqZone;
    };
    static const Station stations[] = {
        {"DL1ABC", 230, "14"}, {"W1AW", 291, "5"}, {"JA1XYZ", 339, "25"}, {"G4ABC", 223, "14"}, {"VK2DEF", 150, "30"},
    };
    static const char *bands[] = {"20", "40", "2", "6cm", "70"};
    QList<Sqlite3DB::UM_RECORD> qsos;
    for (int i = 0; i < kTemplateQsos; ++i) {
        const Station &station = stations[i % 5];
        Sqlite3DB::UM_RECORD qso;
        qso.date = QStringLiteral("2024-03-%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        qso.time = QStringLiteral("12:%1:00").arg(i, 2, 10, QLatin1Char('0'));
        qso.call = QLatin1String(station.call);
        qso.sent = QStringLiteral("599");
        qso.rcvd = QStringLiteral("579");
        qso.freq = QStringLiteral("14.025");
        qso.band = QLatin1String(bands[i % 5]);
        qso.mode = 1 + i % 5;
        qso.cqZone = QLatin1String(station.cqZone);
        qso.qslSent = 1 + i % 4;
        qso.qslRcvd = 1 + i % 2;
        qso.name = QStringLiteral("O'Neil");
        qso.country = station.entity;
        qsos.append(qso);
    }
    return qsos;
}

// The folder of the run on tmpfs, with the program database made from the real country
// file, and the two logbooks every import starts from, kept as bytes.
struct Workspace
{
    QTemporaryDir dir{QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/korva3-fuzz-XXXXXX")
                                                               : QDir::tempPath() + QStringLiteral("/korva3-fuzz-XXXXXX")};
    QString logbook = dir.filePath(QStringLiteral("log.sqlite3"));
    QString input = dir.filePath(QStringLiteral("in.adi"));
    QString exported = dir.filePath(QStringLiteral("export.adi"));
    QString second = dir.filePath(QStringLiteral("second.sqlite3"));
    QString reexported = dir.filePath(QStringLiteral("reexport.adi"));
    QByteArray filledLogbook;
    QByteArray emptyLogbook;
    FuzzSql::Rows indexes;

    Workspace()
    {
        if (!dir.isValid())
            setupFailed("no temporary folder");
        if (!ProgramDatabaseBuilder::build(dir.filePath(QLatin1String(ProgramDb::kProgramDatabase))))
            std::fprintf(stderr, "fuzz_adif: no country file at %s: records without DXCC resolve to nothing\n",
                         ProgramDatabaseBuilder::kCountryFile);
        Sqlite3DB db;
        if (!db.CreateLogbook(second) || !db.EnsureReadIndexes(second))
            setupFailed("the empty logbook");
        emptyLogbook = readFile(second);
        if (!db.CreateLogbook(logbook) || !db.EnsureReadIndexes(logbook))
            setupFailed("the logbook");
        for (const Sqlite3DB::UM_RECORD &qso : templateQsos()) {
            if (!db.InsertQso({qso}, logbook))
                setupFailed("a QSO of the logbook");
        }
        if (!db.RebuildDxccStats(logbook))
            setupFailed("the statistics of the logbook");
        filledLogbook = readFile(logbook);
        indexes = indexesOf(logbook);
    }

    static FuzzSql::Rows indexesOf(const QString &path)
    {
        sqlite3 *db = FuzzSql::open(path);
        FuzzSql::Rows rows = FuzzSql::rows(
            db, "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = 'QSOS' ORDER BY name");
        sqlite3_close(db);
        return rows;
    }
};

std::unique_ptr<Workspace> theWorkspace;

// The program database is opened by its relative name: the import runs in the workspace,
// everything else (libFuzzer's corpus and artifacts) in the folder the run started in.
class InWorkspace
{
public:
    explicit InWorkspace(const Workspace &workspace)
        : m_previous(QDir::currentPath())
    {
        fuzzCheck(QDir::setCurrent(workspace.dir.path()), "the workspace can be entered");
    }
    ~InWorkspace() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

// --- What the reader and the mapping give on their own -------------------------------

// SQLite takes the texts as C strings: a value ends at its first NUL byte.
QByteArray asStored(const QByteArray &value)
{
    const qsizetype nul = value.indexOf('\0');
    return nul < 0 ? value : value.left(nul);
}

struct Expected
{
    bool hasHeader = false;
    QList<AdifQsoMapping::Record> records;
    // How many records read repeat a QSO; they are not in `records`.
    int duplicates = 0;
};

// What makes two QSOs the same QSO: the call in capitals (ASCII letters, as SQLite's
// NOCASE compares), date, hours and minutes, band and mode.
QByteArray sameQsoKey(const QByteArray &call, const QByteArray &date, const QByteArray &time, const QByteArray &band,
                      int mode)
{
    QByteArray upper = call;
    for (char &c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper + '|' + date + '|' + time.left(5) + '|' + band + '|' + QByteArray::number(mode);
}

QByteArray sameQsoKey(const QsoBytes &qso)
{
    return sameQsoKey(asStored(qso.text[QsoColumns::Call]), asStored(qso.text[QsoColumns::Date]),
                      asStored(qso.text[QsoColumns::Time]), asStored(qso.text[QsoColumns::Band]),
                      qso.number[QsoColumns::Mode]);
}

// The keys of the logbook's QSOs before the import.
QSet<QByteArray> templateKeys()
{
    QSet<QByteArray> keys;
    for (const Sqlite3DB::UM_RECORD &qso : templateQsos())
        keys.insert(sameQsoKey(qso.call.toUtf8(), qso.date.toUtf8(), qso.time.toUtf8(), qso.band.toUtf8(), qso.mode));
    return keys;
}

Expected readDirectly(const QByteArray &bytes, QSet<QByteArray> known)
{
    Expected expected;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    std::unique_ptr<AdifFieldSource> reader;
    if (AdxReader::looksLikeAdx(bytes.left(256)))
        reader = std::make_unique<AdxReader>(buffer);
    else
        reader = std::make_unique<AdifReader>(buffer);
    expected.hasHeader = reader->skipHeader();
    if (!expected.hasHeader)
        return expected;
    const qint64 size = bytes.size();
    // A fresh record each time, so a value left behind in a reused one shows.
    AdifQsoMapping::Record record;
    AdifQsoMapping::startRecord(record);
    AdifFieldSource::Field field;
    qint64 previous = reader->position();
    while (reader->next(field)) {
        fuzzCheck(reader->position() >= previous && reader->position() <= size,
                  "reading moves forward and stays within the file");
        fuzzCheck(field.name.size() + field.value.size() <= size, "a field is no longer than the file");
        previous = reader->position();
        if (AdifQsoMapping::endsRecord(field.name)) {
            AdifQsoMapping::finishRecord(record);
            const QByteArray key = sameQsoKey(record.qso);
            if (known.contains(key))
                ++expected.duplicates;
            else
                expected.records.append(std::move(record));
            known.insert(key);
            record = AdifQsoMapping::Record();
            AdifQsoMapping::startRecord(record);
        } else if (field.hasLength) {
            AdifQsoMapping::apply(record, field.name, field.value);
        }
    }
    return expected;
}


// --- The logbook after the import ---------------------------------------------------

void checkNewQsos(sqlite3 *db, const Expected &expected)
{
    const QByteArray sql = "SELECT ROWID, " + QsoColumns::nameList() + " FROM QSOS WHERE ROWID > "
                         + QByteArray::number(kTemplateQsos) + " ORDER BY ROWID";
    const FuzzSql::Rows rows = FuzzSql::rows(db, sql.constData());
    fuzzCheck(rows.size() == expected.records.size(), "QSOS gained one row per record",
              QByteArray::number(rows.size()), QByteArray::number(expected.records.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QsoBytes &qso = expected.records.at(i).qso;
        const QByteArrayList &row = rows.at(i);
        fuzzCheck(row.at(0) == QByteArray::number(kTemplateQsos + 1 + i), "the records take consecutive row ids",
                  row.at(0), QByteArray::number(kTemplateQsos + 1 + i));
        // Without a DXCC field the entity and, with it, the zone come from the call.
        const bool resolved = qso.number[QsoColumns::Country] == 0;
        for (int column = 0; column < QsoColumns::kCount; ++column) {
            const QByteArray &stored = row.at(column + 1);
            if (column == QsoColumns::Country && resolved)
                continue;
            if (column == QsoColumns::CqZone && resolved && qso.text[column].isEmpty())
                continue;
            const QByteArray wanted = QsoColumns::all()[column].text ? asStored(qso.text[column])
                                                                     : QByteArray::number(qso.number[column]);
            fuzzCheck(stored == wanted, QsoColumns::all()[column].name, stored, wanted);
            fuzzCheck(stored.isValidUtf8(), "every text stored is UTF-8", stored);
        }
    }
}

void checkKeptFields(sqlite3 *db, const Expected &expected)
{
    FuzzSql::Rows wanted;
    for (qsizetype i = 0; i < expected.records.size(); ++i) {
        for (const Sqlite3DB::UM_QSOFIELD &kept : expected.records.at(i).kept)
            wanted.append({QByteArray::number(kTemplateQsos + 1 + i), asStored(kept.name), asStored(kept.value)});
    }
    const FuzzSql::Rows stored = FuzzSql::rows(db, "SELECT QSO, NAME, VALUE FROM QSOFIELDS ORDER BY ROWID");
    fuzzCheck(stored == wanted, "QSOFIELDS holds the kept fields", FuzzSql::text(stored), FuzzSql::text(wanted));
    fuzzCheck(FuzzSql::text(stored).isValidUtf8(), "every kept field is UTF-8", FuzzSql::text(stored));
}

void checkStatistics(sqlite3 *db)
{
    const FuzzSql::Rows stats =
        FuzzSql::rows(db, "SELECT DXCC, BAND, MODE, COUNTW, COUNTC FROM DXCCREPORT ORDER BY DXCC, BAND, MODE");
    const FuzzSql::Rows counted = FuzzSql::rows(
        db, "SELECT COUNTRY, BAND, MODE, COUNT(*), SUM(QSLRCVD = 2) FROM QSOS WHERE COUNTRY != 0 "
            "GROUP BY COUNTRY, BAND, MODE ORDER BY COUNTRY, BAND, MODE");
    fuzzCheck(stats == counted, "DXCCREPORT equals the counts of QSOS", FuzzSql::text(stats), FuzzSql::text(counted));
}

void checkLogbook(const Workspace &workspace, const Expected &expected)
{
    sqlite3 *db = FuzzSql::open(workspace.logbook);
    const FuzzSql::Rows integrity = FuzzSql::rows(db, "PRAGMA integrity_check");
    fuzzCheck(integrity == FuzzSql::Rows{{"ok"}}, "PRAGMA integrity_check says ok", FuzzSql::text(integrity));
    const FuzzSql::Rows count = FuzzSql::rows(db, "SELECT COUNT(*) FROM QSOS");
    const QByteArray wanted = QByteArray::number(kTemplateQsos + expected.records.size());
    fuzzCheck(count == FuzzSql::Rows{{wanted}}, "QSOS holds the old rows and the added ones",
              FuzzSql::text(count), wanted);
    checkNewQsos(db, expected);
    checkKeptFields(db, expected);
    checkStatistics(db);
    sqlite3_close(db);
    const FuzzSql::Rows indexes = Workspace::indexesOf(workspace.logbook);
    fuzzCheck(indexes == workspace.indexes, "QSOS keeps its indexes", FuzzSql::text(indexes),
              FuzzSql::text(workspace.indexes));
}

// --- Export, import, export ----------------------------------------------------------

using Fields = QList<std::pair<QByteArray, QByteArray>>;

// A record's fields written one way. The export reads a FREQ that lies in no band in
// MHz but in the QSO's band (or, without one, in some band) in kHz as kHz, so a FREQ it
// wrote from a text with its unit ("7074 MHz" on 40 m, "10104.09 MHz" without a band)
// it writes another way the next time: each FREQ stands here as the export would write
// it once more, with the band the import stores.
QByteArray recordText(const Fields &fields)
{
    QByteArray band;
    for (const auto &[name, written] : fields) {
        if (name == "BAND")
            band = AdifQsoMapping::storedBand(written);
    }
    QByteArray text;
    for (const auto &[name, written] : fields) {
        const QByteArray value = name == "FREQ" ? AdifFrequency::exportValue(written, band) : written;
        text += '<' + name + ':' + QByteArray::number(value.size()) + '>' + value;
    }
    return text;
}

// The records of an export, each as one text, sorted: QSOs of the same date and time may
// come in either order.
QByteArrayList recordsOf(const QByteArray &adif)
{
    QBuffer buffer;
    buffer.setData(adif);
    buffer.open(QIODevice::ReadOnly);
    AdifReader reader(buffer);
    fuzzCheck(reader.skipHeader(), "an export has a header");
    QByteArrayList records;
    Fields fields;
    AdifReader::Field field;
    while (reader.next(field)) {
        if (AdifQsoMapping::endsRecord(field.name)) {
            records.append(recordText(fields));
            fields.clear();
        } else {
            fields.append({field.name.toByteArray(), field.value.toByteArray()});
        }
    }
    fuzzCheck(fields.isEmpty(), "an export ends with a whole record", recordText(fields));
    std::sort(records.begin(), records.end());
    return records;
}

QByteArray exportOf(const QString &logbook, const QString &file)
{
    Sqlite3DB db;
    fuzzCheck(AdifWriter::ExportAdif(db, file, logbook, kExportAllDays) == AdifWriter::Result::Written,
              "the logbook can be exported");
    return readFile(file);
}

// Empty, or the separator at each of its positions and nowhere else.
bool hasShape(const QByteArray &text, qsizetype length, char separator, std::initializer_list<qsizetype> positions)
{
    if (text.isEmpty())
        return true;
    if (text.size() != length || text.count(separator) != static_cast<qsizetype>(positions.size()))
        return false;
    return std::all_of(positions.begin(), positions.end(), [&](qsizetype at) { return text.at(at) == separator; });
}

bool datesAndTimesShaped(const Expected &expected)
{
    return std::all_of(expected.records.cbegin(), expected.records.cend(), [](const AdifQsoMapping::Record &record) {
        return hasShape(asStored(record.qso.text[QsoColumns::Date]), 10, '-', {4, 7})
            && hasShape(asStored(record.qso.text[QsoColumns::Time]), 8, ':', {2, 5});
    });
}

void checkRoundTrip(const Workspace &workspace)
{
    const QByteArray first = exportOf(workspace.logbook, workspace.exported);
    fuzzCheck(first.isValidUtf8(), "the export is UTF-8");
    fuzzCheck(writeFile(workspace.second, workspace.emptyLogbook), "the empty logbook is written");
    AdifImporter importer;
    fuzzCheck(importer.openFile(workspace.exported) && importer.skipHeader(), "the export can be read again");
    {
        InWorkspace here(workspace);
        importer.importInto(workspace.second);
    }
    fuzzCheck(importer.result().failure == AdifImporter::Failure::None, "the export imports without failure");
    fuzzCheck(importer.result().duplicates == 0, "no QSO of an export repeats another",
              QByteArray::number(importer.result().duplicates));
    const QByteArray second = exportOf(workspace.second, workspace.reexported);
    const QByteArrayList firstRecords = recordsOf(first);
    const QByteArrayList secondRecords = recordsOf(second);
    fuzzCheck(firstRecords.size() == secondRecords.size(), "an imported export exports as many records",
              QByteArray::number(secondRecords.size()), QByteArray::number(firstRecords.size()));
    for (qsizetype i = 0; i < firstRecords.size(); ++i)
        fuzzCheck(firstRecords.at(i) == secondRecords.at(i), "an imported export exports the same records",
                  secondRecords.at(i), firstRecords.at(i));
}

// The import runs in the workspace, so an input that crashes it would be saved there:
// unless told otherwise, libFuzzer saves it in the folder the run started in.
void keepArtifactsHere(int *argc, char ***argv)
{
    static std::vector<char *> args(*argv, *argv + *argc);
    static QByteArray prefix = "-artifact_prefix=" + QFile::encodeName(QDir::currentPath()) + '/';
    const bool given = std::any_of(args.cbegin(), args.cend(), [](const char *arg) {
        return std::strncmp(arg, "-artifact_prefix=", 17) == 0 || std::strncmp(arg, "-exact_artifact_path=", 21) == 0;
    });
    if (!given)
        args.push_back(prefix.data());
    args.push_back(nullptr);
    *argc = static_cast<int>(args.size()) - 1;
    *argv = args.data();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    keepArtifactsHere(argc, argv);
    theWorkspace = std::make_unique<Workspace>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    static const QSet<QByteArray> stored = templateKeys();
    const Expected expected = readDirectly(bytes, stored);

    const Workspace &workspace = *theWorkspace;
    fuzzCheck(writeFile(workspace.logbook, workspace.filledLogbook) && writeFile(workspace.input, bytes),
              "the workspace takes the files");
    AdifImporter importer;
    fuzzCheck(importer.openFile(workspace.input), "the import opens its file");
    const bool hasHeader = importer.skipHeader();
    fuzzCheck(hasHeader == expected.hasHeader, "the import finds the header the reader finds");
    if (!hasHeader)
        return 0;
    {
        InWorkspace here(workspace);
        fuzzCheck(importer.importInto(workspace.logbook), "the import opens the logbook");
    }
    const AdifImporter::Result &result = importer.result();
    fuzzCheck(result.status == AdifImporter::Status::Imported && result.failure == AdifImporter::Failure::None
                  && result.failedWrites == 0,
              "nothing refuses a write");
    fuzzCheck(result.read == expected.records.size() + expected.duplicates,
              "the import reads every record the reader finds", QByteArray::number(result.read),
              QByteArray::number(expected.records.size() + expected.duplicates));
    fuzzCheck(result.duplicates == expected.duplicates, "the import leaves out the records that repeat a QSO",
              QByteArray::number(result.duplicates), QByteArray::number(expected.duplicates));
    fuzzCheck(result.added == result.read - result.duplicates, "every other record read is added",
              QByteArray::number(result.added), QByteArray::number(result.read - result.duplicates));
    checkLogbook(workspace, expected);
    if (datesAndTimesShaped(expected))
        checkRoundTrip(workspace);
    return 0;
}
