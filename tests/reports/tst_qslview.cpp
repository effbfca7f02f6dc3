#include "adif/AdifWriter.h"
#include "app/CKorva3App.h"
#include "app/CMainFrame.h"
#include "app/CQslChildFrm.h"
#include "app/CSplashWnd.h"
#include "common/QsoBuilder.h"
#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "common/UniqueInstanceName.h"
#include "document/CKorva3Doc.h"
#include "forms/CEditQso.h"
#include "platform/AppSettings.h"
#include "platform/CommandIds.h"
#include "platform/DbDateTime.h"
#include "platform/ScriptedPrompter.h"
#include "progdb/ProgramDatabaseBuilder.h"
#include "reports/CQslView.h"
#include "reports/QslListTexts.h"
#include "store/QsoModes.h"
#include "store/Sqlite3DB.h"

#include <QAction>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

using Record = Sqlite3DB::UM_RECORD;

namespace {

const char kStats[] = "SELECT DXCC, BAND, MODE, COUNTW, COUNTC FROM DXCCREPORT ORDER BY DXCC, BAND, MODE";
const char kQsos[] = "SELECT ROWID, DATE, TIME, CALL, BAND, MODE, QSLRCVD, NAME, COUNTRY FROM QSOS ORDER BY ROWID";

QStringList rowTexts(const QTableWidget *list, int row)
{
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c)
        texts.append(list->item(row, c)->text());
    return texts;
}

QStringList calls(const QTableWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->rowCount(); ++row)
        texts.append(list->item(row, 2)->text());
    return texts;
}

// The row showing the QSO with the given call.
int rowOf(const QTableWidget *list, const QString &call)
{
    return calls(list).indexOf(call);
}

} // namespace

class TestQslView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listTextsOfCodesAndStoredDatesAndTimes();
    void lookupListsAtMostHundredNewestOnTop();
    void emptyLookupListsAllCallsAndNothingFoundShowsZero();
    void storedTextsThatAreNoCalendarTimeAreListedAsStored();
    void qslButtonFollowsTheSelectionAndClearFormResets();
    void spaceOnAConfirmedQsoChangesNoStatistics();
    void qslNoLowersAndQslYesRaisesTheConfirmedCount();
    void changedRowShowsItsDateAsTheOthersDo();
    void cardsSentAndReceivedKeepTheirDay();
    void columnsShowHeadingsAndValuesWhole_data();
    void columnsShowHeadingsAndValuesWhole();
    void commandsWithoutSelectionDoNothing();
    void failedUpdateChangesNeitherStatisticsNorRow();
    void vanishedOrUnreadableQsoIsRefused();
    void changeQsoCountsOnlyChangedStatistics();
    void changeQsoWithCancelOrFailedUpdateChangesNothing();
    void doubleClickOpensTheEditDialog();

    void keysOfTheQslWindow();

private:
    int addQso(const QString &call, const QString &date, const QString &time, int country, const QString &band,
               int mode, int qslRcvd);
    void lookup(const QString &call);
    QByteArray stats() const { return SqlHelpers::rows(m_log, kStats); }
    QByteArray qsos() const { return SqlHelpers::rows(m_log, kQsos); }
    CMainFrame *startApp();

    QTemporaryDir m_programDbDir;
    TestDir *m_dir = nullptr;
    QString m_log;
    ScriptedPrompter m_prompter;
    CKorva3Doc *m_doc = nullptr;
    CQslView *m_view = nullptr;
    CKorva3App *m_app = nullptr;
};

void TestQslView::initTestCase()
{
    CMainFrame::s_startupPauseMs = 0;
    QVERIFY(ProgramDatabaseBuilder::build(m_programDbDir.filePath("korva3.sqlite3")));
}

void TestQslView::init()
{
    m_dir = new TestDir;
    QVERIFY(m_dir->isValid());
    QVERIFY(QFile::copy(m_programDbDir.filePath("korva3.sqlite3"), m_dir->filePath("korva3.sqlite3")));
    AppSettings::useFolder(m_dir->path());
    m_prompter.clear();
    Prompter::install(&m_prompter);
    m_log = m_dir->filePath("log.sqlite3");
    Sqlite3DB db;
    QVERIFY(db.CreateLogbook(m_log));
    m_doc = new CKorva3Doc(m_log);
    m_view = new CQslView(m_doc);
}

void TestQslView::cleanup()
{
    delete m_view;
    m_view = nullptr;
    delete m_doc;
    m_doc = nullptr;
    if (m_app)
        m_app->ExitInstance(0);
    delete m_app;
    m_app = nullptr;
    Prompter::install(nullptr);
    AppSettings::useFolder(QString());
    delete m_dir;
    m_dir = nullptr;
}

int TestQslView::addQso(const QString &call, const QString &date, const QString &time, int country,
                        const QString &band, int mode, int qslRcvd)
{
    // Adding counts the QSO in the statistics as well.
    return m_doc->AddQso(
        QsoBuilder().date(date).time(time).call(call).band(band).mode(mode).qslSent(3).qslRcvd(qslRcvd).country(country));
}

void TestQslView::lookup(const QString &call)
{
    m_view->lookupField()->setText(call);
    m_view->onCommand(ID_LOOKUP_QSOS);
}

CMainFrame *TestQslView::startApp()
{
    m_app = new CKorva3App(uniqueInstanceName());
    if (!m_app->InitInstance({QStringLiteral("Korva3"), m_log}))
        return nullptr;
    CMainFrame *frame = m_app->mainFrame();
    // Keys go to the active window, which the splash window would be for two seconds.
    delete CSplashWnd::instance();
    frame->activateWindow();
    if (!QTest::qWaitForWindowActive(frame))
        return nullptr;
    frame->runCommand(ID_QSO_QSL_CARDS);
    return frame;
}

// --- The list -----------------------------------------------------------------------

void TestQslView::listTextsOfCodesAndStoredDatesAndTimes()
{
    using namespace QslListTexts;
    using QsoModes::name;
    QCOMPARE(QStringList({name(0), name(1), name(2), name(3), name(4), name(5), name(6)}),
             QStringList({"", "CW", "SSB", "RTTY", "FM", "AM", ""}));
    QCOMPARE(QStringList({QslSentText(0), QslSentText(1), QslSentText(2), QslSentText(3), QslSentText(4),
                          QslSentText(5)}),
             QStringList({"", "L", "N", "Y", "D", ""}));
    QCOMPARE(QStringList({QslRcvdText(0), QslRcvdText(1), QslRcvdText(2), QslRcvdText(3)}),
             QStringList({"", "N", "Y", ""}));

    const auto shown = [](const char *date, const char *time) {
        const DbDateTime::ListTexts texts = DbDateTime::listTexts(QLatin1String(date), QLatin1String(time));
        return texts.date + QLatin1Char(' ') + texts.time;
    };
    QCOMPARE(shown("2024-03-15", "14:05:59"), QStringLiteral("15-03-2024 14:05"));
    QCOMPARE(shown("1965-12-31", "00:00:00"), QStringLiteral("31-12-1965 00:00"));
    QCOMPARE(shown("2024-02-29", "23:59"), QStringLiteral("29-02-2024 23:59"));
    QCOMPARE(shown("2023-02-29", "10:00:00"), QStringLiteral("2023-02-29 10:00:00"));
    QCOMPARE(shown("2024-13-01", "10:00:00"), QStringLiteral("2024-13-01 10:00:00"));
    QCOMPARE(shown("2024-03-15", "24:00:00"), QStringLiteral("2024-03-15 24:00:00"));
    QCOMPARE(shown("2024-03-15", "10:60:00"), QStringLiteral("2024-03-15 10:60:00"));
    QCOMPARE(shown("0000-01-01", "10:00:00"), QStringLiteral("0000-01-01 10:00:00"));
    QCOMPARE(shown("2024/03/15", "10:00:00"), QStringLiteral("2024/03/15 10:00:00"));
    QCOMPARE(shown("-024-03-15", "10:00:00"), QStringLiteral("-024-03-15 10:00:00"));
    QCOMPARE(shown("", ""), QStringLiteral(" "));
}

void TestQslView::lookupListsAtMostHundredNewestOnTop()
{
    for (int i = 0; i < 105; ++i) {
        const QString time = QTime(10, 0).addSecs(60 * i).toString(QStringLiteral("HH:mm:ss"));
        addQso(QStringLiteral("DL1A%1").arg(i, 3, 10, QLatin1Char('0')), "2024-03-15", time, 230, "20", 1, 1);
        if (i % 50 == 0) {
            addQso(QStringLiteral("G4X%1").arg(i), "2024-03-16", time, 223, "20", 1, 1);
            addQso(QStringLiteral("XDL%1").arg(i), "2024-03-16", time, 0, "20", 1, 1);
        }
    }
    QTest::keyClicks(m_view->lookupField(), "dl");
    QCOMPARE(m_view->lookupField()->text(), QStringLiteral("DL"));
    m_view->onCommand(ID_LOOKUP_QSOS);

    QTableWidget *list = m_view->qsoList();
    QCOMPARE(list->rowCount(), 100);
    QCOMPARE(m_view->foundCountText(), QStringLiteral("100"));
    QCOMPARE(rowTexts(list, 0),
             QStringList({"15-03-2024", "11:44", "DL1A104", "599", "579", "14.025", "CW", "Y", "N"}));
    QCOMPARE(list->item(1, 2)->text(), QStringLiteral("DL1A103"));
    QCOMPARE(rowTexts(list, 99),
             QStringList({"15-03-2024", "10:05", "DL1A005", "599", "579", "14.025", "CW", "Y", "N"}));
    for (const QString &call : calls(list))
        QVERIFY2(call.startsWith(QLatin1String("DL")), qPrintable(call));
    QCOMPARE(m_view->foundQsos().size(), 100);
}

void TestQslView::emptyLookupListsAllCallsAndNothingFoundShowsZero()
{
    QCOMPARE(m_view->foundCountText(), QString()); // nothing before the first lookup
    addQso("G4ABC", "2024-03-15", "10:00:00", 223, "20", 1, 1);
    addQso("DL1ABC", "2024-03-14", "10:00:00", 230, "20", 1, 1);
    addQso("PA3XYZ", "2024-03-15", "09:00:00", 263, "20", 5, 1);
    lookup("");
    QCOMPARE(calls(m_view->qsoList()), QStringList({"G4ABC", "PA3XYZ", "DL1ABC"}));
    QCOMPARE(m_view->foundCountText(), QStringLiteral("3"));
    QCOMPARE(m_view->qsoList()->item(1, 6)->text(), QStringLiteral("AM"));
    lookup("PY");
    QCOMPARE(m_view->qsoList()->rowCount(), 0);
    QCOMPARE(m_view->foundCountText(), QStringLiteral("0"));
    QVERIFY(m_prompter.shown().isEmpty());
}

void TestQslView::storedTextsThatAreNoCalendarTimeAreListedAsStored()
{
    addQso("DL1AAA", "2024-03-15", "10:00:00", 230, "20", 1, 1);
    addQso("DL1BBB", "2024-13-45", "10:01:00", 230, "20", 1, 1);
    addQso("DL1CCC", "2024-03-16", "25:61:00", 230, "20", 1, 1);
    lookup("DL");
    QTableWidget *list = m_view->qsoList();
    QCOMPARE(rowTexts(list, rowOf(list, "DL1AAA")).mid(0, 2), QStringList({"15-03-2024", "10:00"}));
    QCOMPARE(rowTexts(list, rowOf(list, "DL1BBB")).mid(0, 2), QStringList({"2024-13-45", "10:01:00"}));
    QCOMPARE(rowTexts(list, rowOf(list, "DL1CCC")).mid(0, 2), QStringList({"2024-03-16", "25:61:00"}));
}

void TestQslView::qslButtonFollowsTheSelectionAndClearFormResets()
{
    addQso("DL1ABC", "2024-03-15", "10:00:00", 230, "20", 1, 1);
    addQso("DL2ABC", "2024-03-15", "10:01:00", 230, "20", 1, 1);
    lookup("DL");
    QVERIFY(!m_view->qslRcvdButton()->isEnabled());
    QVERIFY(!m_view->commandEnabled(ID_CHANGE_QSO));
    m_view->qsoList()->selectRow(1);
    QVERIFY(m_view->qslRcvdButton()->isEnabled());
    QVERIFY(m_view->commandEnabled(ID_CHANGE_QSO));
    m_view->qsoList()->clearSelection();
    QVERIFY(!m_view->qslRcvdButton()->isEnabled());

    m_view->qsoList()->selectRow(0);
    m_view->onCommand(ID_CLEAR_FORM);
    QCOMPARE(m_view->qsoList()->rowCount(), 0);
    QCOMPARE(m_view->foundCountText(), QStringLiteral("0"));
    QCOMPARE(m_view->lookupField()->text(), QString());
    QVERIFY(!m_view->qslRcvdButton()->isEnabled());
    QVERIFY(m_view->foundQsos().isEmpty());
}

// --- Setting QSL received -----------------------------------------------------------

void TestQslView::spaceOnAConfirmedQsoChangesNoStatistics()
{
    addQso("DL1ABC", "2024-03-15", "10:00:00", 230, "20", 1, 2);
    addQso("DL2ABC", "2024-03-15", "10:01:00", 230, "20", 1, 1);
    const QByteArray before = stats();
    QCOMPARE(before, QByteArray("230|20|1|2|1"));
    lookup("DL");
    const int row = rowOf(m_view->qsoList(), "DL1ABC");
    m_view->qsoList()->selectRow(row);
    m_view->onCommand(ID_QSL_RCVD_YES);
    QCOMPARE(stats(), before);
    QCOMPARE(rowTexts(m_view->qsoList(), row),
             QStringList({"15-03-2024", "10:00", "DL1ABC", "599", "579", "14.025", "CW", "Y", "Y"}));
    QVERIFY(m_prompter.shown().isEmpty());
}

void TestQslView::qslNoLowersAndQslYesRaisesTheConfirmedCount()
{
    addQso("DL1ABC", "2024-03-15", "10:00:00", 230, "20", 1, 2);
    addQso("DL2ABC", "2024-03-15", "10:01:00", 230, "20", 1, 1);
    const int unconfirmed = addQso("DL3ABC", "2024-03-15", "10:02:00", 230, "40", 2, 1);
    addQso("G4ABC", "2024-03-15", "10:03:00", 223, "20", 1, 2);
    QCOMPARE(stats(), QByteArray("223|20|1|1|1\n230|20|1|2|1\n230|40|2|1|0"));
    lookup("DL");

    m_view->qsoList()->selectRow(rowOf(m_view->qsoList(), "DL1ABC"));
    m_view->onCommand(ID_QSL_RCVD_NO);
    QCOMPARE(stats(), QByteArray("223|20|1|1|1\n230|20|1|2|0\n230|40|2|1|0"));

    m_view->qsoList()->selectRow(rowOf(m_view->qsoList(), "DL3ABC"));
    m_view->onCommand(ID_QSL_RCVD_YES);
    QCOMPARE(stats(), QByteArray("223|20|1|1|1\n230|20|1|2|0\n230|40|2|1|1"));
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT CALL, QSLRCVD FROM QSOS ORDER BY ROWID"),
             QByteArray("DL1ABC|1\nDL2ABC|1\nDL3ABC|2\nG4ABC|2"));
    QCOMPARE(m_view->qsoList()->item(rowOf(m_view->qsoList(), "DL1ABC"), 8)->text(), QStringLiteral("N"));
    QCOMPARE(m_view->qsoList()->item(0, 0)->data(Qt::UserRole).toInt(), unconfirmed);
    QVERIFY(m_prompter.shown().isEmpty());
}

// The day a card went out or came in is kept as ADIF has it, exported with the QSO; a
// second mark keeps the later day only.
void TestQslView::cardsSentAndReceivedKeepTheirDay()
{
    CQslView::s_clock = [] { return QDateTime(QDate(2026, 12, 8), QTime(23, 59), Qt::UTC); };
    const int id = addQso("DL1ABC", "2024-03-15", "10:00:00", 230, "20", 1, 1);
    lookup("DL");
    m_view->qsoList()->selectRow(0);
    QVERIFY(m_view->qslSentButton()->isEnabled());
    m_view->qslSentButton()->click();
    m_view->qslRcvdButton()->click();
    CQslView::s_clock = [] { return QDateTime(QDate(2026, 12, 9), QTime(0, 1), Qt::UTC); };
    m_view->qslRcvdButton()->click();
    CQslView::s_clock = &QDateTime::currentDateTimeUtc;
    QCOMPARE(rowTexts(m_view->qsoList(), 0).mid(7), QStringList({"Y", "Y"}));
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT QSO, NAME, VALUE FROM QSOFIELDS ORDER BY NAME"),
             QStringLiteral("%1|QSLRDATE|20261209\n%1|QSLSDATE|20261208").arg(id).toLatin1());
    Sqlite3DB store;
    QCOMPARE(AdifWriter::ExportAdif(store, m_dir->filePath("out.adi"), m_log, CKorva3Doc::ExportDays(0)),
             AdifWriter::Result::Written);
    const QByteArray exported = TestDir::readFile(m_dir->filePath("out.adi"));
    QVERIFY2(exported.contains("<QSLRDATE:8>20261209") && exported.contains("<QSLSDATE:8>20261208"),
             exported.constData());
}

void TestQslView::changedRowShowsItsDateAsTheOthersDo()
{
    addQso("DL1ABC", "2024-03-15", "10:00:00", 230, "20", 1, 1);
    addQso("DL2ABC", "2024-03-16", "11:30:15", 230, "20", 1, 1);
    lookup("DL");
    m_view->qsoList()->selectRow(0);
    m_view->onCommand(ID_QSL_RCVD_YES);
    QCOMPARE(rowTexts(m_view->qsoList(), 0).mid(0, 3), QStringList({"16-03-2024", "11:30", "DL2ABC"}));
    QCOMPARE(rowTexts(m_view->qsoList(), 1).mid(0, 3), QStringList({"15-03-2024", "10:00", "DL1ABC"}));
    QCOMPARE(m_view->foundCountText(), QStringLiteral("2"));
    lookup("DL");
    QCOMPARE(rowTexts(m_view->qsoList(), 0).mid(0, 2), QStringList({"16-03-2024", "11:30"}));
}

void TestQslView::columnsShowHeadingsAndValuesWhole_data()
{
    QTest::addColumn<bool>("rewritten"); // after Space: read again, as listed
    QTest::addColumn<QString>("date");
    QTest::newRow("listed") << false << "26-12-2024";
    QTest::newRow("rewritten") << true << "26-12-2024";
}

// The date whole, the heading "Frequency" whole, every column in sight.
void TestQslView::columnsShowHeadingsAndValuesWhole()
{
    QFETCH(bool, rewritten);
    QFETCH(QString, date);
    m_doc->AddQso(QsoBuilder()
                      .date("2024-12-26")
                      .time("23:59:00")
                      .call("VP2EWW/DL1ABC/P")
                      .freq("144.300.0")
                      .band("2")
                      .mode(3)
                      .qslSent(3)
                      .qslRcvd(1));
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view));
    lookup("VP2");
    if (rewritten) {
        m_view->qsoList()->selectRow(0);
        m_view->onCommand(ID_QSL_RCVD_YES);
    }
    const QTableWidget *list = m_view->qsoList();
    QCOMPARE(list->item(0, 0)->text(), date);
    const QAbstractItemView *view = list;
    int total = 0;
    for (int c = 0; c < list->columnCount(); ++c) {
        const QString heading = list->horizontalHeaderItem(c)->text();
        QVERIFY2(list->horizontalHeader()->sectionSize(c) >= list->horizontalHeader()->sectionSizeHint(c),
                 qPrintable(heading));
        QVERIFY2(list->columnWidth(c) >= view->sizeHintForColumn(c), qPrintable(heading));
        total += list->columnWidth(c);
    }
    QVERIFY(list->viewport()->width() >= total);
}

void TestQslView::commandsWithoutSelectionDoNothing()
{
    addQso("DL1ABC", "2024-03-15", "10:00:00", 230, "20", 1, 2);
    int edits = 0;
    m_view->setQsoEditor([&edits](CKorva3Doc *, const Record &qso, QWidget *) -> std::optional<Record> {
        ++edits;
        return qso;
    });
    lookup("DL");
    const QByteArray statsBefore = stats();
    const QByteArray qsosBefore = qsos();
    const QStringList rowBefore = rowTexts(m_view->qsoList(), 0);
    QVERIFY(m_view->handlesCommand(ID_CHANGE_QSO));
    QVERIFY(!m_view->commandEnabled(ID_CHANGE_QSO));
    for (int id : {ID_QSL_RCVD_YES, ID_QSL_RCVD_NO, ID_CHANGE_QSO}) {
        QVERIFY(m_view->commandEnabled(id) == (id != ID_CHANGE_QSO));
        m_view->onCommand(id);
    }
    QCOMPARE(edits, 0);
    QCOMPARE(stats(), statsBefore);
    QCOMPARE(qsos(), qsosBefore);
    QCOMPARE(rowTexts(m_view->qsoList(), 0), rowBefore);
    QVERIFY(m_prompter.shown().isEmpty());
}

void TestQslView::failedUpdateChangesNeitherStatisticsNorRow()
{
    addQso("DL1ABC", "2024-03-15", "10:00:00", 230, "20", 1, 1);
    lookup("DL");
    QVERIFY(SqlHelpers::exec(m_log, "CREATE TRIGGER REFUSE BEFORE UPDATE ON QSOS BEGIN SELECT RAISE(ABORT, 'no'); END"));
    const QByteArray statsBefore = stats();
    const QByteArray qsosBefore = qsos();
    m_view->qsoList()->selectRow(0);
    m_view->onCommand(ID_QSL_RCVD_YES);
    QCOMPARE(m_prompter.texts(), QStringList({"Error writing to database..."}));
    QCOMPARE(m_prompter.shown().first().icon, Prompter::Icon::Error);
    QCOMPARE(stats(), statsBefore);
    QCOMPARE(qsos(), qsosBefore);
    QCOMPARE(rowTexts(m_view->qsoList(), 0),
             QStringList({"15-03-2024", "10:00", "DL1ABC", "599", "579", "14.025", "CW", "Y", "N"}));
}

void TestQslView::vanishedOrUnreadableQsoIsRefused()
{
    const int gone = addQso("DL1ABC", "2024-03-15", "10:00:00", 230, "20", 1, 2);
    addQso("DL2ABC", "2024-03-15", "10:01:00", 230, "20", 1, 1);
    int edits = 0;
    m_view->setQsoEditor([&edits](CKorva3Doc *, const Record &qso, QWidget *) -> std::optional<Record> {
        ++edits;
        return qso;
    });
    lookup("DL");
    QVERIFY(SqlHelpers::exec(m_log, "DELETE FROM QSOS WHERE ROWID = " + QByteArray::number(gone)));
    const QByteArray statsBefore = stats();
    const QByteArray qsosBefore = qsos();
    const int row = rowOf(m_view->qsoList(), "DL1ABC");
    const QStringList rowBefore = rowTexts(m_view->qsoList(), row);
    m_view->qsoList()->selectRow(row);
    for (int id : {ID_QSL_RCVD_NO, ID_QSL_RCVD_YES, ID_CHANGE_QSO})
        m_view->onCommand(id);
    QCOMPARE(m_prompter.texts(), QStringList(3, "Error retrieving qso data from database..."));
    QCOMPARE(m_prompter.shown().last().icon, Prompter::Icon::Error);
    QCOMPARE(edits, 0);
    QCOMPARE(stats(), statsBefore);
    QCOMPARE(qsos(), qsosBefore);
    QCOMPARE(rowTexts(m_view->qsoList(), row), rowBefore);

    m_prompter.clear();
    QVERIFY(SqlHelpers::exec(m_log, "ALTER TABLE QSOS RENAME TO OLDQSOS"));
    m_view->qsoList()->selectRow(rowOf(m_view->qsoList(), "DL2ABC"));
    m_view->onCommand(ID_QSL_RCVD_YES);
    QCOMPARE(m_prompter.texts(), QStringList({"Error retrieving qso data from database..."}));
    QCOMPARE(stats(), statsBefore);
}

// --- Change Qso ---------------------------------------------------------------------

void TestQslView::changeQsoCountsOnlyChangedStatistics()
{
    addQso("DL1ABC", "2024-03-15", "10:00:00", 230, "20", 1, 2);
    lookup("DL");
    m_view->qsoList()->selectRow(0);
    // An editor that changes what the operator would change in the dialog, and replaces
    // the record as the dialog does (its row id 0).
    QString newName;
    QString newBand = QStringLiteral("20");
    int rowIdSeen = -1;
    m_view->setQsoEditor([&](CKorva3Doc *, const Record &qso, QWidget *) -> std::optional<Record> {
        Record r = qso;
        rowIdSeen = r.rowId;
        r.rowId = 0;
        r.name = newName;
        r.band = newBand;
        return r;
    });

    newName = QStringLiteral("Hans");
    m_view->onCommand(ID_CHANGE_QSO);
    QCOMPARE(rowIdSeen, 1);
    QCOMPARE(qsos(), QByteArray("1|2024-03-15|10:00:00|DL1ABC|20|1|2|Hans|230"));
    QCOMPARE(stats(), QByteArray("230|20|1|1|1"));
    QCOMPARE(rowTexts(m_view->qsoList(), 0).mid(0, 2), QStringList({"15-03-2024", "10:00"}));

    newBand = QStringLiteral("40");
    m_view->onCommand(ID_CHANGE_QSO);
    QCOMPARE(qsos(), QByteArray("1|2024-03-15|10:00:00|DL1ABC|40|1|2|Hans|230"));
    QCOMPARE(stats(), QByteArray("230|20|1|0|0\n230|40|1|1|1"));
    QVERIFY(m_prompter.shown().isEmpty());
}

void TestQslView::changeQsoWithCancelOrFailedUpdateChangesNothing()
{
    addQso("DL1ABC", "2024-03-15", "10:00:00", 230, "20", 1, 1);
    lookup("DL");
    m_view->qsoList()->selectRow(0);
    bool accept = false;
    m_view->setQsoEditor([&accept](CKorva3Doc *, const Record &qso, QWidget *) -> std::optional<Record> {
        if (!accept)
            return std::nullopt;
        Record r = qso;
        r.qslRcvd = 2;
        return r;
    });
    const QByteArray statsBefore = stats();
    const QByteArray qsosBefore = qsos();
    const QStringList rowBefore = rowTexts(m_view->qsoList(), 0);

    m_view->onCommand(ID_CHANGE_QSO);
    QVERIFY(m_prompter.shown().isEmpty());

    accept = true;
    QVERIFY(SqlHelpers::exec(m_log, "CREATE TRIGGER REFUSE BEFORE UPDATE ON QSOS BEGIN SELECT RAISE(ABORT, 'no'); END"));
    m_view->onCommand(ID_CHANGE_QSO);
    QCOMPARE(m_prompter.texts(), QStringList({"Error writing to database..."}));
    QCOMPARE(stats(), statsBefore);
    QCOMPARE(qsos(), qsosBefore);
    QCOMPARE(rowTexts(m_view->qsoList(), 0), rowBefore);
}

void TestQslView::doubleClickOpensTheEditDialog()
{
    addQso("DL1ABC", "2024-03-15", "10:00:00", 230, "20", 1, 1);
    lookup("DL");
    m_view->show();
    QTableWidget *list = m_view->qsoList();
    QString callShown;
    QTimer::singleShot(0, this, [&callShown] {
        auto *dialog = qobject_cast<CEditQso *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        callShown = dialog->callEdit()->text();
        dialog->bandEdit()->setText(QStringLiteral("40"));
        dialog->accept();
    });
    const QRect cell = list->visualRect(list->model()->index(0, 2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(callShown, QStringLiteral("DL1ABC"));
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT CALL, BAND FROM QSOS"), QByteArray("DL1ABC|40"));
    QCOMPARE(stats(), QByteArray("230|20|1|0|0\n230|40|1|1|0"));
    QCOMPARE(rowTexts(list, 0).mid(0, 3), QStringList({"15-03-2024", "10:00", "DL1ABC"}));
}

// --- Keys through the main window ---------------------------------------------------

void TestQslView::keysOfTheQslWindow()
{
    addQso("DL1ABC", "2024-03-15", "10:00:00", 230, "20", 1, 1);
    addQso("DL2ABC", "2024-03-15", "10:01:00", 230, "20", 1, 1);
    addQso("G4ABC", "2024-03-15", "10:02:00", 223, "20", 1, 1);
    CMainFrame *frame = startApp();
    QVERIFY(frame);
    auto *qsl = qobject_cast<CQslChildFrm *>(frame->activeFrame());
    QVERIFY(qsl);
    CQslView *view = qsl->view();
    QTableWidget *list = view->qsoList();
    // A click selects without moving the focus, so the enabled state of F4 follows the
    // view's own signal, as the shell connects it for its views.
    connect(view, &CQslView::commandsChanged, frame, &CMainFrame::updateCommandUI);

    // A call has no blanks: Space in the lookup field is the window's key, not a character.
    view->lookupField()->setFocus();
    QTest::keyClicks(view->lookupField(), "d l");
    QCOMPARE(view->lookupField()->text(), QStringLiteral("DL"));
    QTest::keyClick(view->lookupField(), Qt::Key_Return);
    QCOMPARE(calls(list), QStringList({"DL2ABC", "DL1ABC"}));
    QCOMPARE(view->foundCountText(), QStringLiteral("2"));
    QVERIFY(!frame->action(ID_CHANGE_QSO)->isEnabled());

    // Without a selection Space changes nothing.
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(stats(), QByteArray("223|20|1|1|0\n230|20|1|2|0"));
    QVERIFY(!view->qslRcvdButton()->isEnabled());

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(1, 2)).center());
    QCOMPARE(view->qslRcvdButton()->isEnabled(), true);
    QVERIFY(frame->action(ID_CHANGE_QSO)->isEnabled());
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(stats(), QByteArray("223|20|1|1|0\n230|20|1|2|1"));
    QCOMPARE(rowTexts(list, 1).mid(0, 3), QStringList({"15-03-2024", "10:00", "DL1ABC"}));
    QCOMPARE(list->item(1, 8)->text(), QStringLiteral("Y"));
    QTest::keyClick(list, Qt::Key_N, Qt::AltModifier);
    QCOMPARE(stats(), QByteArray("223|20|1|1|0\n230|20|1|2|0"));
    QCOMPARE(list->item(1, 8)->text(), QStringLiteral("N"));
    view->lookupField()->setFocus();
    QTest::keyClick(view->lookupField(), Qt::Key_Space);
    QCOMPARE(list->item(1, 8)->text(), QStringLiteral("Y"));
    QCOMPARE(view->lookupField()->text(), QStringLiteral("DL"));
    QTest::keyClick(list, Qt::Key_N, Qt::AltModifier);

    QString edited;
    QTimer::singleShot(0, this, [&edited] {
        auto *dialog = qobject_cast<CEditQso *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        edited = dialog->callEdit()->text();
        dialog->reject();
    });
    QTest::keyClick(list, Qt::Key_F4);
    QCOMPARE(edited, QStringLiteral("DL1ABC"));
    // The offscreen platform does not give the activation back when a dialog closes.
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    QCOMPARE(stats(), QByteArray("223|20|1|1|0\n230|20|1|2|0"));

    QTest::keyClick(list, Qt::Key_F6);
    QCOMPARE(rowTexts(list, 1).mid(0, 3), QStringList({"15-03-2024", "10:00", "DL1ABC"}));
    QTest::keyClick(list, Qt::Key_F3);
    QCOMPARE(list->rowCount(), 0);
    QCOMPARE(view->lookupField()->text(), QString());
    QCOMPARE(QApplication::focusWidget(), view->lookupField());
    QTest::keyClick(view->lookupField(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(calls(list), QStringList({"G4ABC", "DL2ABC", "DL1ABC"}));
    QVERIFY(m_prompter.shown().isEmpty());
}

QTEST_MAIN(TestQslView)
#include "tst_qslview.moc"
