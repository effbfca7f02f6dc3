#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "faults/HeldLock.h"
#include "document/CKorva3Doc.h"
#include "platform/PrompterGuard.h"
#include "platform/ScriptedPrompter.h"
#include "progdb/ProgramDatabaseBuilder.h"
#include "store/DatabaseSchema.h"
#include "store/LogbookJournal.h"
#include "store/SlotConnection.h"

#include <QtTest>

namespace {

Sqlite3DB::UM_RECORD qso(const QString &date, const QString &call, int country, int qslRcvd)
{
    Sqlite3DB::UM_RECORD r;
    r.rowId = 77; // never written
    r.date = date;
    r.time = QStringLiteral("14:05:00");
    r.call = call;
    r.sent = QStringLiteral("599");
    r.rcvd = QStringLiteral("579");
    r.freq = QStringLiteral("14.025");
    r.band = QStringLiteral("20");
    r.mode = 1;
    r.power = QStringLiteral("100");
    r.cqZone = QStringLiteral("14");
    r.grid = QStringLiteral("JO31");
    r.qslSent = 2;
    r.qslRcvd = qslRcvd;
    r.name = QStringLiteral("O'Neil");
    r.qth = QStringLiteral("Köln");
    r.address1 = QStringLiteral("Street 1");
    r.address2 = QStringLiteral("Town");
    r.remarks = QStringLiteral("tnx");
    r.qslMgr = QStringLiteral("DL9XX");
    r.iota = QStringLiteral("EU-001");
    r.country = country;
    return r;
}

// The written fields of a record, one text, to compare records as a whole.
QString fields(const Sqlite3DB::UM_RECORD &r)
{
    return QStringList{r.date, r.time, r.call, r.sent, r.rcvd, r.freq, r.band, QString::number(r.mode),
                       r.power, r.cqZone, r.grid, QString::number(r.qslSent), QString::number(r.qslRcvd),
                       r.name, r.qth, r.address1, r.address2, r.remarks, r.qslMgr, r.iota,
                       QString::number(r.country)}
        .join(QLatin1Char('|'));
}

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    void bandFromFrequency_data();
    void bandFromFrequency();
    void documentKnowsItsFileAndExportPeriod();
    void exportPeriodWithoutProgramDatabaseIsAll();
    void referenceListsLoadOnceEach();
    void referenceListsStayEmptyWithoutProgramDatabase();
    void addAndReadQsos();
    void readQsoOfAMissingRowGivesOneEmptyRecord();
    void addQsoToAMissingFolderFails();
    void statisticsCountInAndOut();
    void rebuildSaysSoEvenWhenItFails();
    void writesAndTheirStatisticsGoTogether_data();
    void writesAndTheirStatisticsGoTogether();
    void writesWaitForALockAnotherProgramHolds();
    void readersHoldNoWriteBeyondTheTimeout_data();
    void readersHoldNoWriteBeyondTheTimeout();
    void olderLogbookGetsItsReadIndexesWhenOpened();
    void committedWritesAreAnnounced_data();
    void committedWritesAreAnnounced();
    void writesOfAnotherProgramAreNoticed();
    void olderLogbookIsMigratedAfterACopy();
    void newerLogbookIsOnlyRead();
};

void TestDocument::bandFromFrequency_data()
{
    QTest::addColumn<QString>("frequency");
    QTest::addColumn<QString>("band");

    QTest::newRow("MHz") << "14.074" << "20";
    QTest::newRow("kHz") << "14074" << "20";
    QTest::newRow("whole MHz") << "14" << "20";
    QTest::newRow("7") << "7" << "40";
    QTest::newRow("70 MHz counts as 6 m") << "70.2" << "6";
    QTest::newRow("100") << "100" << "";
    QTest::newRow("kHz with a fraction") << "14074.5" << "20";
    QTest::newRow("unit after the number") << "144.300 MHz" << "2";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("not a number") << "abc" << "";

    // Every bound of every row, in both readings, and just outside it.
    const struct
    {
        const char *band;
        const char *lowMHz, *highMHz, *belowMHz, *aboveMHz;
        const char *lowKHz, *highKHz, *belowKHz, *aboveKHz;
    } edges[] = {
        {"160", "1.8", "2.0", "1.79", "2.01", "1800", "2000", "1799", "2001"},
        {"80", "3.5", "4.0", "3.49", "4.01", "3500", "4000", "3499", "4001"},
        {"60", "5.3", "5.4", "5.29", "5.41", "5300", "5400", "5299", "5401"},
        {"40", "7.0", "7.3", "6.99", "7.31", "7000", "7300", "6999", "7301"},
        {"30", "10.1", "10.15", "10.09", "10.16", "10100", "10150", "10099", "10151"},
        {"20", "14.0", "14.5", "13.99", "14.51", "14000", "14500", "13999", "14501"},
        {"17", "18.0", "18.5", "17.99", "18.51", "18000", "18500", "17999", "18501"},
        {"15", "21.0", "21.5", "20.99", "21.51", "21000", "21500", "20999", "21501"},
        {"12", "24.8", "25.0", "24.79", "25.01", "24800", "25000", "24799", "25001"},
        {"10", "28.0", "30.0", "27.99", "30.01", "28000", "30000", "27999", "30001"},
        {"6", "50.0", "54.0", "49.99", "54.01", "50000", "54000", "49999", "54001"},
        {"6", "70.0", "71.0", "69.99", "71.01", "70000", "71000", "69999", "71001"},
        {"2", "144.0", "148.0", "143.99", "148.01", "144000", "148000", "143999", "148001"},
        {"70", "420.0", "450.0", "419.99", "450.01", "420000", "450000", "419999", "450001"},
        {"23", "1200.0", "1300.0", "1199.99", "1300.01", "1200000", "1300000", "1199999", "1300001"},
    };
    for (const auto &e : edges) {
        for (const char *inside : {e.lowMHz, e.highMHz, e.lowKHz, e.highKHz})
            QTest::addRow("%s inside", inside) << inside << e.band;
        for (const char *outside : {e.belowMHz, e.aboveMHz, e.belowKHz, e.aboveKHz})
            QTest::addRow("%s outside", outside) << outside << "";
    }
}

void TestDocument::bandFromFrequency()
{
    QFETCH(QString, frequency);
    QFETCH(QString, band);
    QCOMPARE(CKorva3Doc::BandFromFrequency(frequency), band);
}

void TestDocument::documentKnowsItsFileAndExportPeriod()
{
    TestDir dir;
    QVERIFY(ProgramDatabaseBuilder::build(QStringLiteral("korva3.sqlite3")));
    QVERIFY(SqlHelpers::exec("korva3.sqlite3", "UPDATE PARAMETERS SET VALUE = '4' WHERE PARAMETER = 'adifexport'"));
    const QString path = dir.filePath("Station Log.sqlite3");
    CKorva3Doc doc(path);
    QCOMPARE(doc.pathName(), path);
    QCOMPARE(doc.title(), QStringLiteral("Station Log.sqlite3"));
    QCOMPARE(doc.m_adifPeriod, 4);
    // No logbook file yet: nothing to list, and the report figures it starts with.
    QVERIFY(doc.LoadLatestQsos(30).isEmpty());
    QCOMPARE(doc.ReadDxccTotals().totalQsos, 0);
    QCOMPARE(doc.ReadDxccTotals().mixed.worked, 0);
    const CqZoneGrid &grid = doc.ReadCqZoneGrid();
    QCOMPARE(QByteArray(&grid.marks[0][0], sizeof grid.marks), QByteArray(sizeof grid.marks, '\0'));
}

void TestDocument::exportPeriodWithoutProgramDatabaseIsAll()
{
    TestDir dir;
    QVERIFY(SqlHelpers::exec("korva3.sqlite3", "CREATE TABLE PARAMETERS(ID INTEGER PRIMARY KEY, PARAMETER TEXT "
                                               "UNIQUE, VALUE TEXT); INSERT INTO PARAMETERS(PARAMETER, VALUE) "
                                               "VALUES ('adifexport', 'x3')"));
    QCOMPARE(CKorva3Doc(QStringLiteral("a.sqlite3")).m_adifPeriod, 0);
    QVERIFY(QFile::remove("korva3.sqlite3"));
    QCOMPARE(CKorva3Doc(QStringLiteral("a.sqlite3")).m_adifPeriod, 0);
}

void TestDocument::referenceListsLoadOnceEach()
{
    TestDir dir;
    QVERIFY(ProgramDatabaseBuilder::build(QStringLiteral("korva3.sqlite3")));
    CKorva3Doc doc(dir.filePath("log.sqlite3"));
    doc.LoadReferenceLists();
    doc.LoadReferenceLists();

    const auto texts = [](const QList<ProgramDb::UM_COMBOBOX> &list) {
        QStringList out;
        for (const ProgramDb::UM_COMBOBOX &entry : list)
            out.append(QString::number(entry.id) + QLatin1Char('=') + entry.text);
        return out.join(QLatin1Char(' '));
    };
    QCOMPARE(texts(doc.m_modes), QStringLiteral("1=CW 2=SSB 3=RTTY 4=FM 5=AM"));
    QCOMPARE(texts(doc.m_qslSentList), QStringLiteral("1=L 2=N 3=Y 4=D"));
    QCOMPARE(texts(doc.m_qslRcvdList), QStringLiteral("1=N 2=Y"));
    QCOMPARE(QByteArray::number(doc.m_countries.size()),
             SqlHelpers::rows("korva3.sqlite3", "SELECT COUNT(*) FROM COUNTRIES"));
    QCOMPARE(doc.m_countries.first().id, 246);
    QCOMPARE(doc.m_countries.first().text, QStringLiteral("Sov Mil Order of Malta"));
}

void TestDocument::referenceListsStayEmptyWithoutProgramDatabase()
{
    TestDir dir;
    ScriptedPrompter prompter;
    PrompterGuard install(prompter);
    CKorva3Doc doc(dir.filePath("log.sqlite3"));
    doc.m_modes.append({1, QStringLiteral("CW")});
    doc.LoadReferenceLists();
    QVERIFY(doc.m_modes.isEmpty());
    QVERIFY(doc.m_qslSentList.isEmpty());
    QVERIFY(doc.m_qslRcvdList.isEmpty());
    QVERIFY(doc.m_countries.isEmpty());
    QVERIFY(prompter.shown().isEmpty());
}

void TestDocument::addAndReadQsos()
{
    TestDir dir;
    CKorva3Doc doc(dir.filePath("log.sqlite3"));
    QVERIFY(Sqlite3DB().CreateLogbook(doc.pathName()));

    const Sqlite3DB::UM_RECORD first = qso("2024-01-02", "DL1ABC", 230, 1);
    QCOMPARE(doc.AddQso(first), 1);
    QCOMPARE(doc.AddQso(qso("2024-01-01", "F5XYZ", 227, 2)), 2);
    QCOMPARE(doc.AddQso(qso("2024-01-03", "DL2XYZ", 230, 2)), 3);

    const std::optional<Sqlite3DB::UM_RECORD> read = doc.ReadQso(1);
    QVERIFY(read);
    QCOMPARE(read->rowId, 1);
    QCOMPARE(fields(*read), fields(first));

    const QList<Sqlite3DB::UM_RECORD> latest = doc.LoadLatestQsos(2);
    QCOMPARE(latest.size(), 2);
    QCOMPARE(latest[0].call, QStringLiteral("DL1ABC"));
    QCOMPARE(latest[1].call, QStringLiteral("DL2XYZ"));

    const QList<Sqlite3DB::UM_RECORD> found = doc.FindQsosByCall(QStringLiteral("DL"));
    QCOMPARE(found.size(), 2);
    QCOMPARE(found[0].rowId, 1);
    QCOMPARE(found[1].rowId, 3);

    QVERIFY(doc.FindQsosByCall(QStringLiteral("ZZ")).isEmpty());
}

void TestDocument::readQsoOfAMissingRowGivesOneEmptyRecord()
{
    TestDir dir;
    CKorva3Doc doc(dir.filePath("log.sqlite3"));
    QVERIFY(Sqlite3DB().CreateLogbook(doc.pathName()));
    QCOMPARE(doc.AddQso(qso("2024-01-02", "DL1ABC", 230, 1)), 1);

    const std::optional<Sqlite3DB::UM_RECORD> missing = doc.ReadQso(42);
    QVERIFY(missing);
    QCOMPARE(fields(*missing), QStringLiteral("|||||||0||||0|0||||||||0"));

    QVERIFY(doc.LoadLatestQsos(0).isEmpty());
}

void TestDocument::addQsoToAMissingFolderFails()
{
    TestDir dir;
    CKorva3Doc doc(dir.filePath("missing/log.sqlite3"));
    QCOMPARE(doc.AddQso(qso("2024-01-02", "DL1ABC", 230, 1)), 0);
    QVERIFY(doc.LoadLatestQsos(30).isEmpty());
    QVERIFY(!doc.ReadQso(1));
}

void TestDocument::statisticsCountInAndOut()
{
    TestDir dir;
    CKorva3Doc doc(dir.filePath("log.sqlite3"));
    QVERIFY(Sqlite3DB().CreateLogbook(doc.pathName()));
    doc.CountQsoInStatistics(230, QStringLiteral("20"), 1, 2);
    doc.CountQsoInStatistics(230, QStringLiteral("20"), 1, 1);
    QCOMPARE(SqlHelpers::rows(doc.pathName(), "SELECT DXCC, BAND, MODE, COUNTW, COUNTC FROM DXCCREPORT"),
             QByteArray("230|20|1|2|1"));
    doc.RemoveQsoFromStatistics(230, QStringLiteral("20"), 1, 2);
    doc.RemoveQsoFromStatistics(227, QStringLiteral("40"), 2, 1);
    QCOMPARE(SqlHelpers::rows(doc.pathName(), "SELECT DXCC, BAND, MODE, COUNTW, COUNTC FROM DXCCREPORT ORDER BY ROWID"),
             QByteArray("230|20|1|1|0\n227|40|2|-1|0"));
}

void TestDocument::rebuildSaysSoEvenWhenItFails()
{
    TestDir dir;
    ScriptedPrompter prompter;
    PrompterGuard install(prompter);

    CKorva3Doc doc(dir.filePath("log.sqlite3"));
    QVERIFY(Sqlite3DB().CreateLogbook(doc.pathName()));
    doc.AddQso(qso("2024-01-02", "DL1ABC", 230, 2));
    doc.AddQso(qso("2024-01-03", "DL2XYZ", 230, 1));
    doc.AddQso(qso("2024-01-04", "F5XYZ", 227, 1));
    doc.CountQsoInStatistics(1, QStringLiteral("80"), 2, 2); // stale row, gone after the rebuild
    doc.OnRebuildDxccStat();
    QCOMPARE(SqlHelpers::rows(doc.pathName(), "SELECT DXCC, BAND, MODE, COUNTW, COUNTC FROM DXCCREPORT ORDER BY ROWID"),
             QByteArray("230|20|1|2|1\n227|20|1|1|0"));
    QCOMPARE(prompter.shown().size(), 1);
    QCOMPARE(prompter.shown().first().kind, ScriptedPrompter::Shown::Kind::Message);
    QCOMPARE(prompter.shown().first().icon, Prompter::Icon::None);
    QCOMPARE(prompter.shown().first().text, QStringLiteral("DXCC statistics rebuilt"));

    prompter.clear();
    CKorva3Doc other(dir.filePath("other.sqlite3"));
    QVERIFY(Sqlite3DB().CreateLogbook(other.pathName()));
    QCOMPARE(other.AddQso(qso("2024-01-02", "DL1ABC", 230, 2)), 1);
    QVERIFY(SqlHelpers::exec(other.pathName(),
                             "CREATE TRIGGER KEEP BEFORE INSERT ON DXCCREPORT BEGIN SELECT RAISE(ABORT, 'no'); END"));
    QVERIFY(!other.OnRebuildDxccStat());
    QCOMPARE(prompter.texts(), QStringList{QStringLiteral("Error writing to database...")});
    QCOMPARE(prompter.shown().first().icon, Prompter::Icon::Error);
}

namespace {

// The statistics as a rebuild would give them from the QSOs, and as the table holds
// them (rows that count nothing left out): the two must always agree.
const char kStatsFromQsos[] =
    "SELECT COUNTRY, BAND, MODE, COUNT(*), SUM(QSLRCVD = 2) FROM QSOS WHERE COUNTRY != 0 "
    "GROUP BY 1, 2, 3 ORDER BY 1, 2, 3";
const char kStatsInTable[] =
    "SELECT DXCC, BAND, MODE, SUM(COUNTW), SUM(COUNTC) FROM DXCCREPORT GROUP BY 1, 2, 3 "
    "HAVING SUM(COUNTW) != 0 OR SUM(COUNTC) != 0 ORDER BY 1, 2, 3";

enum class Write { Add, ChangeBand, MarkQsl, Delete, AddWithoutEntity, AddRecord, Rebuild };

bool runWrite(CKorva3Doc &doc, Write write)
{
    Sqlite3DB::UM_RECORD changed = qso("2026-12-06", "DL1ABC", 230, 1);
    switch (write) {
    case Write::Add: return doc.AddQso(qso("2026-12-07", "F5AB", 227, 2)) != 0;
    case Write::AddWithoutEntity: return doc.AddQso(qso("2026-12-07", "X5AB", 0, 2)) != 0;
    case Write::ChangeBand: changed.band = QStringLiteral("40"); return doc.ChangeQso(1, changed);
    case Write::MarkQsl: changed.qslRcvd = 2; return doc.ChangeQso(1, changed);
    case Write::Delete: return doc.DeleteQso(1);
    case Write::AddRecord:
        return doc.AddAdifRecord("<call:4>F5AB<qso_date:8>20261207<time_on:4>1200<band:3>20m<mode:2>CW<dxcc:3>227<eor>")
                   .added
            == 1;
    case Write::Rebuild: return doc.OnRebuildDxccStat();
    }
    return false;
}

// Every signal of the document, in the order they come, as "name argument".
class SignalLog
{
public:
    explicit SignalLog(CKorva3Doc &doc)
    {
        const auto note = [this](const char *name) {
            return [this, name](int value) { m_seen.append(QStringLiteral("%1 %2").arg(QLatin1String(name)).arg(value)); };
        };
        QObject::connect(&doc, &CKorva3Doc::qsoAdded, note("added"));
        QObject::connect(&doc, &CKorva3Doc::qsoChanged, note("changed"));
        QObject::connect(&doc, &CKorva3Doc::qsoDeleted, note("deleted"));
        QObject::connect(&doc, &CKorva3Doc::qsosImported, note("imported"));
        QObject::connect(&doc, &CKorva3Doc::statisticsChanged, note("statistics"));
        QObject::connect(&doc, &CKorva3Doc::changedOutside, [this] { m_seen.append(QStringLiteral("outside")); });
    }
    QString text() const { return m_seen.join(QLatin1Char('|')); }
    QString take()
    {
        const QString seen = text();
        m_seen.clear();
        return seen;
    }

private:
    QStringList m_seen;
};

} // namespace

void TestDocument::writesAndTheirStatisticsGoTogether_data()
{
    QTest::addColumn<Write>("write");
    QTest::addColumn<bool>("needsStatistics");
    QTest::newRow("add") << Write::Add << true;
    QTest::newRow("add without entity") << Write::AddWithoutEntity << false;
    QTest::newRow("change band") << Write::ChangeBand << true;
    QTest::newRow("mark QSL received") << Write::MarkQsl << true;
    QTest::newRow("delete") << Write::Delete << true;
}

// Each write changes the QSO and the statistics in one transaction: when the statistics
// cannot follow, the QSO stays as it was too, and when they can they equal a rebuild.
void TestDocument::writesAndTheirStatisticsGoTogether()
{
    QFETCH(Write, write);
    QFETCH(bool, needsStatistics);
    TestDir dir;
    CKorva3Doc doc(dir.filePath("log.sqlite3"));
    QVERIFY(Sqlite3DB().CreateLogbook(doc.pathName()));
    QVERIFY(doc.AddQso(qso("2026-12-06", "DL1ABC", 230, 1)) == 1);
    QVERIFY(doc.AddQso(qso("2026-12-06", "G4ABC", 223, 2)) == 2);
    const QByteArray qsosBefore = SqlHelpers::rows(doc.pathName(), "SELECT * FROM QSOS");
    const QByteArray statsBefore = SqlHelpers::rows(doc.pathName(), "SELECT * FROM DXCCREPORT");

    QVERIFY(SqlHelpers::exec(doc.pathName(),
                             "CREATE TRIGGER R1 BEFORE INSERT ON DXCCREPORT BEGIN SELECT RAISE(ABORT, 'no'); END;"
                             "CREATE TRIGGER R2 BEFORE UPDATE ON DXCCREPORT BEGIN SELECT RAISE(ABORT, 'no'); END"));
    QCOMPARE(runWrite(doc, write), !needsStatistics);
    if (needsStatistics) {
        QCOMPARE(SqlHelpers::rows(doc.pathName(), "SELECT * FROM QSOS"), qsosBefore);
        QCOMPARE(SqlHelpers::rows(doc.pathName(), "SELECT * FROM DXCCREPORT"), statsBefore);
    }

    QVERIFY(SqlHelpers::exec(doc.pathName(), "DROP TRIGGER R1; DROP TRIGGER R2"));
    if (needsStatistics)
        QVERIFY(runWrite(doc, write));
    QVERIFY(SqlHelpers::rows(doc.pathName(), "SELECT * FROM QSOS") != qsosBefore);
    QCOMPARE(SqlHelpers::rows(doc.pathName(), kStatsInTable), SqlHelpers::rows(doc.pathName(), kStatsFromQsos));
}

void TestDocument::writesWaitForALockAnotherProgramHolds()
{
    TestDir dir;
    CKorva3Doc doc(dir.filePath("log.sqlite3"));
    QVERIFY(Sqlite3DB().CreateLogbook(doc.pathName()));
    HeldLock lock{doc.pathName()};
    QVERIFY(lock.isHeld());
    lock.releaseLater(300);
    QCOMPARE(doc.AddQso(qso("2026-12-06", "DL1ABC", 230, 1)), 1);
    QCOMPARE(SqlHelpers::rows(doc.pathName(), "SELECT CALL FROM QSOS"), QByteArray("DL1ABC"));
}

namespace {

enum class Reader { LetGoSoon, HeldPastTheTimeout };
constexpr int kLetGoSoonMs = 300;
constexpr int kHeldPastTheTimeoutMs = 3 * SlotConnection::kBusyTimeoutMs;
enum class Step { Add, Rebuild, Import };
const QString kInUse = QStringLiteral("Error writing to database...\nThe logbook is in use by another program");
// More than SQLite's page cache holds, so the import has to write pages to the file
// before its commit.
constexpr int kLargeImport = 6000;

// Records of a large import, each with a long name.
QByteArray largeImport()
{
    const QByteArray name = "<NAME:600>" + QByteArray(600, 'n');
    QByteArray adif = "<EOH>\n";
    for (int i = 1; i <= kLargeImport; ++i)
        adif += "<CALL:" + QByteArray::number(QByteArray::number(i).size() + 2) + ">DL" + QByteArray::number(i) + name
              + "<EOR>\n";
    return adif;
}

} // namespace

void TestDocument::readersHoldNoWriteBeyondTheTimeout_data()
{
    QTest::addColumn<QByteArray>("journal"); // the mode the document finds the logbook in
    QTest::addColumn<Reader>("reader");
    QTest::addColumn<Step>("step");
    QTest::addColumn<QStringList>("told");
    QTest::addColumn<int>("stored");
    const QString imported = QStringLiteral("%1 Qso Records added");
    QTest::newRow("rollback journal, reader let go soon, add")
        << QByteArray("delete") << Reader::LetGoSoon << Step::Add << QStringList() << 1;
    QTest::newRow("rollback journal, reader held, add")
        << QByteArray("delete") << Reader::HeldPastTheTimeout << Step::Add << QStringList{kInUse} << 0;
    QTest::newRow("rollback journal, reader held, rebuild")
        << QByteArray("delete") << Reader::HeldPastTheTimeout << Step::Rebuild << QStringList{kInUse} << 0;
    QTest::newRow("rollback journal, reader held, import")
        << QByteArray("delete") << Reader::HeldPastTheTimeout << Step::Import << QStringList{kInUse, imported.arg(0)}
        << 0;
    QTest::newRow("WAL, reader held, add") << QByteArray("wal") << Reader::HeldPastTheTimeout << Step::Add
                                           << QStringList() << 1;
    QTest::newRow("WAL, reader held, import") << QByteArray("wal") << Reader::HeldPastTheTimeout << Step::Import
                                              << QStringList{imported.arg(kLargeImport)} << kLargeImport;
}

// Another program reading the logbook (a report, a backup, the sqlite3 shell inside a
// BEGIN) makes a write wait at most the busy timeout, and then it says why it failed;
// in WAL mode, which the document puts its logbook in when it opens it, a reader makes
// no write wait at all. A reader that had the logbook open before the document keeps
// it in the rollback journal.
void TestDocument::readersHoldNoWriteBeyondTheTimeout()
{
    QFETCH(QByteArray, journal);
    QFETCH(Reader, reader);
    QFETCH(Step, step);
    QFETCH(QStringList, told);
    QFETCH(int, stored);
    TestDir dir;
    ScriptedPrompter prompter;
    PrompterGuard install(prompter);
    QVERIFY(ProgramDatabaseBuilder::build(QStringLiteral("korva3.sqlite3")));
    const QString path = dir.filePath("log.sqlite3");
    QVERIFY(Sqlite3DB().CreateLogbook(path));
    QVERIFY(TestDir::writeFile(QStringLiteral("in.adi"), largeImport()));

    std::unique_ptr<HeldLock> lock;
    if (journal == "delete")
        lock = std::make_unique<HeldLock>(path, HeldLock::Kind::Read);
    CKorva3Doc doc(path);
    if (!lock)
        lock = std::make_unique<HeldLock>(path, HeldLock::Kind::Read);
    QVERIFY(lock->isHeld());
    QCOMPARE(LogbookJournal::mode(path), journal);
    lock->releaseLater(reader == Reader::LetGoSoon ? kLetGoSoonMs : kHeldPastTheTimeoutMs);
    switch (step) {
    case Step::Add: doc.AddQso(qso("2026-12-06", "DL1ABC", 230, 1)); break;
    case Step::Rebuild: doc.OnRebuildDxccStat(); break;
    case Step::Import: doc.ImportAdifFile(QStringLiteral("in.adi")); break;
    }
    QCOMPARE(lock->isHeld(), reader == Reader::HeldPastTheTimeout); // the write did not wait for the reader
    lock.reset();
    QCOMPARE(prompter.texts(), told);
    QCOMPARE(SqlHelpers::count(path, "QSOS"), stored);
}

// A logbook made before the read indexes gets them from the first document that opens
// it; one that cannot take them (read-only here) is read as before.
void TestDocument::olderLogbookGetsItsReadIndexesWhenOpened()
{
    TestDir dir;
    const QString path = dir.filePath("log.sqlite3");
    QVERIFY(Sqlite3DB().CreateLogbook(path));
    const QByteArray dropAll = "DROP INDEX IDX_QSOS_DATETIME; DROP INDEX IDX_QSOS_CALLNOCASE; "
                               "DROP INDEX IDX_QSOS_COUNTRY; DROP INDEX IDX_QSOS_CQZONE;";
    QVERIFY(SqlHelpers::exec(path, dropAll + "INSERT INTO QSOS (DATE, TIME, CALL, SENT, RCVD, FREQ, BAND, MODE, POWER, "
                                              "GRID, QSLSENT, QSLRCVD, CQZONE, NAME, QTH, ADDRESS1, ADDRESS2, REMARKS, "
                                              "QSLMGR, IOTA, COUNTRY) VALUES ('2026-12-01', '10:00:00', 'dl1abc', '599', "
                                              "'599', '14.025', '20', 1, '', '', 2, 2, '14', '', '', '', '', '', '', '', 230)"));
    const QByteArray indexes = "SELECT name FROM sqlite_master WHERE name LIKE 'IDX_QSOS_%' ORDER BY name";

    QVERIFY(SqlHelpers::setReadOnly(path, true));
    {
        CKorva3Doc readOnly(path);
        QCOMPARE(SqlHelpers::rows(path, indexes), QByteArray("IDX_QSOS_CALL"));
        QCOMPARE(readOnly.FindQsosByCall(QStringLiteral("DL1")).size(), 1);
        QCOMPARE(readOnly.ReadCqZoneGrid().marks[4][13], 'C');
    }
    QVERIFY(SqlHelpers::setReadOnly(path, false));
    CKorva3Doc doc(path);
    QCOMPARE(SqlHelpers::rows(path, indexes),
             QByteArray("IDX_QSOS_CALL\nIDX_QSOS_CALLNOCASE\nIDX_QSOS_COUNTRY\nIDX_QSOS_CQZONE\nIDX_QSOS_DATETIME"));
    QCOMPARE(doc.FindQsosByCall(QStringLiteral("DL1")).size(), 1);
    QCOMPARE(doc.ReadCqZoneGrid().marks[4][13], 'C');
}

void TestDocument::committedWritesAreAnnounced_data()
{
    QTest::addColumn<Write>("write");
    QTest::addColumn<QString>("announced");
    QTest::newRow("add") << Write::Add << "added 3|statistics 227";
    QTest::newRow("change band") << Write::ChangeBand << "changed 1|statistics 230";
    QTest::newRow("delete") << Write::Delete << "deleted 1|statistics 0";
    QTest::newRow("one record in memory") << Write::AddRecord << "imported 1|statistics 0";
    QTest::newRow("rebuild") << Write::Rebuild << "statistics 0";
}

// After each committed write, and only then, its signals; a failed write says nothing.
void TestDocument::committedWritesAreAnnounced()
{
    QFETCH(Write, write);
    QFETCH(QString, announced);
    TestDir dir;
    CKorva3Doc doc(dir.filePath("log.sqlite3"));
    QVERIFY(Sqlite3DB().CreateLogbook(doc.pathName()));
    QVERIFY(doc.AddQso(qso("2026-12-06", "DL1ABC", 230, 1)) == 1);
    QVERIFY(doc.AddQso(qso("2026-12-06", "G4ABC", 223, 2)) == 2);
    SignalLog log(doc);
    QVERIFY(runWrite(doc, write));
    QCOMPARE(log.take(), announced);
    QVERIFY(doc.changedSinceBackup());

    for (const char *table : {"QSOS", "DXCCREPORT"}) {
        for (const char *change : {"INSERT", "UPDATE", "DELETE"})
            QVERIFY(SqlHelpers::exec(doc.pathName(), QByteArray("CREATE TRIGGER NO") + change + table + " BEFORE "
                                                         + change + " ON " + table
                                                         + " BEGIN SELECT RAISE(ABORT, 'no'); END"));
    }
    runWrite(doc, write);
    QCOMPARE(log.take(), QString());
}

// Another program's write is seen within the polling interval; this document's own are
// not taken for one.
void TestDocument::writesOfAnotherProgramAreNoticed()
{
    TestDir dir;
    CKorva3Doc doc(dir.filePath("log.sqlite3"));
    QVERIFY(Sqlite3DB().CreateLogbook(doc.pathName()));
    SignalLog log(doc);
    doc.watchForOutsideChanges(0); // a poll each time events are processed
    QVERIFY(doc.AddQso(qso("2026-12-06", "DL1ABC", 230, 1)) == 1);
    for (int poll = 0; poll < 10; ++poll)
        QCoreApplication::processEvents();
    QCOMPARE(log.take(), QStringLiteral("added 1|statistics 230"));
    QVERIFY(SqlHelpers::exec(doc.pathName(), "UPDATE QSOS SET NAME = 'Hans'"));
    QTRY_COMPARE_WITH_TIMEOUT(log.text(), QStringLiteral("outside"), 2000);
}

// A logbook made by the first statements (version 0) is copied whole beside itself, then
// brought to the current version; its QSOs read as before.
void TestDocument::olderLogbookIsMigratedAfterACopy()
{
    TestDir dir;
    const QString path = dir.filePath("old.sqlite3");
    QVERIFY(SqlHelpers::exec(path, QByteArray(Sqlite3DB::kCreateQsos) + ";" + Sqlite3DB::kCreateQsosIndex + ";"
                                       + Sqlite3DB::kCreateDxccReport));
    for (const char *call : {"DL1ABC", "G4ABC", "F5ABC"})
        QVERIFY(SqlHelpers::exec(path, QByteArray("INSERT INTO QSOS (DATE, TIME, CALL, SENT, RCVD, FREQ, BAND, MODE, "
                                                  "POWER, GRID, QSLSENT, QSLRCVD, CQZONE, NAME, QTH, ADDRESS1, "
                                                  "ADDRESS2, REMARKS, QSLMGR, IOTA, COUNTRY) VALUES ('2026-12-01', "
                                                  "'10:00:00', '")
                                           + call + "', '599', '599', '14.025', '20', 1, '', '', 2, 1, '', '', '', "
                                                    "'', '', '', '', '', 0)"));
    CKorva3Doc doc(path);
    QCOMPARE(doc.openState(), CKorva3Doc::OpenState::Ready);
    QCOMPARE(SqlHelpers::rows(path, "PRAGMA user_version"), QByteArray::number(Sqlite3DB::Schema().currentVersion()));
    QCOMPARE(SqlHelpers::rows(path, "SELECT COUNT(*) FROM sqlite_master WHERE name = 'QSOFIELDS'"), QByteArray("1"));
    const QString copy = path + ".v0.bak";
    QCOMPARE(SqlHelpers::rows(copy, "PRAGMA user_version"), QByteArray("0"));
    QCOMPARE(SqlHelpers::rows(copy, "SELECT CALL FROM QSOS ORDER BY ID"), QByteArray("DL1ABC\nG4ABC\nF5ABC"));
    QCOMPARE(SqlHelpers::rows(copy, "PRAGMA integrity_check"), QByteArray("ok"));
    QCOMPARE(doc.LoadLatestQsos(30).size(), 3);
}

// A logbook of a newer program is read, and every write is refused with the reason.
void TestDocument::newerLogbookIsOnlyRead()
{
    TestDir dir;
    ScriptedPrompter prompter;
    PrompterGuard guard(prompter);
    const QString path = dir.filePath("future.sqlite3");
    QVERIFY(Sqlite3DB().CreateLogbook(path));
    {
        CKorva3Doc current(path);
        QCOMPARE(current.AddQso(qso("2026-12-06", "DL1ABC", 230, 1)), 1);
    }
    QVERIFY(SqlHelpers::exec(path, "PRAGMA user_version = 999"));
    const QByteArray before = SqlHelpers::rows(path, "SELECT * FROM QSOS");
    CKorva3Doc doc(path);
    QCOMPARE(doc.openState(), CKorva3Doc::OpenState::ReadOnly);
    const QString message = QStringLiteral("The logbook future.sqlite3 has schema version 999, newer than this Korva3 "
                                           "knows (%1). It is opened read-only: nothing can be added or changed.")
                                .arg(Sqlite3DB::Schema().currentVersion());
    QCOMPARE(doc.openMessage(), message);
    QCOMPARE(doc.FindQsosByCall(QStringLiteral("DL")).size(), 1);
    QCOMPARE(doc.AddQso(qso("2026-12-07", "G4ABC", 223, 1)), 0);
    QVERIFY(!doc.DeleteQso(1));
    QVERIFY(!doc.OnRebuildDxccStat());
    QCOMPARE(doc.AddAdifRecord("<CALL:4>K1AB<QSO_DATE:8>20261207<EOR>").added, 0);
    QCOMPARE(prompter.texts(), QStringList({message, message, message}));
    QCOMPARE(SqlHelpers::rows(path, "SELECT * FROM QSOS"), before);
    QVERIFY(!QFile::exists(path + ".v999.bak"));
}

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
