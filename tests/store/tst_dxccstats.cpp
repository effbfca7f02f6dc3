#include "common/QsoBuilder.h"
#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "loggen/LogbookGenerator.h"
#include "store/SlotConnection.h"
#include "store/Sqlite3DB.h"
#include "store/SqliteTransaction.h"

#include <QtTest>

using Record = Sqlite3DB::UM_RECORD;

namespace {

Record qso(int country, const QString &band, int mode, int qslRcvd, const QString &zone = QString())
{
    static int minute = 0;
    return QsoBuilder()
        .date(QStringLiteral("2026-01-01"))
        .time(QTime(0, 0).addSecs(60 * (minute++ % 1440)).toString(QStringLiteral("HH:mm:ss")))
        .call(QStringLiteral("QX1AA"))
        .band(band)
        .mode(mode)
        .qslRcvd(qslRcvd)
        .cqZone(zone)
        .country(country);
}

QString gridRow(const CqZoneGrid &grid, int row)
{
    return QString::fromLatin1(grid.marks[row], CqZoneGrid::kZones);
}

QString pair(const DxccTotals::Pair &p)
{
    return QStringLiteral("%1/%2").arg(p.worked).arg(p.confirmed);
}

const char kStatsRows[] = "SELECT DXCC, BAND, MODE, COUNTW, COUNTC FROM DXCCREPORT ORDER BY ROWID";

} // namespace

class TestDxccStats : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void incrementalUpdatesKeepOneRowPerCombination();
    void bandsOfAnEntityComeFromItsRowsOfOneMode();
    void rebuildGivesTheCountsOfTheGroupingStatement();
    void rebuildOrdersRowsByEachCombinationsLastQso();
    void rebuildOfUnresolvedQsosOnlyLeavesTheTableEmpty();
    void failedRebuildKeepsThePreviousTable();
    void bandIndexKnowsOnlyTheReportBands();
    void reportsOfAnEmptyLogbook();
    void totalsCountEntitiesPerCellBandModeAndMixed();
    void totalsTestWorkedAndConfirmedApart();
    void totalsOfAFileWithoutStatisticsFailAndKeepTheRecord();
    void zoneGridMarksWorkedAndConfirmedPerBand();
    void zoneGridSkipsWhatHasNoCell();
    void reportsOfAGeneratedLogbookAgreeWithTheGroupingStatements();

private:
    void add(const QList<Record> &records);

    Sqlite3DB m_db;
    TestDir *m_dir = nullptr;
    QString m_log;
};

void TestDxccStats::init()
{
    m_dir = new TestDir;
    m_log = m_dir->filePath(QStringLiteral("log.sqlite3"));
    QVERIFY(m_db.CreateLogbook(m_log));
}

void TestDxccStats::cleanup()
{
    delete m_dir;
    m_dir = nullptr;
}

void TestDxccStats::add(const QList<Record> &records)
{
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, m_log);
    QVERIFY(m_db.InsertQsoBatch(records, db.handle()));
}

void TestDxccStats::incrementalUpdatesKeepOneRowPerCombination()
{
    m_db.AddToDxccStats(230, QStringLiteral("20"), 1, 1, m_log);
    m_db.AddToDxccStats(230, QStringLiteral("20"), 1, 2, m_log);
    m_db.AddToDxccStats(230, QStringLiteral("40"), 1, 2, m_log);
    QCOMPARE(SqlHelpers::rows(m_log, kStatsRows), QByteArray("230|20|1|2|1\n230|40|1|1|1"));

    // Taking out a QSO that was never counted leaves a negative row, not nothing.
    m_db.RemoveFromDxccStats(281, QStringLiteral("20"), 2, 2, m_log);
    m_db.RemoveFromDxccStats(230, QStringLiteral("40"), 1, 2, m_log);
    QCOMPARE(SqlHelpers::rows(m_log, kStatsRows),
             QByteArray("230|20|1|2|1\n230|40|1|0|0\n281|20|2|-1|-1"));
    DxccTotals totals;
    QVERIFY(m_db.GetDxccTotals(totals, m_log));
    QCOMPARE(pair(totals.mixed), QStringLiteral("1/1")); // neither the 0 nor the -1 row counts
    QCOMPARE(pair(totals.cells[2][DxccTotals::kCw]), QStringLiteral("0/0"));
}

void TestDxccStats::bandsOfAnEntityComeFromItsRowsOfOneMode()
{
    m_db.AddToDxccStats(230, QStringLiteral("20"), 1, 2, m_log);
    m_db.AddToDxccStats(230, QStringLiteral("80"), 1, 1, m_log);
    m_db.AddToDxccStats(230, QStringLiteral("20"), 2, 1, m_log);
    m_db.AddToDxccStats(281, QStringLiteral("20"), 1, 1, m_log);
    m_db.AddToDxccStats(230, QStringLiteral("40"), 4, 1, m_log); // FM has no grid line
    std::array<QList<Sqlite3DB::UM_DXCCREPORT>, 3> grid;
    grid[2] = {{QStringLiteral("stale"), 9, 9}};
    QVERIFY(m_db.QueryDxccGrid(grid, 230, m_log));
    const QList<Sqlite3DB::UM_DXCCREPORT> &cw = grid[0];
    QCOMPARE(cw.size(), 2);
    QCOMPARE(cw[0].band, QStringLiteral("20"));
    QCOMPARE(cw[0].countW, 1);
    QCOMPARE(cw[0].countC, 1);
    QCOMPARE(cw[1].band, QStringLiteral("80"));
    QCOMPARE(cw[1].countC, 0);
    QCOMPARE(grid[1].size(), 1);
    QCOMPARE(grid[1][0].band, QStringLiteral("20"));
    QVERIFY(grid[2].isEmpty());
}

void TestDxccStats::rebuildGivesTheCountsOfTheGroupingStatement()
{
    QVERIFY(LogbookGenerator(11).writeLogbook(m_dir->filePath(QStringLiteral("random.sqlite3")), 5000));
    const QString random = m_dir->filePath(QStringLiteral("random.sqlite3"));
    m_db.AddToDxccStats(999, QStringLiteral("20"), 1, 1, random); // stale row, must go
    m_db.RebuildDxccStats(random);

    const QByteArray rebuilt = SqlHelpers::rows(
        random, "SELECT DXCC, BAND, MODE, COUNTW, COUNTC FROM DXCCREPORT ORDER BY DXCC, BAND, MODE");
    const QByteArray expected = SqlHelpers::rows(
        random, "SELECT COUNTRY, BAND, MODE, COUNT(*), SUM(QSLRCVD = 2) FROM QSOS WHERE COUNTRY != 0 "
                "GROUP BY COUNTRY, BAND, MODE ORDER BY COUNTRY, BAND, MODE");
    QVERIFY(expected.count('\n') > 300); // the random logbook spreads over many combinations
    QCOMPARE(rebuilt, expected);
}

void TestDxccStats::rebuildOrdersRowsByEachCombinationsLastQso()
{
    add({qso(230, "20", 1, 1), qso(281, "40", 2, 2), qso(230, "20", 1, 2), qso(0, "20", 1, 2),
         qso(291, "6m", 1, 1), qso(291, "6M", 1, 2), qso(281, "40", 2, 1), qso(230, "60", 5, 1)});
    m_db.RebuildDxccStats(m_log);
    QCOMPARE(SqlHelpers::rows(m_log, kStatsRows),
             QByteArray("230|20|1|2|1\n291|6m|1|1|0\n291|6M|1|1|1\n281|40|2|2|1\n230|60|5|1|0"));
    // Row ids follow that order.
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT GROUP_CONCAT(DXCC) FROM (SELECT DXCC FROM DXCCREPORT ORDER BY ID)"),
             QByteArray("230,291,291,281,230"));
}

void TestDxccStats::rebuildOfUnresolvedQsosOnlyLeavesTheTableEmpty()
{
    m_db.AddToDxccStats(230, QStringLiteral("20"), 1, 1, m_log);
    add({qso(0, "20", 1, 2), qso(0, "40", 2, 1)});
    m_db.RebuildDxccStats(m_log);
    QCOMPARE(SqlHelpers::count(m_log, "DXCCREPORT"), 0);
}

void TestDxccStats::failedRebuildKeepsThePreviousTable()
{
    add({qso(230, "20", 1, 1), qso(281, "40", 2, 2)});
    m_db.AddToDxccStats(230, QStringLiteral("20"), 1, 1, m_log);
    QVERIFY(SqlHelpers::exec(m_log, "CREATE TRIGGER REFUSE BEFORE INSERT ON DXCCREPORT "
                                    "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    QVERIFY(!m_db.RebuildDxccStats(m_log));
    QCOMPARE(SqlHelpers::rows(m_log, kStatsRows), QByteArray("230|20|1|1|0"));

    // A delete that fails stops the rebuild before anything is written.
    QVERIFY(SqlHelpers::exec(m_log, "DROP TRIGGER REFUSE; CREATE TRIGGER REFUSE BEFORE DELETE ON DXCCREPORT "
                                    "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    QVERIFY(!m_db.RebuildDxccStats(m_log));
    QCOMPARE(SqlHelpers::rows(m_log, kStatsRows), QByteArray("230|20|1|1|0"));

    // A logbook whose QSOS cannot be read keeps its statistics too.
    QVERIFY(SqlHelpers::exec(m_log, "DROP TRIGGER REFUSE; DROP TABLE QSOS"));
    QVERIFY(!m_db.RebuildDxccStats(m_log));
    QCOMPARE(SqlHelpers::rows(m_log, kStatsRows), QByteArray("230|20|1|1|0"));
}

void TestDxccStats::bandIndexKnowsOnlyTheReportBands()
{
    const QList<QByteArray> bands{"160", "80", "40", "30", "20", "17", "15", "12", "10", "6", "2"};
    for (int row = 0; row < bands.size(); ++row)
        QCOMPARE(Sqlite3DB::BandIndex(bands[row]), row);
    for (const char *other : {"60", "70", "23", "", "20m", " 20", "1600"})
        QCOMPARE(Sqlite3DB::BandIndex(other), -1);
}

void TestDxccStats::reportsOfAnEmptyLogbook()
{
    DxccTotals totals;
    totals.totalQsos = 99;
    totals.mixed = {5, 5};
    QVERIFY(m_db.GetDxccTotals(totals, m_log));
    QCOMPARE(totals.totalQsos, 0);
    QCOMPARE(pair(totals.mixed), QStringLiteral("0/0"));
    for (int band = 0; band < ReportBands::kCount; ++band) {
        for (int column = 0; column < 4; ++column)
            QCOMPARE(pair(totals.cells[band][column]), QStringLiteral("0/0"));
    }
    CqZoneGrid grid;
    QCOMPARE(grid.marks[0][0], '\0');
    QVERIFY(m_db.GetCqZoneGrid(grid, m_log));
    for (int band = 0; band < ReportBands::kCount; ++band)
        QCOMPARE(gridRow(grid, band), QString(40, QLatin1Char(' ')));
}

void TestDxccStats::totalsCountEntitiesPerCellBandModeAndMixed()
{
    add({qso(230, "20", 1, 2), qso(230, "20", 1, 1), qso(230, "20", 2, 1), qso(281, "20", 3, 1),
         qso(281, "160", 1, 2), qso(291, "20", 4, 2), qso(291, "60", 1, 2), qso(0, "20", 1, 2),
         qso(263, "2", 2, 1)});
    m_db.RebuildDxccStats(m_log);
    // Rows no QSO made: a negative entity and a report band in a mode outside the report.
    m_db.AddToDxccStats(-5, QStringLiteral("20"), 1, 2, m_log);
    DxccTotals totals;
    QVERIFY(m_db.GetDxccTotals(totals, m_log));

    QCOMPARE(totals.totalQsos, 9);
    const int b20 = 4;
    QCOMPARE(pair(totals.cells[b20][DxccTotals::kCw]), QStringLiteral("1/1"));
    QCOMPARE(pair(totals.cells[b20][DxccTotals::kSsb]), QStringLiteral("1/0"));
    QCOMPARE(pair(totals.cells[b20][DxccTotals::kRtty]), QStringLiteral("1/0"));
    QCOMPARE(pair(totals.cells[b20][DxccTotals::kBandTotal]), QStringLiteral("2/1"));
    QCOMPARE(pair(totals.cells[0][DxccTotals::kCw]), QStringLiteral("1/1"));
    QCOMPARE(pair(totals.cells[0][DxccTotals::kBandTotal]), QStringLiteral("1/1"));
    QCOMPARE(pair(totals.cells[10][DxccTotals::kSsb]), QStringLiteral("1/0"));
    QCOMPARE(pair(totals.modeTotals[DxccTotals::kCw]), QStringLiteral("2/2"));
    QCOMPARE(pair(totals.modeTotals[DxccTotals::kSsb]), QStringLiteral("2/0"));
    QCOMPARE(pair(totals.modeTotals[DxccTotals::kRtty]), QStringLiteral("1/0"));
    QCOMPARE(pair(totals.mixed), QStringLiteral("3/2"));
    QCOMPARE(pair(totals.cells[2][DxccTotals::kBandTotal]), QStringLiteral("0/0"));
}

void TestDxccStats::totalsTestWorkedAndConfirmedApart()
{
    // Rows whose worked count sums to 0 but whose confirmed count does not.
    QVERIFY(SqlHelpers::exec(m_log, "INSERT INTO DXCCREPORT (DXCC, BAND, MODE, COUNTW, COUNTC) VALUES "
                                    "(230,'20',1,1,0),(230,'20',1,-1,1),(281,'40',2,2,0),(281,'40',2,1,0)"));
    DxccTotals totals;
    QVERIFY(m_db.GetDxccTotals(totals, m_log));
    QCOMPARE(pair(totals.cells[4][DxccTotals::kCw]), QStringLiteral("0/1"));
    QCOMPARE(pair(totals.cells[2][DxccTotals::kSsb]), QStringLiteral("1/0"));
    QCOMPARE(pair(totals.mixed), QStringLiteral("1/1"));
}

void TestDxccStats::totalsOfAFileWithoutStatisticsFailAndKeepTheRecord()
{
    QVERIFY(SqlHelpers::exec(m_log, "DROP TABLE DXCCREPORT"));
    DxccTotals totals;
    totals.totalQsos = 42;
    totals.cells[3][1] = {7, 3};
    QVERIFY(!m_db.GetDxccTotals(totals, m_log));
    QCOMPARE(totals.totalQsos, 42);
    QCOMPARE(pair(totals.cells[3][1]), QStringLiteral("7/3"));

    CqZoneGrid grid;
    grid.marks[0][0] = 'W';
    QVERIFY(SqlHelpers::exec(m_log, "DROP TABLE QSOS"));
    QVERIFY(!m_db.GetCqZoneGrid(grid, m_log));
    QCOMPARE(grid.marks[0][0], 'W');
    QCOMPARE(grid.marks[0][1], '\0');
}

void TestDxccStats::zoneGridMarksWorkedAndConfirmedPerBand()
{
    add({qso(230, "20", 2, 1, "14"), qso(230, "160", 1, 1, "40"), qso(281, "40", 3, 1, "5"),
         qso(281, "20", 1, 2, "5")});
    CqZoneGrid grid;
    QVERIFY(m_db.GetCqZoneGrid(grid, m_log));
    QString row20(40, QLatin1Char(' '));
    row20[13] = QLatin1Char('W');
    row20[4] = QLatin1Char('C');
    QCOMPARE(gridRow(grid, 4), row20);
    QCOMPARE(gridRow(grid, 0), QString(39, QLatin1Char(' ')) + QLatin1Char('W'));
    QCOMPARE(gridRow(grid, 2), QStringLiteral("    W") + QString(35, QLatin1Char(' ')));

    // A second QSO in the same zone and band with the card received confirms it.
    add({qso(230, "20", 1, 2, "14")});
    QVERIFY(m_db.GetCqZoneGrid(grid, m_log));
    row20[13] = QLatin1Char('C');
    QCOMPARE(gridRow(grid, 4), row20);
}

void TestDxccStats::zoneGridSkipsWhatHasNoCell()
{
    add({qso(230, "20", 4, 2, "14"), qso(230, "20", 5, 1, "15"), qso(230, "60", 1, 1, "16"),
         qso(230, "20", 1, 1, ""), qso(230, "20", 1, 1, "0"), qso(230, "20", 1, 1, "abc"),
         qso(230, "20", 1, 1, "41"), qso(230, "20", 1, 1, "-3"), qso(230, "20m", 1, 1, "3"),
         qso(230, "20", 1, 1, "7abc")});
    // Read through the zone index, then as a logbook that has none reads.
    for (const bool indexed : {true, false}) {
        if (!indexed)
            QVERIFY(SqlHelpers::exec(m_log, "DROP INDEX IDX_QSOS_CQZONE"));
        CqZoneGrid grid;
        QVERIFY(m_db.GetCqZoneGrid(grid, m_log));
        // Only the text starting with a number counts, as its number.
        QCOMPARE(gridRow(grid, 4), QStringLiteral("      W") + QString(33, QLatin1Char(' ')));
        for (int band = 0; band < ReportBands::kCount; ++band) {
            if (band != 4)
                QCOMPARE(gridRow(grid, band), QString(40, QLatin1Char(' ')));
        }
    }
}

// The report reads against statements that compute the same figures in SQLite alone,
// and the zone marks with and without the index they normally come from.
void TestDxccStats::reportsOfAGeneratedLogbookAgreeWithTheGroupingStatements()
{
    const QString random = m_dir->filePath(QStringLiteral("random.sqlite3"));
    QVERIFY(LogbookGenerator(17).writeLogbook(random, 4000));
    QVERIFY(m_db.RebuildDxccStats(random));
    DxccTotals totals;
    QVERIFY(m_db.GetDxccTotals(totals, random));

    const QByteArray inReport = "MODE IN (1,2,3) AND BAND IN ('160','80','40','30','20','17','15','12','10','6','2')";
    const auto entities = [&](const QByteArray &groups, const QByteArray &where) {
        return SqlHelpers::rows(random, "SELECT COUNT(*), COALESCE(SUM(C > 0), 0) FROM (SELECT SUM(COUNTW) AS W, "
                                        "SUM(COUNTC) AS C FROM DXCCREPORT WHERE DXCC > 0 AND " + inReport + where
                                            + " GROUP BY DXCC" + groups + ") WHERE W > 0");
    };
    const auto counted = [](const DxccTotals::Pair &p) { return QByteArray::number(p.worked) + '|' + QByteArray::number(p.confirmed); };
    for (int band = 0; band < ReportBands::kCount; ++band) {
        const QByteArray onBand = " AND BAND = '" + QByteArray(ReportBands::kBands[band]) + "'";
        QCOMPARE(counted(totals.cells[band][DxccTotals::kBandTotal]), entities(", BAND", onBand));
        for (int mode = 0; mode < DxccTotals::kModes; ++mode)
            QCOMPARE(counted(totals.cells[band][mode]), entities(", BAND, MODE", onBand + " AND MODE = " + QByteArray::number(mode + 1)));
    }
    for (int mode = 0; mode < DxccTotals::kModes; ++mode)
        QCOMPARE(counted(totals.modeTotals[mode]), entities(", MODE", " AND MODE = " + QByteArray::number(mode + 1)));
    QCOMPARE(counted(totals.mixed), entities("", ""));
    QCOMPARE(totals.totalQsos, 4000);

    CqZoneGrid indexed;
    QVERIFY(m_db.GetCqZoneGrid(indexed, random));
    QVERIFY(SqlHelpers::exec(random, "DROP INDEX IDX_QSOS_CQZONE"));
    CqZoneGrid scanned;
    QVERIFY(m_db.GetCqZoneGrid(scanned, random));
    int marked = 0;
    for (int band = 0; band < ReportBands::kCount; ++band) {
        QCOMPARE(gridRow(indexed, band), gridRow(scanned, band));
        marked += static_cast<int>(gridRow(indexed, band).count(QLatin1Char('C')));
    }
    QVERIFY(marked > 40);
}

QTEST_GUILESS_MAIN(TestDxccStats)
#include "tst_dxccstats.moc"
