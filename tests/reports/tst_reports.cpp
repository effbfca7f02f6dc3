#include "common/QsoBuilder.h"
#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "document/CKorva3Doc.h"
#include "reports/CCqzoneReport.h"
#include "reports/CDxccReport.h"
#include "store/Sqlite3DB.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

#include <algorithm>
#include <functional>

using Record = Sqlite3DB::UM_RECORD;

namespace {

constexpr int k20m = 4;
constexpr int k40m = 2;
constexpr int k160m = 0;

// Every one of the 49 value fields, by control number.
QList<int> allFieldIds()
{
    QList<int> ids{CDxccReport::kTotalQsosId, CDxccReport::kMixedId};
    for (int id : CDxccReport::kModeTotalIds)
        ids.append(id);
    for (const auto &band : CDxccReport::kCellIds)
        for (int id : band)
            ids.append(id);
    return ids;
}

QHash<int, QString> fieldTexts(const CDxccReport &report)
{
    QHash<int, QString> texts;
    for (int id : allFieldIds())
        texts.insert(id, report.fieldText(id));
    return texts;
}

// What the fields show when nothing counts: 0/0 in every pair and 0 QSOs.
QHash<int, QString> zeroTexts()
{
    QHash<int, QString> texts;
    for (int id : allFieldIds())
        texts.insert(id, QStringLiteral("0/0"));
    texts.insert(CDxccReport::kTotalQsosId, QStringLiteral("0"));
    return texts;
}

// A row text from 40 marks: the marks joined by tabs.
QString tabbed(const QString &marks)
{
    QStringList parts;
    for (QChar mark : marks)
        parts.append(mark);
    return parts.join(QLatin1Char('\t'));
}

QString blankRow()
{
    return tabbed(QString(40, QLatin1Char(' ')));
}

QString rowWith(const QList<QPair<int, char>> &marks)
{
    QString row(40, QLatin1Char(' '));
    for (const auto &mark : marks)
        row[mark.first - 1] = QLatin1Char(mark.second);
    return tabbed(row);
}

QStringList rowTexts(const CCqzoneReport &report)
{
    QStringList rows;
    for (int r = 0; r < ReportBands::kCount; ++r)
        rows.append(report.rowText(r));
    return rows;
}

// Pixels in the rectangle painted in (a shade of) the rows' dark blue.
int bluePixels(const QImage &image, const QRect &rect)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > c.red() + 60 && c.blue() > c.green() + 60)
                ++count;
        }
    }
    return count;
}

// The horizontal centres of `groups` marks painted in `rect`, left to right: the pixel
// columns holding ink, taken apart at the widest gaps between them (a number of two
// digits has a narrow gap of its own). Empty when fewer marks are found.
QList<double> inkCentres(const QImage &image, const QRect &rect, const std::function<bool(QColor)> &isInk,
                         int groups)
{
    QList<int> inked;
    for (int x = rect.left(); x <= rect.right(); ++x) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            if (isInk(image.pixelColor(x, y))) {
                inked.append(x);
                break;
            }
        }
    }
    QList<int> gaps; // positions in `inked` after which a gap follows
    for (int i = 0; i + 1 < inked.size(); ++i) {
        if (inked.at(i + 1) > inked.at(i) + 1)
            gaps.append(i);
    }
    if (gaps.size() < groups - 1)
        return {};
    std::stable_sort(gaps.begin(), gaps.end(), [&](int a, int b) {
        return inked.at(a + 1) - inked.at(a) > inked.at(b + 1) - inked.at(b);
    });
    QList<int> cuts = gaps.mid(0, groups - 1);
    std::sort(cuts.begin(), cuts.end());
    cuts.append(static_cast<int>(inked.size()) - 1);
    QList<double> centres;
    int first = 0;
    for (int cut : cuts) {
        centres.append((inked.at(first) + inked.at(cut)) / 2.0);
        first = cut + 1;
    }
    return centres;
}

} // namespace

class TestReports : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dxccReportOfAnEmptyLogbookShowsZeros();
    void dxccReportCountsEntitiesPerCellAndTotal();
    void dxccReportCountsConfirmedWithoutWorked();
    void dxccReportReadsAtEachOpeningAndKeepsTotalsOnFailure();
    void reportsWithoutDocumentAreEmpty();
    void dxccReportTexts();

    void cqZoneReportOfAnEmptyLogbookShowsBlankRows();
    void cqZoneReportTurnsWorkedIntoConfirmed();
    void cqZoneReportIgnoresWhatHasNoCell();
    void cqZoneReportConfirmsPerBand();
    void cqZoneReportKeepsTheEarlierGridWhenTheStoreFails();
    void cqZoneReportPaintsTheRowsInDarkBlue();
    void cqZoneMarksStandUnderTheirZoneNumbers_data();
    void cqZoneMarksStandUnderTheirZoneNumbers();

private:
    // Adds a QSO and counts it in the statistics, as the entry form does.
    void addQso(int country, const QString &band, int mode, int qslRcvd, const QString &zone = QString());

    TestDir *m_dir = nullptr;
    QString m_log;
    CKorva3Doc *m_doc = nullptr;
    int m_minute = 0;
};

void TestReports::init()
{
    m_dir = new TestDir;
    QVERIFY(m_dir->isValid());
    m_log = m_dir->filePath("log.sqlite3");
    Sqlite3DB db;
    QVERIFY(db.CreateLogbook(m_log));
    m_doc = new CKorva3Doc(m_log);
    m_minute = 0;
}

void TestReports::cleanup()
{
    delete m_doc;
    m_doc = nullptr;
    delete m_dir;
    m_dir = nullptr;
}

void TestReports::addQso(int country, const QString &band, int mode, int qslRcvd, const QString &zone)
{
    const Record r = QsoBuilder()
                         .date(QStringLiteral("2024-03-15"))
                         .time(QTime(10, 0).addSecs(60 * m_minute++).toString(QStringLiteral("HH:mm:ss")))
                         .call(QStringLiteral("DL1ABC"))
                         .band(band)
                         .mode(mode)
                         .qslRcvd(qslRcvd)
                         .cqZone(zone)
                         .country(country);
    QVERIFY(m_doc->AddQso(r) > 0); // counted in the statistics as well
}

// --- DXCC report --------------------------------------------------------------------

void TestReports::dxccReportOfAnEmptyLogbookShowsZeros()
{
    CDxccReport report(nullptr, m_doc);
    QCOMPARE(fieldTexts(report), zeroTexts());
}

void TestReports::dxccReportCountsEntitiesPerCellAndTotal()
{
    // Germany on 20 m in CW (twice) and SSB, one of them confirmed.
    addQso(230, "20", 1, 1);
    addQso(230, "20", 1, 2);
    addQso(230, "20", 2, 1);
    // Off the report: FM, AM, 60 m, 70 cm, and a call of no entity.
    addQso(230, "20", 4, 2);
    addQso(281, "40", 5, 2);
    addQso(291, "60", 1, 2);
    addQso(291, "70", 2, 1);
    addQso(0, "40", 1, 2);
    // Spain worked on 40 m RTTY.
    addQso(281, "40", 3, 1);

    CDxccReport report(nullptr, m_doc);
    QHash<int, QString> expected = zeroTexts();
    expected[CDxccReport::kTotalQsosId] = "9";
    expected[CDxccReport::kCellIds[k20m][0]] = "1/1";
    expected[CDxccReport::kCellIds[k20m][1]] = "1/0";
    expected[CDxccReport::kCellIds[k20m][3]] = "1/1";
    expected[CDxccReport::kCellIds[k40m][2]] = "1/0";
    expected[CDxccReport::kCellIds[k40m][3]] = "1/0";
    expected[CDxccReport::kModeTotalIds[0]] = "1/1";
    expected[CDxccReport::kModeTotalIds[1]] = "1/0";
    expected[CDxccReport::kModeTotalIds[2]] = "1/0";
    expected[CDxccReport::kMixedId] = "2/1";
    QCOMPARE(fieldTexts(report), expected);
}

void TestReports::dxccReportCountsConfirmedWithoutWorked()
{
    // Rows an import and later changes can leave: worked summing to 0, confirmed above.
    QVERIFY(SqlHelpers::exec(m_log, "INSERT INTO DXCCREPORT (DXCC, BAND, MODE, COUNTW, COUNTC) VALUES "
                                    "(209, '160', 2, 1, 1), (209, '160', 2, -1, 0), (-5, '160', 2, 3, 3)"));
    CDxccReport report(nullptr, m_doc);
    QHash<int, QString> expected = zeroTexts();
    expected[CDxccReport::kCellIds[k160m][1]] = "0/1";
    expected[CDxccReport::kCellIds[k160m][3]] = "0/1";
    expected[CDxccReport::kModeTotalIds[1]] = "0/1";
    expected[CDxccReport::kMixedId] = "0/1";
    QCOMPARE(fieldTexts(report), expected);
}

void TestReports::dxccReportReadsAtEachOpeningAndKeepsTotalsOnFailure()
{
    addQso(230, "10", 1, 1);
    {
        CDxccReport first(nullptr, m_doc);
        QCOMPARE(first.fieldText(CDxccReport::kCellIds[8][0]), QStringLiteral("1/0"));
    }
    addQso(227, "10", 1, 2);
    {
        CDxccReport second(nullptr, m_doc);
        QCOMPARE(second.fieldText(CDxccReport::kCellIds[8][0]), QStringLiteral("2/1"));
    }
    addQso(227, "10", 2, 2);
    QVERIFY(SqlHelpers::exec(m_log, "DROP TABLE DXCCREPORT"));
    CDxccReport failed(nullptr, m_doc);
    QCOMPARE(failed.fieldText(CDxccReport::kCellIds[8][0]), QStringLiteral("2/1"));
    QCOMPARE(failed.fieldText(CDxccReport::kCellIds[8][1]), QStringLiteral("0/0"));
    QCOMPARE(failed.fieldText(CDxccReport::kTotalQsosId), QStringLiteral("2"));
}

void TestReports::reportsWithoutDocumentAreEmpty()
{
    CDxccReport dxcc(nullptr, nullptr);
    QCOMPARE(allFieldIds().size(), 49);
    QCOMPARE(dxcc.findChildren<QLineEdit *>().size(), 49);
    for (int id : allFieldIds())
        QCOMPARE(dxcc.fieldText(id), QString());
    CCqzoneReport zones(nullptr, nullptr);
    QCOMPARE(rowTexts(zones), QStringList(ReportBands::kCount, QString()));
}

void TestReports::dxccReportTexts()
{
    QWidget view;
    CDxccReport report(&view, m_doc);
    QCOMPARE(report.parentWidget(), &view);
    QCOMPARE(report.windowTitle(), QStringLiteral("Dxcc Report"));
    QCOMPARE(CCqzoneReport(&view, m_doc).windowTitle(), QStringLiteral("CQ zone Report"));
    QCOMPARE(report.fieldText(CDxccReport::kMixedId), QStringLiteral("0/0"));
    QStringList labels;
    for (const QLabel *label : report.findChildren<QLabel *>())
        labels.append(label->text());
    QCOMPARE(labels, QStringList({"CW\t\tSSB\t\tRTTY\t\tBand Totals", "160m", "80m", "40m", "30m", "20m", "17m",
                                  "15m", "12m", "10m", "6m", "2m", "Mode Totals", "Total Qso's",
                                  "Mixed Mode Totals", "DXCC Counties Worked/Confirmed by Band and Mode"}));
}

// --- CQ zone report -----------------------------------------------------------------

void TestReports::cqZoneReportOfAnEmptyLogbookShowsBlankRows()
{
    CCqzoneReport report(nullptr, m_doc);
    QCOMPARE(rowTexts(report), QStringList(ReportBands::kCount, blankRow()));
    QCOMPARE(report.rowText(0).count(QLatin1Char('\t')), 39);
}

void TestReports::cqZoneReportTurnsWorkedIntoConfirmed()
{
    addQso(291, "20", 2, 1, "14");
    {
        CCqzoneReport worked(nullptr, m_doc);
        QCOMPARE(worked.rowText(k20m), rowWith({{14, 'W'}}));
    }
    addQso(291, "20", 2, 2, "14");
    CCqzoneReport confirmed(nullptr, m_doc);
    QStringList expected(ReportBands::kCount, blankRow());
    expected[k20m] = rowWith({{14, 'C'}});
    QCOMPARE(rowTexts(confirmed), expected);
}

void TestReports::cqZoneReportIgnoresWhatHasNoCell()
{
    addQso(291, "20", 4, 2, "5");  // FM
    addQso(291, "20", 5, 2, "5");  // AM
    addQso(291, "60", 1, 2, "5");  // no report band
    addQso(291, "20", 1, 2, "");   // no zone
    addQso(291, "20", 1, 2, "0");
    addQso(291, "20", 1, 2, "EU"); // not a number
    addQso(291, "20", 1, 2, "41"); // no such zone
    addQso(291, "20", 1, 2, "-3");
    CCqzoneReport report(nullptr, m_doc);
    QCOMPARE(rowTexts(report), QStringList(ReportBands::kCount, blankRow()));
}

void TestReports::cqZoneReportConfirmsPerBand()
{
    addQso(291, "20", 1, 2, "5");
    addQso(291, "40", 3, 1, "5");
    addQso(291, "2", 2, 1, "1");
    addQso(291, "160", 1, 1, "40");
    CCqzoneReport report(nullptr, m_doc);
    QStringList expected(ReportBands::kCount, blankRow());
    expected[k160m] = rowWith({{40, 'W'}});
    expected[k20m] = rowWith({{5, 'C'}});
    expected[k40m] = rowWith({{5, 'W'}});
    expected[10] = rowWith({{1, 'W'}});
    QCOMPARE(rowTexts(report), expected);
}

void TestReports::cqZoneReportKeepsTheEarlierGridWhenTheStoreFails()
{
    // Before any successful read the document's grid is all zero bytes: blank rows.
    QVERIFY(SqlHelpers::exec(m_log, "ALTER TABLE QSOS RENAME TO OLDQSOS"));
    {
        CCqzoneReport never(nullptr, m_doc);
        QCOMPARE(rowTexts(never), QStringList(ReportBands::kCount, blankRow()));
    }
    QVERIFY(SqlHelpers::exec(m_log, "ALTER TABLE OLDQSOS RENAME TO QSOS"));
    addQso(291, "12", 1, 1, "33");
    {
        CCqzoneReport read(nullptr, m_doc);
        QCOMPARE(read.rowText(7), rowWith({{33, 'W'}}));
    }
    QVERIFY(SqlHelpers::exec(m_log, "ALTER TABLE QSOS RENAME TO OLDQSOS"));
    CCqzoneReport failed(nullptr, m_doc);
    QCOMPARE(failed.rowText(7), rowWith({{33, 'W'}}));
}

void TestReports::cqZoneReportPaintsTheRowsInDarkBlue()
{
    addQso(291, "20", 1, 2, "1");
    addQso(291, "20", 1, 1, "2");
    QWidget view;
    CCqzoneReport report(&view, m_doc);
    QCOMPARE(report.parentWidget(), &view);
    const QImage image = report.grab().toImage();
    QVERIFY(bluePixels(image, report.rowRect(k20m)) > 0);
    QCOMPARE(bluePixels(image, report.rowRect(k40m)), 0);
    // Both marks stand in the row's left part, within the first tab stops.
    const QRect row = report.rowRect(k20m);
    const QRect rest(row.left() + row.width() / 4, row.top(), row.width() - row.width() / 4, row.height());
    QCOMPARE(bluePixels(image, rest), 0);
}

void TestReports::cqZoneMarksStandUnderTheirZoneNumbers_data()
{
    QTest::addColumn<QFont>("font"); // the form's font, in which the zone numbers stand
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPointSize(7);
    QFont serif(QStringLiteral("DejaVu Serif"));
    serif.setPointSize(14);
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setPointSize(9);
    QFont large(QStringLiteral("DejaVu Sans"));
    large.setPixelSize(22);
    large.setBold(true);
    QTest::newRow("application font") << QApplication::font();
    QTest::newRow("small") << small;
    QTest::newRow("serif") << serif;
    QTest::newRow("fixed pitch") << mono;
    QTest::newRow("large bold") << large;
}

// Every zone marked on 20 m: the mark of zone N is centred under the number N.
void TestReports::cqZoneMarksStandUnderTheirZoneNumbers()
{
    QFETCH(QFont, font);
    for (int zone = 1; zone <= 40; ++zone)
        addQso(291, "20", 1, zone % 2 == 0 ? 2 : 1, QString::number(zone));
    CCqzoneReport report(nullptr, m_doc);
    report.setFont(font);
    report.show();
    QVERIFY(QTest::qWaitForWindowExposed(&report));
    QCOMPARE(report.rowText(k20m), tabbed(QStringLiteral("WCWCWCWCWCWCWCWCWCWCWCWCWCWCWCWCWCWCWCWC")));
    const QImage image = report.grab().toImage();
    const QList<double> numbers =
        inkCentres(image, report.headingRect(), [](QColor c) { return qGray(c.rgb()) < 128; }, 40);
    const QList<double> marks = inkCentres(
        image, report.rowRect(k20m), [](QColor c) { return c.blue() > c.red() + 60 && c.blue() > c.green() + 60; },
        40);
    QCOMPARE(numbers.size(), 40);
    QCOMPARE(marks.size(), 40);
    for (int zone = 1; zone <= 40; ++zone) {
        QVERIFY2(qAbs(marks.at(zone - 1) - numbers.at(zone - 1)) <= 3.0,
                 qPrintable(QStringLiteral("zone %1: mark at %2, number at %3")
                                .arg(zone)
                                .arg(marks.at(zone - 1))
                                .arg(numbers.at(zone - 1))));
    }
    // Both the numbers and the marks lie inside the report.
    QVERIFY(report.rect().contains(report.headingRect()));
    QVERIFY(report.rect().contains(report.rowRect(k20m)));
}

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
