#include "app/CChildFrame.h"
#include "app/CKorva3App.h"
#include "app/CMainFrame.h"
#include "app/CQslChildFrm.h"
#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "common/UniqueInstanceName.h"
#include "document/CKorva3Doc.h"
#include "forms/CEditQso.h"
#include "entry/CKorva3View.h"
#include "platform/AppSettings.h"
#include "platform/CommandIds.h"
#include "platform/DbDateTime.h"
#include "platform/ScriptedPrompter.h"
#include "progdb/ProgramDatabaseBuilder.h"
#include "reports/CCqzoneReport.h"
#include "reports/CDxccReport.h"
#include "reports/CQslView.h"
#include "rig/TrxReading.h"
#include "store/Sqlite3DB.h"

#include <QAction>
#include <QProcess>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QTimeEdit>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// The computer's clock during every test: 14:37:52 local time.
// The computer's clock of the test: a UTC time it moves itself.
QDateTime g_now(QDate(2026, 3, 14), QTime(13, 37, 52), Qt::UTC);

QDateTime fixedClock()
{
    return g_now;
}

// The statistics rows that count something, in a fixed order.
const QByteArray kStatsQuery =
    "SELECT DXCC, BAND, MODE, COUNTW, COUNTC FROM DXCCREPORT WHERE COUNTW > 0 OR COUNTC > 0 "
    "ORDER BY DXCC, BAND, MODE";

const char kQsoColumns[] = "DATE,TIME,CALL,SENT,RCVD,FREQ,BAND,MODE,POWER,CQZONE,GRID,QSLSENT,QSLRCVD,NAME,QTH,"
                           "ADDRESS1,ADDRESS2,REMARKS,QSLMGR,IOTA,COUNTRY";

// Germany and England in the real country file.
constexpr int kGermany = 230;
constexpr int kEngland = 223;

// Mode positions in the form's list.
enum { kCw, kSsb, kRtty, kFm, kAm };

} // namespace

class TestEntry : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void callFieldTakesTheCallAsTyped();
    void addIsEnabledFromThreeCharacters();
    void formStartsWithUtcTimeAndRememberedDefaults();
    void addStoresTheFormAndCountsIt();
    void addAsksWhenConfiguredOnly();
    void warningsDoNotStopTheAdd();
    void typedModeKeepsTheTypedReports();
    void bandAndFrequencyAreCheckedOnLeaving_data();
    void bandAndFrequencyAreCheckedOnLeaving();
    void failedInsertChangesNothing();
    void clearFormAndSetRstFollowTheMode();
    void leavingTheCallShowsStationAndWorkedBefore();
    void listOptionsChooseWhatIsListed();
    void latestQsosNewestOnTop();
    void storedDateThatIsNoCalendarDateIsListedAsStored();
    void gridFieldGivesTheDistanceLine();
    void transceiverReadingKeepsNineCharacters();
    void changeKeepsTheStatisticsInStep();
    void changeCancelledOrFailedChangesNothing();
    void editDialogFieldsAndButtons();
    void editDialogWritesBackTheStoredDateAndTime_data();
    void editDialogWritesBackTheStoredDateAndTime();
    void deleteAsksAndKeepsTheStatisticsInStep();
    void vanishedRowIsRefused();
    void windowsFollowEveryChangeOfTheLogbook();
    void clockRunsUntilTheCallStarts();
    void modesOfToday_data();
    void modesOfToday();
    void duplicateIsAskedFirst_data();
    void duplicateIsAskedFirst();
    void newQsoKeepsTheActiveStation();

private:
    bool start(const QByteArray &parameters = QByteArray());
    void type(QWidget *widget, const QString &text);
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void leave(QWidget *field);
    void storeQso(const QString &call, const QString &date, const QString &band, int mode, int qslRcvd,
                  int country, const QString &time = QStringLiteral("10:00:00"));
    QStringList row(int index) const;
    QByteArray statsAfterRebuild();
    void onDialog(const std::function<void(CEditQso *)> &play);
    static void playDialog(const std::function<void(CEditQso *)> &play, const std::shared_ptr<bool> &played,
                           int triesLeft);
    bool dialogPlayed();

    QTemporaryDir m_programDir;
    QString m_programDatabase;
    TestDir *m_dir = nullptr;
    ScriptedPrompter m_prompter;
    CKorva3App *m_app = nullptr;
    CMainFrame *m_frame = nullptr;
    CKorva3View *m_view = nullptr;
    QString m_log;
    std::shared_ptr<bool> m_played;
};

void TestEntry::initTestCase()
{
    CMainFrame::s_startupPauseMs = 0;
    CKorva3View::s_clock = &fixedClock;
    m_programDatabase = m_programDir.filePath("korva3.sqlite3");
    QVERIFY(ProgramDatabaseBuilder::build(m_programDatabase));
}

void TestEntry::init()
{
    m_dir = new TestDir;
    QVERIFY(m_dir->isValid());
    AppSettings::useFolder(m_dir->path());
    m_prompter.clear();
    Prompter::install(&m_prompter);
    QVERIFY(QFile::copy(m_programDatabase, m_dir->filePath("korva3.sqlite3")));
    m_log = m_dir->filePath("field day.sqlite3");
    Sqlite3DB db;
    QVERIFY(db.CreateLogbook(m_log));
}

void TestEntry::cleanup()
{
    if (m_app)
        m_app->ExitInstance(0);
    delete m_app;
    m_app = nullptr;
    m_frame = nullptr;
    m_view = nullptr;
    Prompter::install(nullptr);
    AppSettings::useFolder(QString());
    delete m_dir;
    m_dir = nullptr;
}

// Starts the application on the logbook with extra SQL run on the program database.
bool TestEntry::start(const QByteArray &parameters)
{
    if (!parameters.isEmpty() && !SqlHelpers::exec("korva3.sqlite3", parameters))
        return false;
    m_app = new CKorva3App(uniqueInstanceName());
    if (!m_app->InitInstance({"Korva3", m_log}))
        return false;
    m_frame = m_app->mainFrame();
    auto *child = qobject_cast<CChildFrame *>(m_frame->activeFrame());
    if (!child || !QTest::qWaitForWindowActive(m_frame))
        return false;
    m_view = child->view();
    // The form puts the focus in the call field when it first shows.
    return QTest::qWaitFor([this] { return m_view->callEdit()->hasFocus(); });
}

void TestEntry::type(QWidget *widget, const QString &text)
{
    widget->setFocus();
    QTest::keyClicks(widget, text);
}

// A key pressed wherever the focus is, as the operator presses it.
void TestEntry::key(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    // The offscreen platform gives the activation back to the main window only when
    // asked, after a dialog closed.
    m_frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_frame));
    QVERIFY(QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }));
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// The operator moves on from a field with the tab key.
void TestEntry::leave(QWidget *field)
{
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Tab);
}

void TestEntry::storeQso(const QString &call, const QString &date, const QString &band, int mode, int qslRcvd,
                         int country, const QString &time)
{
    Sqlite3DB::UM_RECORD qso;
    qso.date = date;
    qso.time = time;
    qso.call = call;
    qso.sent = "599";
    qso.rcvd = "579";
    qso.freq = band == "40" ? "7.012.0" : "14.012.0";
    qso.band = band;
    qso.mode = mode;
    qso.qslSent = 2;
    qso.qslRcvd = qslRcvd;
    qso.country = country;
    Sqlite3DB db;
    QVERIFY(db.InsertQso({qso}, m_log).value_or(0) > 0);
}

QStringList TestEntry::row(int index) const
{
    QStringList texts;
    for (int column = 0; column < m_view->workedList()->columnCount(); ++column)
        texts.append(m_view->workedList()->item(index, column)->text());
    return texts;
}

// The statistics as they stand, after checking that a rebuild from the QSOs gives the same.
QByteArray TestEntry::statsAfterRebuild()
{
    const QByteArray kept = SqlHelpers::rows(m_log, kStatsQuery);
    Sqlite3DB db;
    db.RebuildDxccStats(m_log);
    const QByteArray rebuilt = SqlHelpers::rows(m_log, kStatsQuery);
    if (kept != rebuilt)
        qWarning("kept:\n%s\nrebuilt:\n%s", kept.constData(), rebuilt.constData());
    return kept == rebuilt ? kept : QByteArray("<differs from a rebuild>");
}

// Plays the operator's part in the next edit dialog once it shows; dialogPlayed says
// whether it did.
void TestEntry::onDialog(const std::function<void(CEditQso *)> &play)
{
    m_played = std::make_shared<bool>(false);
    QTimer::singleShot(0, [play, played = m_played] { playDialog(play, played, 200); });
}

void TestEntry::playDialog(const std::function<void(CEditQso *)> &play, const std::shared_ptr<bool> &played,
                           int triesLeft)
{
    auto *dialog = qobject_cast<CEditQso *>(QApplication::activeModalWidget());
    if (!dialog) {
        if (triesLeft > 0)
            QTimer::singleShot(10, [play, played, triesLeft] { playDialog(play, played, triesLeft - 1); });
        return;
    }
    *played = true;
    dialog->activateWindow();
    if (QTest::qWaitForWindowActive(dialog))
        play(dialog);
    // A check that failed inside returned early: the dialog must not stay open.
    if (dialog->isVisible()) {
        *played = false;
        dialog->reject();
    }
}

bool TestEntry::dialogPlayed()
{
    return m_played && *m_played;
}

// --- Call field and Add Qso ---------------------------------------------------------

void TestEntry::callFieldTakesTheCallAsTyped()
{
    QVERIFY(start());
    QTest::keyClicks(m_view->callEdit(), "g4 x");
    QCOMPARE(m_view->callEdit()->text(), QStringLiteral("G4X"));
    QCOMPARE(m_view->countryList()->currentText(), QStringLiteral("England"));
    QCOMPARE(m_view->countryList()->currentData().toInt(), kEngland);

    // Every keystroke resolves again: an unresolved call selects the blank entry.
    m_view->callEdit()->clear();
    QTest::keyClicks(m_view->callEdit(), "QQ9");
    QCOMPARE(m_view->countryList()->currentIndex(), 0);
    QCOMPARE(m_view->countryList()->currentText(), QString());
}

void TestEntry::addIsEnabledFromThreeCharacters()
{
    QVERIFY(start());
    QTest::keyClicks(m_view->callEdit(), "G4");
    QVERIFY(!m_frame->action(ID_ADD_QSO)->isEnabled());
    key(Qt::Key_F10);
    // Run anyway, Add Qso with a 2-character call adds nothing and says nothing.
    m_view->OnAddQso();
    QCOMPARE(SqlHelpers::count(m_log, "QSOS"), 0);
    QVERIFY(m_prompter.texts().isEmpty());
    QTest::keyClicks(m_view->callEdit(), "X");
    QVERIFY(m_frame->action(ID_ADD_QSO)->isEnabled());
    QVERIFY(!m_frame->action(ID_CHANGE_QSO)->isEnabled());
    QVERIFY(!m_frame->action(ID_DELETE_QSO)->isEnabled());
}

void TestEntry::formStartsWithUtcTimeAndRememberedDefaults()
{
    {
        const auto settings = AppSettings::open();
        settings->setValue("Default/DefFreq", "7.012.0");
        settings->setValue("Default/DefBand", "40");
        settings->setValue("Default/DefMode", kRtty);
        settings->setValue("Default/DefRst1", "579");
        settings->setValue("Default/DefRst2", "589");
        settings->setValue("Default/DefPwr", "5");
    }
    QVERIFY(start());
    // The clock's UTC, to the second; the stored utcoffset -60 is not added to it.
    QCOMPARE(m_view->timeEdit()->time(), QTime(13, 37, 52));
    QCOMPARE(m_view->dateEdit()->date(), QDate(2026, 3, 14));
    QCOMPARE(m_view->freqEdit()->text(), QStringLiteral("7.012.0"));
    QCOMPARE(m_view->bandEdit()->text(), QStringLiteral("40"));
    QCOMPARE(m_view->modeList()->currentText(), QStringLiteral("RTTY"));
    QCOMPARE(m_view->rstRcvdEdit()->text(), QStringLiteral("579"));
    QCOMPARE(m_view->rstSentEdit()->text(), QStringLiteral("589"));
    QCOMPARE(m_view->powerEdit()->text(), QStringLiteral("5"));
    QCOMPARE(m_view->qslSentList()->currentText(), QStringLiteral("N"));
    QCOMPARE(m_view->qslRcvdList()->currentText(), QStringLiteral("N"));
    QCOMPARE(m_view->logbookLabel()->text(), QStringLiteral("Logbook: FIELD DAY"));
    QCOMPARE(m_view->infoLine1Label()->text(), QStringLiteral("   Your latest qso's (shortkey F6)"));
    QCOMPARE(m_view->foundCountLabel()->text(), QStringLiteral("0"));
    QCOMPARE(m_view->m_utcOffset, -60);
    QCOMPARE(m_view->m_ownLocator, QStringLiteral("JN47QK"));
    QVERIFY(m_view->m_askYesNo);

    // The frequency field gives the band when it is left; the defaults go back when
    // the window closes.
    m_view->freqEdit()->clear();
    type(m_view->freqEdit(), "21.025");
    leave(m_view->freqEdit());
    QCOMPARE(m_view->bandEdit()->text(), QStringLiteral("15"));
    QVERIFY(m_frame->runCommand(ID_ACTUAL_TIME));
    const QPointer<CKorva3View> view = m_view;
    m_frame->activeFrame()->close();
    QTRY_VERIFY(!view);
    const auto settings = AppSettings::open();
    QCOMPARE(settings->value("Default/DefFreq").toString(), QStringLiteral("21.025"));
    QCOMPARE(settings->value("Default/DefBand").toString(), QStringLiteral("15"));
    QCOMPARE(settings->value("Default/DefMode").toInt(), int(kRtty));
}

void TestEntry::addStoresTheFormAndCountsIt()
{
    QVERIFY(start("UPDATE PARAMETERS SET VALUE = 'N' WHERE PARAMETER = 'AskYesNo'"));
    type(m_view->callEdit(), "G4XYZ");
    type(m_view->nameEdit(), "O'Neil");
    type(m_view->qthEdit(), "Bath");
    type(m_view->gridEdit(), "io81");
    m_view->callEdit()->setFocus();
    key(Qt::Key_F10);
    QCOMPARE(SqlHelpers::rows(m_log, QByteArray("SELECT ") + kQsoColumns + " FROM QSOS"),
             QByteArray("2026-03-14|13:37:52|G4XYZ|599|599||20|1|100|14|IO81|2|1|O'Neil|Bath||||||223"));
    QVERIFY(m_prompter.texts().isEmpty());
    QCOMPARE(statsAfterRebuild(), QByteArray("223|20|1|1|0"));
    QCOMPARE(row(0), QStringList({"14-03-2026", "13:37", "G4XYZ", "599", "599", "", "CW", "N", "N"}));
    QCOMPARE(m_view->workedList()->item(0, 0)->data(Qt::UserRole).toInt(), 1);
    QCOMPARE(m_view->foundCountLabel()->text(), QStringLiteral("1"));
    QCOMPARE(m_view->workedLineLabel(1)->text(), QStringLiteral("  \t \t \t \tW\t \t \t \t \t  \t "));
    // The form is ready for the next QSO; the clock runs again, the frequency stays.
    QCOMPARE(m_view->callEdit()->text(), QString());
    QCOMPARE(m_view->nameEdit()->text(), QString());
    QCOMPARE(m_view->gridEdit()->text(), QString());
    QCOMPARE(m_view->countryList()->currentIndex(), 0);
    QVERIFY(m_view->clockRunning());
    QCOMPARE(m_view->timeEdit()->time(), QTime(13, 37, 52));
    QCOMPARE(m_view->freqEdit()->text(), QString());
    QCOMPARE(m_view->freqEdit()->placeholderText(), QStringLiteral("14.012.0"));
    QVERIFY(m_view->callEdit()->hasFocus());
}

void TestEntry::addAsksWhenConfiguredOnly()
{
    QVERIFY(start());
    type(m_view->callEdit(), "DL1ABC");
    m_prompter.setNextAnswer(Prompter::Answer::Cancel);
    key(Qt::Key_F10);
    QCOMPARE(m_prompter.texts(), QStringList({"Add qso ?"}));
    QCOMPARE(m_prompter.shown().first().caption, QStringLiteral("Are you sure?"));
    QCOMPARE(SqlHelpers::count(m_log, "QSOS"), 0);
    QCOMPARE(m_view->callEdit()->text(), QStringLiteral("DL1ABC"));
    m_prompter.setNextAnswer(Prompter::Answer::Ok);
    key(Qt::Key_Return);
    QCOMPARE(SqlHelpers::count(m_log, "QSOS"), 1);
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT CALL, COUNTRY FROM QSOS"), QByteArray("DL1ABC|230"));

    // Anything but an exact "Y" asks nothing.
    cleanup();
    init();
    QVERIFY(start("UPDATE PARAMETERS SET VALUE = 'y' WHERE PARAMETER = 'AskYesNo'"));
    QVERIFY(!m_view->m_askYesNo);
    type(m_view->callEdit(), "QQ9ZZ");
    key(Qt::Key_F10);
    QVERIFY(m_prompter.texts().isEmpty());
    // An unresolved call with no country chosen is stored with country 0.
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT CALL, COUNTRY FROM QSOS"), QByteArray("QQ9ZZ|0"));
    QCOMPARE(statsAfterRebuild(), QByteArray());
}

void TestEntry::warningsDoNotStopTheAdd()
{
    QVERIFY(start("UPDATE PARAMETERS SET VALUE = 'N' WHERE PARAMETER = 'AskYesNo'"));
    // CW on 7.005 with 599/599: no warning.
    m_view->freqEdit()->setText("7.005");
    m_view->bandEdit()->setText("40");
    type(m_view->callEdit(), "F5ABC");
    key(Qt::Key_F10);
    QVERIFY(m_prompter.texts().isEmpty());

    // 13.9 lies in no band: warned, and stored with the band field's text.
    m_view->freqEdit()->setText("13.9");
    type(m_view->callEdit(), "F5ABD");
    key(Qt::Key_F10);
    QCOMPARE(m_prompter.texts(), QStringList({"Frequency possible not correct..."}));

    // SSB chosen in the mode list sets 59/59; a 599 typed over it is warned about.
    m_prompter.clear();
    m_view->freqEdit()->setText("14.250");
    m_view->modeList()->setFocus();
    key(Qt::Key_Down);
    QCOMPARE(m_view->modeList()->currentText(), QStringLiteral("SSB"));
    QCOMPARE(m_view->rstSentEdit()->text(), QStringLiteral("59"));
    m_view->rstSentEdit()->setText("599");
    type(m_view->callEdit(), "F5ABE");
    key(Qt::Key_F10);
    QCOMPARE(m_prompter.texts(), QStringList({"Rst not correct in SSB mode...\nexample \"59\""}));

    // CW with a two-figure report.
    m_prompter.clear();
    m_view->modeList()->setFocus();
    key(Qt::Key_Up);
    m_view->rstRcvdEdit()->setText("59");
    type(m_view->callEdit(), "F5ABF");
    key(Qt::Key_F10);
    QCOMPARE(m_prompter.texts(), QStringList({"Rst not correct in CW mode...\nexample \"599\""}));
    QCOMPARE(m_prompter.shown().first().icon, Prompter::Icon::Warning);

    QCOMPARE(SqlHelpers::rows(m_log, "SELECT CALL, FREQ, BAND, MODE, SENT, RCVD FROM QSOS ORDER BY ID"),
             QByteArray("F5ABC|7.005|40|1|599|599\nF5ABD|13.9|40|1|599|599\nF5ABE|14.250|40|2|599|59\n"
                        "F5ABF|14.250|40|1|599|59"));
    QCOMPARE(statsAfterRebuild(), QByteArray("227|40|1|3|0\n227|40|2|1|0"));
}

void TestEntry::failedInsertChangesNothing()
{
    QVERIFY(start("UPDATE PARAMETERS SET VALUE = 'N' WHERE PARAMETER = 'AskYesNo'"));
    storeQso("DL1AA", "2026-01-01", "20", 1, 1, kGermany);
    QVERIFY(SqlHelpers::exec(m_log, "CREATE TRIGGER NOINSERT BEFORE INSERT ON QSOS BEGIN SELECT RAISE(FAIL, 'no'); END"));
    Sqlite3DB().RebuildDxccStats(m_log);
    key(Qt::Key_F6);
    type(m_view->callEdit(), "DL2BB");
    key(Qt::Key_F10);
    QCOMPARE(m_prompter.texts(), QStringList({"Error writing to database..."}));
    QCOMPARE(m_prompter.shown().first().icon, Prompter::Icon::Error);
    QCOMPARE(SqlHelpers::count(m_log, "QSOS"), 1);
    QCOMPARE(SqlHelpers::rows(m_log, kStatsQuery), QByteArray("230|20|1|1|0"));
    // Add resolved the call as leaving the field does: the list is DL2BB's, still empty,
    // and the grid Germany's, without the QSO that was not stored.
    QCOMPARE(m_view->workedList()->rowCount(), 0);
    QCOMPARE(m_view->foundCountLabel()->text(), QStringLiteral("0"));
    QCOMPARE(m_view->workedLineLabel(1)->text(), QStringLiteral("  \t \t \t \tW\t \t \t \t \t  \t "));
    // The QSO stays on the form for another try.
    QCOMPARE(m_view->callEdit()->text(), QStringLiteral("DL2BB"));
}

void TestEntry::clearFormAndSetRstFollowTheMode()
{
    QVERIFY(start());
    type(m_view->callEdit(), "DL1ABC");
    type(m_view->nameEdit(), "Hans");
    type(m_view->cqZoneEdit(), "14");
    m_view->modeList()->setFocus();
    for (int i = 0; i < 3; ++i)
        key(Qt::Key_Down);
    QCOMPARE(m_view->modeList()->currentText(), QStringLiteral("FM"));
    m_view->rstSentEdit()->setText("57");
    key(Qt::Key_F3);
    QCOMPARE(m_view->rstSentEdit()->text(), QStringLiteral("59"));
    QCOMPARE(m_view->rstRcvdEdit()->text(), QStringLiteral("59"));
    for (QLineEdit *edit : {m_view->callEdit(), m_view->nameEdit(), m_view->cqZoneEdit()})
        QCOMPARE(edit->text(), QString());
    QCOMPARE(m_view->countryList()->currentIndex(), 0);
    QCOMPARE(m_view->modeList()->currentText(), QStringLiteral("FM"));
    QCOMPARE(m_view->infoLine1Label()->text(), QString());
    QCOMPARE(m_view->foundCountLabel()->text(), QStringLiteral("0"));
    QVERIFY(m_view->callEdit()->hasFocus());

    // RTTY: 599 under both rules.
    m_view->modeList()->setFocus();
    key(Qt::Key_Up);
    QCOMPARE(m_view->rstSentEdit()->text(), QStringLiteral("599"));
    m_view->rstSentEdit()->setText("5");
    key(Qt::Key_F3);
    QCOMPARE(m_view->rstSentEdit()->text(), QStringLiteral("599"));
    // A typed mode no entry carries: Set RST gives 599, Clear Form 59.
    m_view->modeList()->setEditText("XYZ");
    key(Qt::Key_F9);
    QCOMPARE(m_view->rstSentEdit()->text(), QStringLiteral("599"));
    m_view->modeList()->setEditText("XYZ");
    key(Qt::Key_F3);
    QCOMPARE(m_view->rstSentEdit()->text(), QStringLiteral("59"));
}

// --- Station information, worked-before list and grid lines -------------------------

void TestEntry::leavingTheCallShowsStationAndWorkedBefore()
{
    storeQso("DL1ABC", "2026-01-02", "20", 1, 2, kGermany, "08:15:00");
    storeQso("DL1XYZ/P", "2026-01-03", "20", 1, 1, kGermany);
    storeQso("DL1ABC", "2026-01-04", "40", 1, 1, kGermany);
    storeQso("DK1AA", "2026-01-05", "60", 1, 1, kGermany);
    storeQso("DL1ABC", "2026-01-06", "20", 2, 1, kGermany);
    Sqlite3DB().RebuildDxccStats(m_log);
    QVERIFY(SqlHelpers::exec("korva3.sqlite3", "INSERT INTO QSLMGRS (CALL, QSLMGR) VALUES ('DL1ABC', 'DJ9ZB')"));
    QVERIFY(start());
    type(m_view->callEdit(), "DL1ABC");
    leave(m_view->callEdit());
    QCOMPARE(m_view->infoLine1Label()->text(), QStringLiteral("  Fed. Rep. of Germany DL  utc: -1.0  EU"));
    // From JN47QK to the entity's position 51.00 N 10.00 E.
    QCOMPARE(m_view->infoLine2Label()->text(), QStringLiteral("  399 km 248 miles,  sp   6\u00b0, lp 186\u00b0"));
    QCOMPARE(m_view->cqZoneEdit()->text(), QStringLiteral("14"));
    QCOMPARE(m_view->qslMgrEdit()->text(), QStringLiteral("DJ9ZB"));
    // Calls beginning with DL1ABC, newest on top.
    QCOMPARE(m_view->workedList()->rowCount(), 3);
    QCOMPARE(row(0), QStringList({"06-01-2026", "10:00", "DL1ABC", "599", "579", "14.012.0", "SSB", "N", "N"}));
    QCOMPARE(row(2), QStringList({"02-01-2026", "08:15", "DL1ABC", "599", "579", "14.012.0", "CW", "N", "Y"}));
    QCOMPARE(m_view->foundCountLabel()->text(), QStringLiteral("3"));
    // CW: worked on 40, confirmed on 20; the 60 m QSO has no cell.
    QCOMPARE(m_view->workedLineLabel(1)->text(), QStringLiteral("  \t \tW\t \tC\t \t \t \t \t  \t "));
    QCOMPARE(m_view->workedLineLabel(2)->text(), QStringLiteral("  \t \t \t \tW\t \t \t \t \t  \t "));
    QCOMPARE(m_view->workedLineLabel(3)->text(), QStringLiteral("  \t \t \t \t \t \t \t \t \t  \t "));

    // A QSL manager already on the form stays.
    m_view->qslMgrEdit()->setText("PA3XX");
    leave(m_view->callEdit());
    QCOMPARE(m_view->qslMgrEdit()->text(), QStringLiteral("PA3XX"));
}

void TestEntry::listOptionsChooseWhatIsListed()
{
    storeQso("DL1ABC", "2026-01-02", "20", 1, 1, kGermany);
    storeQso("DL1XYZ/P", "2026-01-03", "20", 1, 1, kGermany);
    storeQso("DK1AA", "2026-01-05", "40", 1, 1, kGermany);
    storeQso("G4XYZ", "2026-01-06", "20", 1, 1, kEngland);
    QVERIFY(start());
    QCOMPARE(m_view->workedList()->rowCount(), 4);
    type(m_view->callEdit(), "DL1");
    leave(m_view->callEdit());
    QCOMPARE(m_view->workedList()->rowCount(), 2);
    QCOMPARE(row(0).at(2), QStringLiteral("DL1XYZ/P"));
    QCOMPARE(row(1).at(2), QStringLiteral("DL1ABC"));

    QTest::mouseClick(m_view->searchByCountryBox(), Qt::LeftButton);
    leave(m_view->callEdit());
    QCOMPARE(m_view->workedList()->rowCount(), 3);
    QCOMPARE(row(0).at(2), QStringLiteral("DK1AA"));
    QCOMPARE(m_view->foundCountLabel()->text(), QStringLiteral("3"));

    // With "List qso's b4" clear the list stays as it was.
    QTest::mouseClick(m_view->listBeforeBox(), Qt::LeftButton);
    m_view->callEdit()->clear();
    type(m_view->callEdit(), "G4");
    leave(m_view->callEdit());
    QCOMPARE(m_view->workedList()->rowCount(), 3);
    QCOMPARE(row(0).at(2), QStringLiteral("DK1AA"));
}

void TestEntry::latestQsosNewestOnTop()
{
    for (int day = 1; day <= 45; ++day)
        storeQso(QStringLiteral("DL%1AA").arg(day), DbDateTime::formatDate(QDate(2026, 1, 1).addDays(day)), "20", 1,
                 1, kGermany);
    // A mode the mode list does not carry shows an empty Mode column.
    QVERIFY(SqlHelpers::exec(m_log, "UPDATE QSOS SET MODE = 9 WHERE CALL = 'DL45AA'"));
    QVERIFY(start());
    QCOMPARE(m_view->workedList()->rowCount(), 30);
    type(m_view->callEdit(), "DL45AA");
    leave(m_view->callEdit());
    QCOMPARE(m_view->workedList()->rowCount(), 1);
    key(Qt::Key_F6);
    QCOMPARE(m_view->workedList()->rowCount(), 30);
    QCOMPARE(m_view->foundCountLabel()->text(), QStringLiteral("30"));
    QCOMPARE(row(0), QStringList({"15-02-2026", "10:00", "DL45AA", "599", "579", "14.012.0", "", "N", "N"}));
    QCOMPARE(row(29).mid(0, 3), QStringList({"17-01-2026", "10:00", "DL16AA"}));
    key(Qt::Key_F6, Qt::ControlModifier);
    QCOMPARE(m_view->workedList()->rowCount(), 45);
    QCOMPARE(m_view->foundCountLabel()->text(), QStringLiteral("45"));
    QCOMPARE(row(44).mid(0, 3), QStringList({"02-01-2026", "10:00", "DL1AA"}));
}

void TestEntry::storedDateThatIsNoCalendarDateIsListedAsStored()
{
    storeQso("DL1AA", "2026-01-02", "20", 1, 1, kGermany);
    storeQso("DL2BB", "2026-02-31", "20", 1, 1, kGermany, "10:00:00");
    storeQso("DL3CC", "2026-03-01", "20", 1, 1, kGermany, "24:10:00");
    storeQso("DL4DD", "2026-03-02", "20", 1, 1, kGermany, "11:05");
    QVERIFY(start());
    QCOMPARE(m_view->workedList()->rowCount(), 4);
    QCOMPARE(row(0).mid(0, 3), QStringList({"02-03-2026", "11:05", "DL4DD"}));
    QCOMPARE(row(1).mid(0, 3), QStringList({"2026-03-01", "24:10:00", "DL3CC"}));
    QCOMPARE(row(2).mid(0, 3), QStringList({"2026-02-31", "10:00:00", "DL2BB"}));
    QCOMPARE(row(3).mid(0, 3), QStringList({"02-01-2026", "10:00", "DL1AA"}));
}

void TestEntry::gridFieldGivesTheDistanceLine()
{
    QVERIFY(start("UPDATE PARAMETERS SET VALUE = 'IO91WM' WHERE PARAMETER = 'gridlocator'"));
    type(m_view->gridEdit(), "fn31pr");
    QCOMPARE(m_view->gridEdit()->text(), QStringLiteral("FN31PR"));
    leave(m_view->gridEdit());
    QCOMPARE(m_view->infoLine2Label()->text(), QStringLiteral("  5414 km 3364 miles,  sp 289\u00b0, lp 109\u00b0"));
    // Fewer than 4 characters change nothing.
    m_view->gridEdit()->clear();
    type(m_view->gridEdit(), "IO9");
    leave(m_view->gridEdit());
    QCOMPARE(m_view->infoLine2Label()->text(), QStringLiteral("  5414 km 3364 miles,  sp 289\u00b0, lp 109\u00b0"));
    QTest::keyClicks(m_view->gridEdit(), "1ZZ");
    leave(m_view->gridEdit());
    QCOMPARE(m_view->infoLine2Label()->text(), QStringLiteral(" No valid locator"));
    m_view->gridEdit()->clear();
    type(m_view->gridEdit(), "IO91WM");
    leave(m_view->gridEdit());
    QCOMPARE(m_view->infoLine2Label()->text(), QStringLiteral("  0 km 0 miles,  sp   0\u00b0, lp 180\u00b0"));
    QCOMPARE(m_view->infoLine1Label()->text(), QStringLiteral("   Your latest qso's (shortkey F6)"));

    // Choosing a country shows its line; the blank entry asks with id 0, whose record
    // has empty texts and position 0, 0.
    m_view->countryList()->setFocus();
    key(Qt::Key_Down);
    key(Qt::Key_Home);
    QCOMPARE(m_view->infoLine1Label()->text(), QStringLiteral("     utc: 0.0  "));
    QCOMPARE(m_view->infoLine2Label()->text(), QStringLiteral("  5728 km 3559 miles,  sp 180\u00b0, lp 360\u00b0"));
}

void TestEntry::transceiverReadingKeepsNineCharacters()
{
    QVERIFY(start("UPDATE PARAMETERS SET VALUE = 'N' WHERE PARAMETER = 'AskYesNo'"));
    m_view->SetTrxReading(TrxReading{"100.000.0", "", kSsb, "59"});
    QCOMPARE(m_view->freqEdit()->text(), QStringLiteral("100.000.0"));
    QCOMPARE(m_view->modeList()->currentText(), QStringLiteral("SSB"));
    QCOMPARE(m_view->rstRcvdEdit()->text(), QStringLiteral("59"));
    // The form holds at most 8 characters there: adding refuses with the standard text.
    type(m_view->callEdit(), "DL1ABC");
    key(Qt::Key_F10);
    QCOMPARE(m_prompter.texts(), QStringList({"Please enter no more than 8 characters."}));
    QCOMPARE(SqlHelpers::count(m_log, "QSOS"), 0);

    m_prompter.clear();
    m_view->SetTrxReading(TrxReading{"14.025.0", "20", kCw, "599"});
    QCOMPARE(m_view->freqEdit()->maxLength(), 8);
    m_view->callEdit()->setFocus();
    key(Qt::Key_F10);
    QVERIFY(m_prompter.texts().isEmpty());
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT FREQ, BAND, MODE, SENT FROM QSOS"), QByteArray("14.025.0|20|1|599"));
}

// --- Change and delete --------------------------------------------------------------

// A mode typed into the list's field is no choice from the list: the reports typed for
// it stay, and the warnings look at the mode that is stored.
void TestEntry::typedModeKeepsTheTypedReports()
{
    QVERIFY(start("UPDATE PARAMETERS SET VALUE = 'N' WHERE PARAMETER = 'AskYesNo'"));
    m_view->modeList()->setFocus();
    key(Qt::Key_Down); // SSB, chosen: 59/59
    QCOMPARE(m_view->rstSentEdit()->text(), QStringLiteral("59"));
    m_view->modeList()->lineEdit()->selectAll();
    type(m_view->modeList()->lineEdit(), "cw");
    leave(m_view->modeList());
    type(m_view->rstSentEdit(), "\b\b579");
    m_view->rstRcvdEdit()->setText("569");
    type(m_view->callEdit(), "F5ABC");
    leave(m_view->callEdit());
    QCOMPARE(m_view->rstSentEdit()->text(), QStringLiteral("579"));
    key(Qt::Key_F10);
    QVERIFY2(m_prompter.texts().isEmpty(), qPrintable(m_prompter.texts().join('|')));
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT CALL, MODE, SENT, RCVD FROM QSOS"), QByteArray("F5ABC|1|579|569"));

    // Typed over with SSB and the three-figure reports the last CW QSO left behind (its
    // mode's default): warned about SSB, stored as SSB.
    m_view->modeList()->lineEdit()->selectAll();
    type(m_view->modeList()->lineEdit(), "ssb");
    type(m_view->callEdit(), "F5ABD");
    key(Qt::Key_F10);
    QCOMPARE(m_prompter.texts(), QStringList({"Rst not correct in SSB mode...\nexample \"59\""}));
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT CALL, MODE, SENT, RCVD FROM QSOS WHERE CALL = 'F5ABD'"),
             QByteArray("F5ABD|2|599|599"));
}

void TestEntry::changeKeepsTheStatisticsInStep()
{
    storeQso("DL1ABC", "2026-01-02", "20", 1, 1, kGermany);
    storeQso("G4XYZ", "2026-01-03", "20", 1, 1, kEngland);
    Sqlite3DB().RebuildDxccStats(m_log);
    QVERIFY(start());
    m_view->workedList()->selectRow(1);
    QVERIFY(m_frame->action(ID_CHANGE_QSO)->isEnabled());

    // Only the name: no statistics call, so nothing in DXCCREPORT moves.
    QVERIFY(SqlHelpers::exec(m_log, "CREATE TABLE TRACE(N INTEGER); CREATE TRIGGER T AFTER UPDATE ON DXCCREPORT "
                                    "BEGIN INSERT INTO TRACE VALUES (1); END"));
    onDialog([](CEditQso *dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit Qso"));
        QCOMPARE(dialog->callEdit()->text(), QStringLiteral("DL1ABC"));
        QCOMPARE(dialog->countryList()->currentText(), QStringLiteral("Fed. Rep. of Germany"));
        dialog->nameEdit()->setText("O'Hara");
        dialog->accept();
    });
    key(Qt::Key_F4);
    QVERIFY(dialogPlayed());
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT NAME, TIME FROM QSOS WHERE CALL = 'DL1ABC'"), QByteArray("O'Hara|10:00:00"));
    QCOMPARE(SqlHelpers::count(m_log, "TRACE"), 0);

    // QSL received N to Y: worked stays, confirmed rises.
    onDialog([](CEditQso *dialog) {
        dialog->qslRcvdList()->setCurrentIndex(1);
        dialog->accept();
    });
    key(Qt::Key_F4);
    QVERIFY(dialogPlayed());
    QCOMPARE(SqlHelpers::count(m_log, "TRACE"), 2);
    QCOMPARE(statsAfterRebuild(), QByteArray("223|20|1|1|0\n230|20|1|1|1"));
    QCOMPARE(row(1), QStringList({"02-01-2026", "10:00", "DL1ABC", "599", "579", "14.012.0", "CW", "N", "Y"}));

    // Band 20 to 40 through the frequency field, opened with a double click.
    onDialog([](CEditQso *dialog) {
        dialog->freqEdit()->setFocus();
        QVERIFY(QTest::qWaitFor([dialog] { return dialog->freqEdit()->hasFocus(); }));
        dialog->freqEdit()->setText("7.025");
        QTest::keyClick(dialog->freqEdit(), Qt::Key_Tab);
        QCOMPARE(dialog->bandEdit()->text(), QStringLiteral("40"));
        dialog->accept();
    });
    const QRect cell = m_view->workedList()->visualItemRect(m_view->workedList()->item(1, 2));
    m_frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_frame));
    QTest::mouseClick(m_view->workedList()->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(m_view->workedList()->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(dialogPlayed());
    QCOMPARE(statsAfterRebuild(), QByteArray("223|20|1|1|0\n230|40|1|1|1"));
    QCOMPARE(row(1).at(5), QStringLiteral("7.025"));
    QVERIFY(m_prompter.texts().isEmpty());
}

void TestEntry::changeCancelledOrFailedChangesNothing()
{
    storeQso("DL1ABC", "2026-01-02", "20", 1, 1, kGermany);
    Sqlite3DB().RebuildDxccStats(m_log);
    QVERIFY(start());
    m_view->workedList()->selectRow(0);
    const QByteArray before = SqlHelpers::rows(m_log, QByteArray("SELECT ") + kQsoColumns + " FROM QSOS");
    onDialog([](CEditQso *dialog) {
        dialog->bandEdit()->setText("40");
        dialog->reject();
    });
    key(Qt::Key_F4);
    QVERIFY(dialogPlayed());
    QCOMPARE(SqlHelpers::rows(m_log, QByteArray("SELECT ") + kQsoColumns + " FROM QSOS"), before);

    QVERIFY(SqlHelpers::exec(m_log, "CREATE TRIGGER NOUPDATE BEFORE UPDATE ON QSOS BEGIN SELECT RAISE(FAIL, 'no'); END"));
    onDialog([](CEditQso *dialog) {
        dialog->bandEdit()->setText("40");
        dialog->callEdit()->setText("DL1ABD");
        dialog->accept();
    });
    key(Qt::Key_F4);
    QVERIFY(dialogPlayed());
    QCOMPARE(m_prompter.texts(), QStringList({"Error writing to database..."}));
    QCOMPARE(SqlHelpers::rows(m_log, QByteArray("SELECT ") + kQsoColumns + " FROM QSOS"), before);
    QCOMPARE(SqlHelpers::rows(m_log, kStatsQuery), QByteArray("230|20|1|1|0"));
    QCOMPARE(row(0).at(2), QStringLiteral("DL1ABC"));
}

void TestEntry::editDialogFieldsAndButtons()
{
    storeQso("DL1ABC", "2026-01-02", "20", 1, 1, kGermany, "10:20:33");
    // A mode no entry carries opens as the first mode.
    QVERIFY(SqlHelpers::exec(m_log, "UPDATE QSOS SET MODE = 9, QSLMGR = 'DJ9ZB'"));
    QVERIFY(start());
    m_view->workedList()->selectRow(0);
    onDialog([](CEditQso *dialog) {
        QCOMPARE(dialog->dateEdit()->date(), QDate(2026, 1, 2));
        QCOMPARE(dialog->timeEdit()->time(), QTime(10, 20, 33));
        QCOMPARE(dialog->modeList()->currentText(), QStringLiteral("CW"));
        QCOMPARE(dialog->qslMgrEdit()->text(), QStringLiteral("DJ9ZB"));
        // No QSL manager known for the call: the button empties the field.
        QTest::mouseClick(dialog->qslMgrDbButton(), Qt::LeftButton);
        QCOMPARE(dialog->qslMgrEdit()->text(), QString());
        // Reports take digits only; the grid takes capitals.
        dialog->rstSentEdit()->clear();
        QTest::keyClicks(dialog->rstSentEdit(), "5a7");
        dialog->gridEdit()->clear();
        QTest::keyClicks(dialog->gridEdit(), "jo31");
        dialog->accept();
    });
    key(Qt::Key_F4);
    QVERIFY(dialogPlayed());
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT MODE, QSLMGR, SENT, GRID, DATE, TIME FROM QSOS"),
             QByteArray("1||57|JO31|2026-01-02|10:20:33"));
}

void TestEntry::editDialogWritesBackTheStoredDateAndTime_data()
{
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("shownDate");
    QTest::addColumn<QString>("shownTime");
    QTest::newRow("before 1970") << "1965-05-01" << "18:30:00" << "01-05-1965" << "18:30:00";
    QTest::newRow("imported without TIME_ON") << "2024-03-15" << "" << "15-03-2024" << "00:00:00";
    QTest::newRow("unreadable date and time") << "2024-13-45" << "1:2" << "01-01-1970" << "00:00:00";
    QTest::newRow("hours and minutes only") << "2024-03-15" << "10:15" << "15-03-2024" << "10:15:00";
}

// OK with the date and time untouched writes them back as they were stored, whatever
// they are; a changed picker writes its own value.
void TestEntry::editDialogWritesBackTheStoredDateAndTime()
{
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(QString, shownDate);
    QFETCH(QString, shownTime);
    storeQso("DL1ABC", date, "20", 1, 1, kGermany, time);
    QVERIFY(start());
    m_view->workedList()->selectRow(0);
    onDialog([shownDate, shownTime](CEditQso *dialog) {
        QCOMPARE(dialog->dateEdit()->text(), shownDate);
        QCOMPARE(dialog->timeEdit()->text(), shownTime);
        dialog->nameEdit()->setText("Hans");
        dialog->accept();
    });
    key(Qt::Key_F4);
    QVERIFY(dialogPlayed());
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT DATE, TIME, NAME FROM QSOS"), (date + '|' + time + "|Hans").toLatin1());

    onDialog([](CEditQso *dialog) {
        dialog->timeEdit()->setTime(QTime(23, 59, 30));
        dialog->accept();
    });
    key(Qt::Key_F4);
    QVERIFY(dialogPlayed());
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT DATE, TIME FROM QSOS"), (date + "|23:59:30").toLatin1());
    QVERIFY(m_prompter.texts().isEmpty());
}

void TestEntry::deleteAsksAndKeepsTheStatisticsInStep()
{
    storeQso("DL1ABC", "2026-01-02", "20", 1, 2, kGermany);
    storeQso("DL1ABC", "2026-01-03", "20", 1, 1, kGermany);
    storeQso("G4XYZ", "2026-01-04", "40", 2, 1, kEngland);
    Sqlite3DB().RebuildDxccStats(m_log);
    QVERIFY(start());
    QVERIFY(!m_frame->action(ID_DELETE_QSO)->isEnabled());
    m_view->workedList()->selectRow(2);
    QVERIFY(m_frame->action(ID_DELETE_QSO)->isEnabled());

    m_prompter.setNextAnswer(Prompter::Answer::Cancel);
    key(Qt::Key_F8);
    QCOMPARE(m_prompter.texts(), QStringList({"Delete selected qso?"}));
    QCOMPARE(m_prompter.shown().first().caption, QStringLiteral("Korva3"));
    QCOMPARE(SqlHelpers::count(m_log, "QSOS"), 3);
    QCOMPARE(m_view->workedList()->rowCount(), 3);

    m_prompter.setNextAnswer(Prompter::Answer::Ok);
    key(Qt::Key_F8);
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT ID FROM QSOS ORDER BY ID"), QByteArray("2\n3"));
    QCOMPARE(statsAfterRebuild(), QByteArray("223|40|2|1|0\n230|20|1|1|0"));
    QCOMPARE(m_view->workedList()->rowCount(), 2);
    QCOMPARE(m_view->foundCountLabel()->text(), QStringLiteral("2"));
    // No row stays marked: a second F8 reaches no other QSO.
    QCOMPARE(m_view->selectionMark(), -1);
    QVERIFY(m_view->workedList()->selectedItems().isEmpty());
    QVERIFY(!m_frame->action(ID_DELETE_QSO)->isEnabled());
    QVERIFY(!m_frame->action(ID_CHANGE_QSO)->isEnabled());
    m_prompter.clear();
    key(Qt::Key_F8);
    QCOMPARE(m_prompter.texts(), QStringList());
    QCOMPARE(SqlHelpers::count(m_log, "QSOS"), 2);

    // A failed delete keeps the row, the QSO and its statistics.
    QVERIFY(SqlHelpers::exec(m_log, "CREATE TRIGGER NODELETE BEFORE DELETE ON QSOS BEGIN SELECT RAISE(FAIL, 'no'); END"));
    m_prompter.clear();
    m_view->workedList()->selectRow(0);
    m_prompter.setNextAnswer(Prompter::Answer::Ok);
    key(Qt::Key_F8);
    QCOMPARE(m_prompter.texts(), QStringList({"Delete selected qso?", "Error writing to database..."}));
    QCOMPARE(SqlHelpers::count(m_log, "QSOS"), 2);
    QCOMPARE(m_view->workedList()->rowCount(), 2);
    QCOMPARE(SqlHelpers::rows(m_log, kStatsQuery), QByteArray("223|40|2|1|0\n230|20|1|1|0"));
}

void TestEntry::vanishedRowIsRefused()
{
    storeQso("DL1ABC", "2026-01-02", "20", 1, 1, kGermany);
    Sqlite3DB().RebuildDxccStats(m_log);
    QVERIFY(start());
    m_view->workedList()->selectRow(0);
    // Deleted behind the form's back, as from another window of the logbook.
    QVERIFY(SqlHelpers::exec(m_log, "DELETE FROM QSOS"));
    key(Qt::Key_F4);
    m_prompter.setNextAnswer(Prompter::Answer::Ok);
    key(Qt::Key_F8);
    QCOMPARE(m_prompter.texts(),
             QStringList({"Error retrieving qso data from database...", "Error retrieving qso data from database..."}));
    QCOMPARE(m_view->workedList()->rowCount(), 1);
    QCOMPARE(SqlHelpers::rows(m_log, kStatsQuery), QByteArray("230|20|1|1|0"));
}

// The entry form's list and grid, the QSL window and both reports follow a change of
// mode, a delete, and another program's import, each without the call typed again.
void TestEntry::windowsFollowEveryChangeOfTheLogbook()
{
    storeQso("DL1ABC", "2026-01-02", "20", 1, 1, kGermany);
    QVERIFY(SqlHelpers::exec(m_log, "UPDATE QSOS SET CQZONE = '14'"));
    Sqlite3DB().RebuildDxccStats(m_log);
    QVERIFY(start("UPDATE PARAMETERS SET VALUE = 'N' WHERE PARAMETER = 'AskYesNo'"));
    type(m_view->callEdit(), "DL1ABC");
    leave(m_view->callEdit());
    const QString workedOn20 = QStringLiteral("  \t \t \t \tW\t \t \t \t \t  \t ");
    QCOMPARE(m_view->workedLineLabel(1)->text(), workedOn20);
    QMdiSubWindow *logbook = m_frame->activeFrame();
    QVERIFY(m_frame->runCommand(ID_QSO_QSL_CARDS));
    CQslView *qsl = qobject_cast<CQslChildFrm *>(m_frame->activeFrame())->view();
    qsl->lookupField()->setText("DL");
    qsl->OnLookupQsos();
    CDxccReport dxcc(m_view, m_view->GetDocument());
    CCqzoneReport cqZones(m_view, m_view->GetDocument());
    const auto shown = [&] {
        return QStringList{m_view->workedLineLabel(1)->text() == workedOn20 ? "CW" : "",
                           m_view->workedLineLabel(2)->text() == workedOn20 ? "SSB" : "",
                           QString::number(qsl->qsoList()->rowCount()),
                           qsl->qsoList()->rowCount() > 0 ? qsl->qsoList()->item(0, 6)->text() : QString(),
                           dxcc.fieldText(CDxccReport::kCellIds[4][0]), dxcc.fieldText(CDxccReport::kCellIds[4][1]),
                           dxcc.fieldText(CDxccReport::kTotalQsosId), cqZones.rowText(4).section('\t', 13, 13)}
            .join(QLatin1Char('|'));
    };
    QCOMPARE(shown(), QStringLiteral("CW||1|CW|1/0|0/0|1|W"));

    m_frame->mdiArea()->setActiveSubWindow(logbook);
    m_view->workedList()->selectRow(0);
    onDialog([](CEditQso *dialog) {
        dialog->modeList()->setCurrentIndex(1);
        dialog->accept();
    });
    key(Qt::Key_F4);
    QVERIFY(dialogPlayed());
    QCOMPARE(shown(), QStringLiteral("|SSB|1|SSB|0/0|1/0|1|W"));

    m_view->workedList()->selectRow(0);
    m_prompter.setNextAnswer(Prompter::Answer::Ok);
    key(Qt::Key_F8);
    QCOMPARE(shown(), QStringLiteral("||0||0/0|0/0|0| "));

    // korva3-cli, another program, imports into the open logbook.
    QVERIFY(TestDir::writeFile("two.adi", "<EOH><CALL:6>DL2ABC<QSO_DATE:8>20260105<TIME_ON:4>1000<BAND:3>20m"
                                          "<MODE:2>CW<DXCC:3>230<CQZ:2>14<EOR><CALL:6>DL1ABC<QSO_DATE:8>20260106"
                                          "<TIME_ON:4>1000<BAND:3>20m<MODE:2>CW<DXCC:3>230<CQZ:2>14<EOR>"));
    QProcess cli;
    cli.start(QStringLiteral(KORVA3_CLI_PATH), {QStringLiteral("import"), m_log, QStringLiteral("two.adi")});
    QVERIFY(cli.waitForFinished(30000));
    QCOMPARE(cli.readAllStandardOutput(), QByteArray("2 Qso Records added\n"));
    QTRY_COMPARE_WITH_TIMEOUT(shown(), QStringLiteral("CW||2|CW|1/0|0/0|2|W"), 2000);
    QCOMPARE(m_view->workedList()->rowCount(), 1);
}

// The date and time are UTC and run while the form is empty (the test runs in Tokyo's
// time zone, where a slip into local time shows); the first keystroke of a call is the
// QSO's start, and a time the operator sets stays.
void TestEntry::clockRunsUntilTheCallStarts()
{
    const QDateTime opened = g_now;
    QVERIFY(start("UPDATE PARAMETERS SET VALUE = 'N' WHERE PARAMETER = 'AskYesNo'"));
    QCOMPARE(m_view->timeEdit()->time(), QTime(13, 37, 52));
    g_now = opened.addSecs(90);
    QTRY_COMPARE(m_view->timeEdit()->time(), QTime(13, 39, 22));
    type(m_view->callEdit(), "O");
    g_now = opened.addSecs(150);
    QVERIFY(!m_view->clockRunning());
    type(m_view->callEdit(), "K1ABC");
    m_view->rstRcvdEdit()->setText("579");
    key(Qt::Key_F10);
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT DATE, TIME, CALL, RCVD FROM QSOS"),
             QByteArray("2026-03-14|13:39:22|OK1ABC|579"));
    // The next QSO starts with the mode's reports.
    QCOMPARE(m_view->rstRcvdEdit()->text() + m_view->rstSentEdit()->text(), QStringLiteral("599599"));
    QTRY_COMPARE(m_view->timeEdit()->time(), QTime(13, 40, 22));

    m_view->timeEdit()->setFocus();
    m_view->timeEdit()->setSelectedSection(QDateTimeEdit::HourSection);
    QTest::keyClicks(m_view->timeEdit(), "09");
    g_now = opened.addSecs(300);
    QVERIFY(!m_view->clockRunning());
    type(m_view->callEdit(), "DL1ABC");
    key(Qt::Key_F10);
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT TIME FROM QSOS WHERE CALL = 'DL1ABC'"), QByteArray("09:40:22"));
    g_now = opened;
}

void TestEntry::modesOfToday_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("stored");   // MODE code and the kept MODE and SUBMODE
    QTest::addColumn<QString>("listed");
    QTest::newRow("FT8") << "FT8" << QByteArray("3|MODE=FT8") << "FT8";
    QTest::newRow("ft4 in small letters") << "ft4" << QByteArray("3|MODE=MFSK,SUBMODE=FT4") << "FT4";
    QTest::newRow("digital voice counts as phone") << "DSTAR" << QByteArray("2|MODE=DIGITALVOICE,SUBMODE=DSTAR")
                                                   << "DSTAR";
    QTest::newRow("a mode of the five") << "cw" << QByteArray("1|") << "CW";
    QTest::newRow("unknown") << "XYZ" << QByteArray() << QString();
}

// A mode typed or chosen is stored as its code with its ADIF MODE and SUBMODE, shown by
// its own name in the list and in Edit Qso, which keeps it; an unknown one is refused.
void TestEntry::modesOfToday()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, stored);
    QFETCH(QString, listed);
    QVERIFY(start("UPDATE PARAMETERS SET VALUE = 'N' WHERE PARAMETER = 'AskYesNo'"));
    m_view->modeList()->setEditText(typed);
    type(m_view->callEdit(), "JA1ABC");
    key(Qt::Key_F10);
    const QByteArray kept = "SELECT MODE || '|' || COALESCE((SELECT group_concat(NAME || '=' || VALUE, ',') FROM "
                            "QSOFIELDS WHERE QSO = QSOS.ID AND NAME IN ('MODE', 'SUBMODE')), '') FROM QSOS";
    QCOMPARE(SqlHelpers::rows(m_log, kept), stored);
    if (stored.isEmpty()) {
        QCOMPARE(m_prompter.texts(),
                 QStringList({QStringLiteral("The mode \"%1\" is not known: choose a mode of the list.").arg(typed)}));
        QCOMPARE(m_view->callEdit()->text(), QStringLiteral("JA1ABC"));
        return;
    }
    QCOMPARE(row(0).at(6), listed);
    m_view->workedList()->selectRow(0);
    onDialog([listed](CEditQso *dialog) {
        QCOMPARE(dialog->modeList()->currentText(), listed);
        dialog->nameEdit()->setText("Taro");
        dialog->accept();
    });
    key(Qt::Key_F4);
    QVERIFY(dialogPlayed());
    QCOMPARE(SqlHelpers::rows(m_log, kept), stored);
    QCOMPARE(row(0).at(6), listed);
}

void TestEntry::bandAndFrequencyAreCheckedOnLeaving_data()
{
    QTest::addColumn<bool>("inBand"); // typed into Band, else into Frequency
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("band"); // the Band field's text afterwards
    QTest::addColumn<QString>("told");
    const QString unknownBand = QStringLiteral("The band \"%1\" is not known: choose a band of the list "
                                               "(160, 80, 60, 40, 30, 20, 17, 15, 12, 10, 6, 2, 70, 23).");
    QTest::newRow("band with its unit") << true << "40m" << "40" << QString();
    QTest::newRow("band in small letters") << true << "2m" << "2" << QString();
    QTest::newRow("band of no plan") << true << "rtt" << "rtt" << unknownBand.arg("rtt");
    QTest::newRow("frequency sets its band") << false << "7.025" << "40" << QString();
    QTest::newRow("frequency in no band keeps the band") << false << "-08" << "20"
                                                         << "Frequency possible not correct...";
}

// Band and frequency are checked as the operator leaves them; a refused one keeps the
// focus, and a refused band stores nothing at Add either.
void TestEntry::bandAndFrequencyAreCheckedOnLeaving()
{
    QFETCH(bool, inBand);
    QFETCH(QString, typed);
    QFETCH(QString, band);
    QFETCH(QString, told);
    QVERIFY(start("UPDATE PARAMETERS SET VALUE = 'N' WHERE PARAMETER = 'AskYesNo'"));
    m_view->bandEdit()->setText(QStringLiteral("20"));
    QLineEdit *field = inBand ? m_view->bandEdit() : m_view->freqEdit();
    field->clear();
    type(field, typed);
    leave(field);
    QCOMPARE(m_view->bandEdit()->text(), band);
    QCOMPARE(m_prompter.texts(), told.isEmpty() ? QStringList() : QStringList{told});
    QCOMPARE(QApplication::focusWidget() == field, !told.isEmpty());
    if (!inBand || told.isEmpty())
        return;
    m_prompter.clear();
    m_view->callEdit()->setText(QStringLiteral("JA1ABC")); // the focus stays in Band
    key(Qt::Key_F10);
    QCOMPARE(m_prompter.texts(), QStringList{told});
    QCOMPARE(SqlHelpers::count(m_log, "QSOS"), 0);
}

void TestEntry::duplicateIsAskedFirst_data()
{
    QTest::addColumn<QString>("storedTime");
    QTest::addColumn<QString>("storedBand");
    QTest::addColumn<bool>("asked");
    QTest::newRow("8 minutes before, same band and mode") << "13:30:00" << "20" << true;
    QTest::newRow("11 minutes before") << "13:26:00" << "20" << false;
    QTest::newRow("another band") << "13:30:00" << "40" << false;
}

// The same call, band and mode within ten minutes asks first; Cancel stores nothing.
void TestEntry::duplicateIsAskedFirst()
{
    QFETCH(QString, storedTime);
    QFETCH(QString, storedBand);
    QFETCH(bool, asked);
    storeQso("DL1ABC", "2026-03-14", storedBand, 1, 1, kGermany, storedTime);
    QVERIFY(start("UPDATE PARAMETERS SET VALUE = 'N' WHERE PARAMETER = 'AskYesNo'"));
    m_view->bandEdit()->setText("20");
    type(m_view->callEdit(), "dl1abc");
    m_prompter.setNextAnswer(Prompter::Answer::Cancel);
    key(Qt::Key_F10);
    QCOMPARE(m_prompter.texts(), asked ? QStringList({"Duplicate qso: add it anyway?"}) : QStringList());
    QCOMPARE(SqlHelpers::count(m_log, "QSOS"), asked ? 1 : 2);
}

// The active profile's station goes with each new QSO, and out with the export.
void TestEntry::newQsoKeepsTheActiveStation()
{
    QVERIFY(start("UPDATE PARAMETERS SET VALUE = 'N' WHERE PARAMETER = 'AskYesNo'"));
    QVERIFY(SqlHelpers::exec("korva3.sqlite3", "INSERT INTO STATIONPROFILEFIELDS VALUES (1, 'STATION_CALLSIGN', "
                                               "'DL1XYZ'), (1, 'TX_PWR', '5')"));
    type(m_view->callEdit(), "G4ABC");
    key(Qt::Key_F10);
    QCOMPARE(SqlHelpers::rows(m_log, "SELECT NAME || '=' || VALUE FROM QSOFIELDS"),
             QByteArray("STATION_CALLSIGN=DL1XYZ\nMY_GRIDSQUARE=JN47QK"));
    QVERIFY(m_view->GetDocument()->ExportAdifFile(m_dir->filePath("out.adi")));
    const QByteArray exported = TestDir::readFile(m_dir->filePath("out.adi"));
    QVERIFY2(exported.contains("<STATION_CALLSIGN:6>DL1XYZ") && exported.contains("<MY_GRIDSQUARE:6>JN47QK"),
             exported.constData());
}

QTEST_MAIN(TestEntry)
#include "tst_entry.moc"
