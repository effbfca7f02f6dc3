#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/CKorva3App.h"
#include "app/CMainFrame.h"
#include "app/CQslChildFrm.h"
#include "app/CRadioFollower.h"
#include "app/CSingleInstance.h"
#include "app/CSplashWnd.h"
#include "common/MenuTexts.h"
#include "common/SampleProgramDatabase.h"
#include "common/SqlHelpers.h"
#include "common/TestDir.h"
#include "common/UniqueInstanceName.h"
#include "entry/CKorva3View.h"
#include "rig/CTrxLink.h"
#include "trxsim/PtyTransceiver.h"
#include "document/CKorva3Doc.h"
#include "platform/AppSettings.h"
#include "platform/CommandIds.h"
#include "platform/ScriptedPrompter.h"
#include "store/ProgramDb.h"
#include "store/Sqlite3DB.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTableWidget>
#include <QTimeEdit>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include <algorithm>

namespace {

QStringList menuTitles(const CMainFrame *frame)
{
    QStringList titles;
    for (const QAction *action : frame->menuBar()->actions())
        titles.append(action->text());
    return titles;
}

// The simulated radio as the FT-897 on COM3 of the program's settings.
bool useAsFt897OnCom3(PtyTransceiver &transceiver)
{
    if (!transceiver.start()
        || !SqlHelpers::exec(ProgramDb::kProgramDatabase, "UPDATE PARAMETERS SET VALUE = '1' WHERE PARAMETER = 'rig';"
                                                          "UPDATE PARAMETERS SET VALUE = '3' WHERE PARAMETER = 'comm'"))
        return false;
    AppSettings::open()->setValue("Serial ports/COM3", transceiver.devicePath());
    return true;
}

bool makeLogbook(const QString &path)
{
    Sqlite3DB db;
    return db.CreateLogbook(path);
}

} // namespace

class TestApp : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsWithNoDocumentAndTheEmptyFrameMenu();
    void startsWithTheLogbookOpenedLast();
    void startsWithThePathOfTheCommandLine();
    void aLogbookThatNoLongerOpensLeavesNoDocument();
    void newLogbookRefusesAndCreates();
    void openFromALogbookWindowRefusesTheProgramDatabase();
    void openFromTheEmptyFrameRefusesTwoReservedNames();
    void theProgramDatabaseIsNoLogbook();
    void openingAnOpenLogbookActivatesIt();
    void oneQslWindowPerDocument();
    void unmatchedConfirmationsAreListed();
    void lastWindowClosedClosesTheDocument();
    void menusFollowTheActiveWindowKind();
    void keysFollowTheActiveWindowKind();
    void editCommandsFollowTheFocusedField();
    void commandsWithoutHandlerAreDisabled();
    void rebuildCommandReachesTheDocument();
    void importCommandShowsItsProgressInTheMainWindow();
    void tableKeysComeBeforeTheFocusedField();
    void recentFilesKeepFourNewestFirst();
    void transceiverReadingFillsEveryLogbookWindow();
    void followTheRadioFillsTheActiveEmptyForm();
    void statusTextReturnsWhatStoodBefore();
    void secondInstancePassesItsPathToTheFirst();
    void anyPathReachesTheRunningInstanceWhole_data();
    void anyPathReachesTheRunningInstanceWhole();
    void splashWindowGoesAfterItsTime();

private:
    CMainFrame *start(const QStringList &arguments = {QStringLiteral("Korva3")});

    QTemporaryDir m_programDir;
    TestDir *m_dir = nullptr;
    ScriptedPrompter m_prompter;
    CKorva3App *m_app = nullptr;
    QString m_instanceName;
};

void TestApp::initTestCase()
{
    CMainFrame::s_startupPauseMs = 0;
    // A start without a program database would offer to make one.
    QVERIFY(makeSampleProgramDatabase(m_programDir.filePath(ProgramDb::kProgramDatabase)));
}

void TestApp::init()
{
    m_dir = new TestDir;
    QVERIFY(m_dir->isValid());
    QVERIFY(QFile::copy(m_programDir.filePath(ProgramDb::kProgramDatabase), m_dir->filePath(ProgramDb::kProgramDatabase)));
    AppSettings::useFolder(m_dir->path());
    m_prompter.clear();
    Prompter::install(&m_prompter);
}

void TestApp::cleanup()
{
    if (m_app)
        m_app->ExitInstance(0);
    delete m_app;
    m_app = nullptr;
    Prompter::install(nullptr);
    AppSettings::useFolder(QString());
    delete m_dir;
    m_dir = nullptr;
}

CMainFrame *TestApp::start(const QStringList &arguments)
{
    m_instanceName = uniqueInstanceName();
    m_app = new CKorva3App(m_instanceName);
    if (!m_app->InitInstance(arguments))
        return nullptr;
    return m_app->mainFrame();
}

void TestApp::startsWithNoDocumentAndTheEmptyFrameMenu()
{
    CMainFrame *frame = start();
    QVERIFY(frame);
    QVERIFY(frame->isVisible());
    QCOMPARE(frame->windowTitle(), QStringLiteral("Korva3"));
    QCOMPARE(frame->mdiArea()->subWindowList().size(), 0);
    QCOMPARE(menuTitles(frame), QStringList({"&File", "&View", "&Help"}));
    QCOMPARE(menuTexts(frame, "&File"),
             QStringList({"&New\tCtrl+N", "&Open...\tCtrl+O", "&Close", "-", "Setup\tAlt+S", "-", "Recent File",
                          "-", "E&xit"}));
    QCOMPARE(frame->statusText(), QStringLiteral("Ready"));
}

void TestApp::startsWithTheLogbookOpenedLast()
{
    const QString log = m_dir->filePath("last.sqlite3");
    QVERIFY(makeLogbook(log));
    AppSettings::setMostRecentFile(log);
    CMainFrame *frame = start();
    QCOMPARE(frame->mdiArea()->subWindowList().size(), 1);
    auto *child = qobject_cast<CChildFrame *>(frame->activeFrame());
    QVERIFY(child);
    // 880 x 532 pixels, or as large as the form needs to show itself whole, but no
    // larger than the area (the form scrolls).
    QVERIFY(child->fittedSize().width() >= 880 && child->fittedSize().height() >= 532);
    QCOMPARE(child->size(), child->fittedSize().boundedTo(frame->mdiArea()->viewport()->size()));
    QVERIFY(child->view()->width() >= child->view()->minimumSizeHint().width());
    QCOMPARE(child->document()->pathName(), log);
    QCOMPARE(child->windowTitle(), QStringLiteral("last.sqlite3"));
    QCOMPARE(menuTitles(frame), QStringList({"&File", "&Edit", "&View", "LogBook", "&Window", "&Help"}));
}

void TestApp::startsWithThePathOfTheCommandLine()
{
    const QString remembered = m_dir->filePath("remembered.sqlite3");
    const QString given = m_dir->filePath("given.sqlite3");
    QVERIFY(makeLogbook(remembered) && makeLogbook(given));
    AppSettings::setMostRecentFile(remembered);
    CMainFrame *frame = start({"Korva3", given});
    QCOMPARE(frame->docManager()->documents().size(), 1);
    QCOMPARE(frame->docManager()->documents().first()->pathName(), given);
    QCOMPARE(AppSettings::mostRecentFile(), given); // every open is remembered
}

void TestApp::aLogbookThatNoLongerOpensLeavesNoDocument()
{
    AppSettings::setMostRecentFile(m_dir->filePath("gone.sqlite3"));
    CMainFrame *frame = start();
    QVERIFY(frame);
    QCOMPARE(frame->docManager()->documents().size(), 0);
    QCOMPARE(m_prompter.texts().size(), 1);
    QVERIFY(!QFile::exists(m_dir->filePath("gone.sqlite3")));
}

void TestApp::newLogbookRefusesAndCreates()
{
    CMainFrame *frame = start();
    QVERIFY(frame->runCommand(ID_FILE_NEW)); // cancelled
    QFile existing(m_dir->filePath("exists.sqlite3"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();
    m_prompter.setNextFile(existing.fileName());
    frame->runCommand(ID_FILE_NEW);
    m_prompter.setNextFile(m_dir->filePath("no/folder/new.sqlite3"));
    frame->runCommand(ID_FILE_NEW);
    QCOMPARE(m_prompter.texts(), QStringList({"Cancelled", "Database already exists", "Database not created"}));
    QCOMPARE(TestDir::readFile(existing.fileName()), QByteArray("keep"));
    QCOMPARE(frame->docManager()->documents().size(), 0);

    const QString fresh = m_dir->filePath("fresh.sqlite3");
    m_prompter.setNextFile(fresh);
    frame->runCommand(ID_FILE_NEW);
    QCOMPARE(SqlHelpers::rows(fresh, "SELECT name FROM sqlite_master WHERE name NOT LIKE 'sqlite_%' ORDER BY rowid"),
             QByteArray("QSOS\nIDX_QSOS_CALL\nDXCCREPORT\nQSOFIELDS\nIDX_QSOFIELDS_QSO\n"
                        "IDX_QSOS_DATETIME\nIDX_QSOS_CALLNOCASE\nIDX_QSOS_COUNTRY\nIDX_QSOS_CQZONE\n"
                        "LOGBOOKSTATE\nUNMATCHEDQSLS\nIDX_UNMATCHEDQSLS\nCLUBLOGOUTBOX\nIDX_QSOFIELDS_LOTW"));
    QCOMPARE(frame->docManager()->documents().size(), 1);
    QVERIFY(qobject_cast<CChildFrame *>(frame->activeFrame()));
    QCOMPARE(frame->docManager()->recentFiles(), QStringList({fresh}));
    const Prompter::FileRequest request = m_prompter.shown().last().request;
    QCOMPARE(request.title, QStringLiteral("New Logbook"));
    QCOMPARE(request.filter, QStringLiteral("Logbook Files (*.sqlite3)|*.sqlite3|All Files (*.*)|*.*||"));
    QCOMPARE(request.defaultExtension, QStringLiteral("sqlite3"));
    QVERIFY(!request.mustExist);
}

void TestApp::openFromALogbookWindowRefusesTheProgramDatabase()
{
    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log) && makeLogbook(m_dir->filePath(ProgramDb::kProgramDatabase)));
    QVERIFY(makeLogbook(m_dir->filePath("settings.sqlite3")));
    CMainFrame *frame = start({"Korva3", log});
    m_prompter.setNextFile(m_dir->filePath(ProgramDb::kProgramDatabase));
    frame->runCommand(ID_FILE_OPEN);
    QCOMPARE(m_prompter.texts(), QStringList({"This Database cannot be openend"}));
    QCOMPARE(frame->docManager()->documents().size(), 1);
    QCOMPARE(m_prompter.shown().first().request.title, QStringLiteral("Open Logbook"));
    QVERIFY(m_prompter.shown().first().request.mustExist);
    // This handler does not refuse the reserved names of the empty frame.
    m_prompter.setNextFile(m_dir->filePath("settings.sqlite3"));
    frame->runCommand(ID_FILE_OPEN);
    QCOMPARE(frame->docManager()->documents().size(), 2);
}

void TestApp::openFromTheEmptyFrameRefusesTwoReservedNames()
{
    for (const char *name : {"settings.sqlite3", "countries.sqlite3", "Settings.sqlite3", "korva3.sqlite3"})
        QVERIFY(makeLogbook(m_dir->filePath(name)));
    CMainFrame *frame = start();
    m_prompter.setNextFile(m_dir->filePath("settings.sqlite3"));
    frame->runCommand(ID_FILE_OPEN);
    m_prompter.setNextFile(m_dir->filePath("countries.sqlite3"));
    frame->runCommand(ID_FILE_OPEN);
    QCOMPARE(frame->docManager()->documents().size(), 0);
    QVERIFY(m_prompter.texts().isEmpty());

    m_prompter.setNextFile(m_dir->filePath("Settings.sqlite3"));
    frame->runCommand(ID_FILE_OPEN);
    QCOMPARE(frame->docManager()->documents().size(), 1);
    frame->docManager()->CloseDocument(frame->docManager()->documents().first());
    QTRY_COMPARE(frame->docManager()->documents().size(), 0);
    m_prompter.setNextFile(m_dir->filePath("korva3.sqlite3"));
    frame->runCommand(ID_FILE_OPEN);
    QCOMPARE(frame->docManager()->documents().size(), 1);
}

// The program database, opened from the empty frame, is refused before any window opens.
void TestApp::theProgramDatabaseIsNoLogbook()
{
    CMainFrame *frame = start();
    const QString programDatabase = m_dir->filePath(ProgramDb::kProgramDatabase);
    m_prompter.setNextFile(programDatabase);
    frame->runCommand(ID_FILE_OPEN);
    QCOMPARE(m_prompter.texts(), QStringList({programDatabase + " is no logbook: it has no table of QSOs."}));
    QCOMPARE(frame->docManager()->documents().size(), 0);
    QCOMPARE(frame->mdiArea()->subWindowList().size(), 0);
    QVERIFY(frame->docManager()->recentFiles().isEmpty());
}

void TestApp::openingAnOpenLogbookActivatesIt()
{
    const QString a = m_dir->filePath("a.sqlite3");
    const QString b = m_dir->filePath("b.sqlite3");
    QVERIFY(makeLogbook(a) && makeLogbook(b));
    CMainFrame *frame = start({"Korva3", a});
    CDocManager *manager = frame->docManager();
    QVERIFY(manager->OpenDocumentFile(b));
    QCOMPARE(frame->activeFrame()->document()->pathName(), b);
    CKorva3Doc *first = manager->documents().first();
    QCOMPARE(manager->OpenDocumentFile(a), first);
    QCOMPARE(manager->documents().size(), 2);
    QCOMPARE(frame->mdiArea()->subWindowList().size(), 2);
    QCOMPARE(frame->activeFrame()->document(), first);
}

void TestApp::oneQslWindowPerDocument()
{
    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log));
    CMainFrame *frame = start({"Korva3", log});
    QVERIFY(frame->runCommand(ID_QSO_QSL_CARDS));
    auto *qsl = qobject_cast<CQslChildFrm *>(frame->activeFrame());
    QVERIFY(qsl);
    QVERIFY(qsl->width() >= 520 && qsl->height() >= 500);
    QCOMPARE(qsl->size(), qsl->fittedSize());
    QCOMPARE(menuTexts(frame, "LogBook"),
             QStringList({"Clear Form\tF3", "Change Qso\tF4", "Lookup Qso's\tF6", "-", "Qslcard rcvd -> Y\tSpace",
                          "Qslcard rcvd -> N\tAlt+N", "-", "Qso && Qsl cards", "-", "Import Adif", "Export Adif",
                          "-", "LoTW download", "LoTW upload", "eQSL download", "eQSL upload", "Club Log upload",
                          "Unmatched confirmations", "-", "Rebuild dxcc stat"}));
    qsl->showMinimized();
    frame->mdiArea()->setActiveSubWindow(frame->docManager()->framesOf(qsl->document()).first());
    QVERIFY(qobject_cast<CChildFrame *>(frame->activeFrame()));
    QVERIFY(frame->runCommand(ID_QSO_QSL_CARDS));
    QCOMPARE(frame->mdiArea()->subWindowList().size(), 2);
    QCOMPARE(frame->activeFrame(), qsl);
    QVERIFY(!qsl->isMinimized());
}

// The list shows what the logbook keeps and follows each download; a LoTW upload
// without a station location in the profile says why and starts nothing.
void TestApp::unmatchedConfirmationsAreListed()
{
    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log));
    CMainFrame *frame = start({"Korva3", log});
    CKorva3Doc *doc = frame->docManager()->documents().first();
    QVERIFY(frame->runCommand(ID_UNMATCHED_QSLS));
    QTableWidget *list = nullptr;
    QTRY_VERIFY((list = qApp->activeWindow() ? qApp->activeWindow()->findChild<QTableWidget *>("unmatchedList")
                                             : nullptr) != nullptr);
    QCOMPARE(list->rowCount(), 0);
    QVERIFY(doc->WriteConfirmations([](ConfirmationWriter &writer) {
        QslStore::Unmatched u;
        u.service = QStringLiteral("LoTW");
        u.received = QStringLiteral("2024-03-02 10:00:00");
        u.call = QStringLiteral("K9ZZZ");
        u.start = QStringLiteral("2024-03-01 12:00:00");
        u.band = QStringLiteral("20M");
        u.mode = QStringLiteral("FT8");
        u.record = "<CALL:5>K9ZZZ<EOR>";
        return writer.keepUnmatched(u);
    }));
    QCOMPARE(list->rowCount(), 1);
    QStringList cells;
    for (int column = 0; column < list->columnCount(); ++column)
        cells.append(list->item(0, column)->text());
    QCOMPARE(cells.join('|'), QStringLiteral("LoTW|K9ZZZ|2024-03-01 12:00:00|20M|FT8|2024-03-02 10:00:00"));
    list->window()->close();

    m_prompter.clear();
    QVERIFY(frame->runCommand(ID_LOTW_UPLOAD));
    QTRY_COMPARE(m_prompter.texts(),
                 QStringList{"LoTW upload: LoTW: the station profile names no TQSL station location"});
    QCOMPARE(frame->statusText(), QStringLiteral("LoTW upload: LoTW: the station profile names no TQSL station location"));
}

void TestApp::lastWindowClosedClosesTheDocument()
{
    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log));
    CMainFrame *frame = start({"Korva3", log});
    frame->runCommand(ID_QSO_QSL_CARDS);
    QVERIFY(frame->runCommand(ID_WINDOW_NEW));
    QCOMPARE(frame->mdiArea()->subWindowList().size(), 3);
    frame->activeFrame()->close();
    QTRY_COMPARE(frame->mdiArea()->subWindowList().size(), 2);
    QCOMPARE(frame->docManager()->documents().size(), 1);
    QVERIFY(frame->runCommand(ID_FILE_CLOSE));
    QTRY_COMPARE(frame->docManager()->documents().size(), 0);
    QCOMPARE(frame->mdiArea()->subWindowList().size(), 0);
    QCOMPARE(menuTitles(frame), QStringList({"&File", "&View", "&Help"}));
}

void TestApp::menusFollowTheActiveWindowKind()
{
    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log));
    CMainFrame *frame = start({"Korva3", log});
    QCOMPARE(menuTexts(frame, "&File").at(4), QStringLiteral("Setup\tCtrl+S"));
    QCOMPARE(menuTexts(frame, "&Edit"),
             QStringList({"&Undo\tCtrl+Z", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V"}));
    QCOMPARE(menuTexts(frame, "LogBook"),
             QStringList({"Clear Form\tF3", "Change Qso\tF4", "Lookup Qso's\tF6", "Delete Qso\tF8", "Add Qso\tF10",
                          "Actual Time\tCtrl+A", "Get TRX freq\tCtrl+T", "-", "Qso && Qsl cards",
                          "Set RST to 599/59\tF9", "-", "Import Adif", "Export Adif", "-", "LoTW download",
                          "LoTW upload", "eQSL download", "eQSL upload", "Club Log upload", "Unmatched confirmations",
                          "-", "DXCC Report\tAlt+Q",
                          "CQ Zones Report\tAlt+Z", "Rebuild dxcc stat"}));
    QCOMPARE(menuTexts(frame, "&Window"),
             QStringList({"&New Window", "&Cascade", "&Tile", "&Arrange Icons", "D&X Cluster", "-", "&1 log.sqlite3"}));
    QCOMPARE(menuTexts(frame, "&View"), QStringList({"&Toolbar", "&Status Bar"}));
    QCOMPARE(menuTexts(frame, "&Help"), QStringList({"&About Korva3..."}));
    QCOMPARE(menuTexts(frame, "&File").at(6), QStringLiteral("&1 ") + QDir::toNativeSeparators(log));
    frame->runCommand(ID_QSO_QSL_CARDS);
    QCOMPARE(menuTexts(frame, "&File").at(4), QStringLiteral("Setup\tAlt+S"));
}

void TestApp::keysFollowTheActiveWindowKind()
{
    CMainFrame *frame = start();
    QCOMPARE(frame->action(ID_NEXT_PANE)->shortcuts(), QList<QKeySequence>({QKeySequence(Qt::Key_F6)}));
    QVERIFY(frame->action(ID_SETUP)->shortcuts().isEmpty()); // Alt+S is only a menu text
    QCOMPARE(frame->action(ID_FILE_OPEN)->shortcuts(), QList<QKeySequence>({QKeySequence(Qt::CTRL | Qt::Key_O)}));

    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log));
    frame->docManager()->OpenDocumentFile(log);
    QCOMPARE(frame->action(ID_SETUP)->shortcuts(), QList<QKeySequence>({QKeySequence(Qt::CTRL | Qt::Key_S)}));
    QCOMPARE(frame->action(ID_ADD_QSO)->shortcuts(),
             QList<QKeySequence>({QKeySequence(Qt::Key_F10), QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}));
    QCOMPARE(frame->action(ID_LOOKUP_QSOS)->shortcuts(), QList<QKeySequence>({QKeySequence(Qt::Key_F6)}));
    QVERIFY(frame->action(ID_NEXT_PANE)->shortcuts().isEmpty()); // the window's own F6 wins
    QCOMPARE(frame->action(ID_LATEST_QSOS)->shortcuts(), QList<QKeySequence>({QKeySequence(Qt::CTRL | Qt::Key_F6)}));
    QCOMPARE(frame->action(ID_EDIT_COPY)->shortcuts(),
             QList<QKeySequence>({QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}));

    frame->runCommand(ID_QSO_QSL_CARDS);
    QCOMPARE(frame->action(ID_LOOKUP_QSOS)->shortcuts(),
             QList<QKeySequence>({QKeySequence(Qt::Key_F6), QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}));
    QVERIFY(frame->action(ID_ADD_QSO)->shortcuts().isEmpty());
    QCOMPARE(frame->action(ID_QSL_RCVD_YES)->shortcuts(), QList<QKeySequence>({QKeySequence(Qt::Key_Space)}));
    QVERIFY(frame->action(ID_SETUP)->shortcuts().isEmpty());
}

// Cut, Copy, Paste and Undo follow the focused field: its selection, its text, the
// clipboard.
void TestApp::editCommandsFollowTheFocusedField()
{
    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log));
    CMainFrame *frame = start({"Korva3", log});
    QTRY_VERIFY(frame->activeFrame());
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    QLineEdit *call = qobject_cast<CChildFrame *>(frame->activeFrame())->view()->callEdit();
    call->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), call);
    QGuiApplication::clipboard()->clear();
    const auto enabled = [frame] {
        QString states;
        for (int id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_UNDO})
            states += frame->action(id)->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return states;
    };
    QCOMPARE(enabled(), QStringLiteral("0000"));
    QTest::keyClicks(call, QStringLiteral("DL1ABC"));
    QCOMPARE(enabled(), QStringLiteral("0001"));
    call->selectAll();
    QCOMPARE(enabled(), QStringLiteral("1101"));
    frame->runCommand(ID_EDIT_CUT);
    QCOMPARE(call->text(), QString());
    QCOMPARE(enabled(), QStringLiteral("0011"));
    frame->runCommand(ID_EDIT_PASTE);
    QCOMPARE(call->text(), QStringLiteral("DL1ABC"));
}

void TestApp::commandsWithoutHandlerAreDisabled()
{
    CMainFrame *frame = start();
    QVERIFY(!frame->action(ID_SETUP)->isEnabled());
    QVERIFY(!frame->action(ID_FILE_CLOSE)->isEnabled());
    QVERIFY(!frame->action(ID_FILE_PRINT)->isEnabled());
    QVERIFY(!frame->action(ID_WINDOW_NEW)->isEnabled());
    QVERIFY(!frame->action(ID_FILE_MRU_FILE1)->isEnabled()); // the empty list's place holder
    QVERIFY(frame->action(ID_FILE_NEW)->isEnabled());
    QVERIFY(frame->action(ID_FILE_OPEN)->isEnabled());
    QVERIFY(frame->action(ID_APP_ABOUT)->isEnabled());
    QVERIFY(frame->action(ID_VIEW_TOOLBAR)->isChecked());
    QVERIFY(!frame->runCommand(ID_SETUP));
    QVERIFY(!frame->action(ID_GET_TRX_FREQ)->isEnabled()); // no transceiver configured

    frame->runCommand(ID_VIEW_TOOLBAR);
    QVERIFY(frame->toolBar()->isHidden());
    QVERIFY(!frame->action(ID_VIEW_TOOLBAR)->isChecked());

    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log));
    frame->docManager()->OpenDocumentFile(log);
    QVERIFY(frame->action(ID_REBUILD_DXCC)->isEnabled());
    QVERIFY(frame->action(ID_FILE_CLOSE)->isEnabled());
    QVERIFY(frame->action(ID_WINDOW_CASCADE)->isEnabled());
    QVERIFY(!frame->action(ID_EDIT_PASTE)->isEnabled()); // no edit field has the focus
}

void TestApp::rebuildCommandReachesTheDocument()
{
    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log));
    QVERIFY(SqlHelpers::exec(log, "INSERT INTO DXCCREPORT (DXCC, BAND, MODE, COUNTW, COUNTC) VALUES (1,'20',1,5,5)"));
    CMainFrame *frame = start({"Korva3", log});
    QVERIFY(frame->runCommand(ID_REBUILD_DXCC));
    QCOMPARE(m_prompter.texts(), QStringList({"DXCC statistics rebuilt"}));
    QCOMPARE(SqlHelpers::count(log, "DXCCREPORT"), 0);
}

void TestApp::importCommandShowsItsProgressInTheMainWindow()
{
    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log));
    QByteArray adif = "<EOH>\n";
    for (int i = 0; i < 600; ++i)
        adif += QStringLiteral("<CALL:5>QX1AA<QSO_DATE:8>20261101<TIME_ON:4>%1<BAND:3>20m<MODE:2>CW<EOR>\n")
                    .arg(i / 60 * 100 + i % 60, 4, 10, QLatin1Char('0'))
                    .toLatin1();
    QVERIFY(TestDir::writeFile(m_dir->filePath("in.adi"), adif));
    CMainFrame *frame = start({"Korva3", log});
    frame->SetStatusText(QStringLiteral("before"));
    // Each value the bar shows, and where it stands: at the left of the status bar,
    // right of the message pane, which keeps room for its widest text.
    const QProgressBar *bar = frame->progressBar();
    const QStatusBar *status = frame->statusBar();
    QList<int> shown;
    QRect place;
    int paneRight = 0;
    connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
        if (!bar->isVisible())
            return;
        shown.append(value);
        place = QRect(bar->mapTo(status, QPoint(0, 0)), bar->size());
        const QLabel *pane = frame->messagePane();
        paneRight = pane->mapTo(status, QPoint(0, 0)).x() + pane->width();
        QVERIFY(pane->width() >= pane->fontMetrics().horizontalAdvance(QStringLiteral("Add database 100 %")));
    });
    m_prompter.setNextFile(m_dir->filePath("in.adi"));
    QVERIFY(frame->runCommand(ID_IMPORT_ADIF));
    QCOMPARE(m_prompter.texts(), QStringList({"600 Qso Records added"}));
    QCOMPARE(SqlHelpers::count(log, "QSOS"), 600);
    QCOMPARE(frame->statusText(), QStringLiteral("before"));
    QVERIFY(bar->isHidden());
    // It reached 100 % while it still showed, rising all the way.
    QVERIFY(shown.size() > 2);
    QCOMPARE(shown.last(), 100);
    QVERIFY(std::is_sorted(shown.cbegin(), shown.cend()));
    QVERIFY(place.left() >= paneRight);
    QVERIFY(place.left() < status->width() / 2);
}

void TestApp::transceiverReadingFillsEveryLogbookWindow()
{
    PtyTransceiver transceiver(TrxSimulator(14234560, *TrxSimulator::modeByName("USB")));
    QVERIFY(useAsFt897OnCom3(transceiver));
    const QString a = m_dir->filePath("a.sqlite3");
    const QString b = m_dir->filePath("b.sqlite3");
    QVERIFY(makeLogbook(a) && makeLogbook(b));
    CMainFrame *frame = start({"Korva3", a});
    QVERIFY(frame->docManager()->OpenDocumentFile(b));
    QVERIFY(frame->action(ID_GET_TRX_FREQ)->isEnabled());

    QSignalSpy ended(frame->trxLink(), &CTrxLink::queryEnded);
    QVERIFY(frame->runCommand(ID_GET_TRX_FREQ));
    QVERIFY(ended.wait(5000));
    QCOMPARE(m_prompter.texts(), QStringList());
    for (QMdiSubWindow *window : frame->mdiArea()->subWindowList()) {
        const auto *view = qobject_cast<CChildFrame *>(window)->view();
        QCOMPARE(view->freqEdit()->text(), QStringLiteral("14.234.5"));
    }
    QCOMPARE(transceiver.received(), QByteArray::fromHex("0000000003"));
}

// Each look at the radio (the follower's timer takes one every second) fills the active
// form's frequency, band and mode when the radio's values changed and no call is typed.
void TestApp::followTheRadioFillsTheActiveEmptyForm()
{
    PtyTransceiver transceiver(TrxSimulator(14234560, *TrxSimulator::modeByName("USB")));
    QVERIFY(useAsFt897OnCom3(transceiver));
    AppSettings::open()->setValue("Transceiver/Follow", true);
    const QString a = m_dir->filePath("a.sqlite3");
    QVERIFY(makeLogbook(a));
    CMainFrame *frame = start({"Korva3", a});
    CTrxLink *link = frame->trxLink();
    QTRY_VERIFY(frame->activeFrame());
    const CKorva3View *view = qobject_cast<CChildFrame *>(frame->activeFrame())->view();
    view->rstSentEdit()->setText(QStringLiteral("57"));
    QSignalSpy polled(link, &CTrxLink::polled);
    const auto look = [&] {
        polled.clear();
        frame->radioFollower()->Tick();
        return polled.wait(5000);
    };

    QVERIFY(look());
    QCOMPARE(view->freqEdit()->text(), QStringLiteral("14.234.5"));
    QCOMPARE(view->bandEdit()->text(), QStringLiteral("20"));
    QCOMPARE(view->modeList()->currentText(), QStringLiteral("SSB"));
    QCOMPARE(view->rstSentEdit()->text(), QStringLiteral("57"));

    view->freqEdit()->setText(QStringLiteral("14.300")); // typed over: kept while the radio stays
    QVERIFY(look());
    QCOMPARE(view->freqEdit()->text(), QStringLiteral("14.300"));

    transceiver.setSimulator(TrxSimulator(7012300, *TrxSimulator::modeByName("CW")));
    view->callEdit()->setText(QStringLiteral("DL1ABC"));
    QVERIFY(look());
    QCOMPARE(view->freqEdit()->text(), QStringLiteral("14.300"));
    view->callEdit()->clear();
    QVERIFY(look());
    QCOMPARE(view->freqEdit()->text(), QStringLiteral("7.012.3"));
    QCOMPARE(view->bandEdit()->text(), QStringLiteral("40"));
    QCOMPARE(view->modeList()->currentText(), QStringLiteral("CW"));

    TrxSettings off = link->Settings();
    off.follow = false;
    link->SetSettings(off);
    const int commands = transceiver.received().size();
    frame->radioFollower()->Tick();
    QVERIFY(!link->PollWaiting());
    QCOMPARE(transceiver.received().size(), commands);
    QCOMPARE(m_prompter.texts(), QStringList());
}

void TestApp::tableKeysComeBeforeTheFocusedField()
{
    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log));
    CMainFrame *frame = start({"Korva3", log});
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    CKorva3View *view = qobject_cast<CChildFrame *>(frame->activeFrame())->view();
    view->timeEdit()->setTime(QTime(1, 2, 3));
    view->callEdit()->setFocus();
    QTRY_VERIFY(view->callEdit()->hasFocus());
    QTest::keyClicks(view->callEdit(), "PA3X");
    QTest::keyClick(view->callEdit(), Qt::Key_A, Qt::ControlModifier);
    QVERIFY(!view->callEdit()->hasSelectedText()); // not the field's select-all
    QVERIFY(view->timeEdit()->time() != QTime(1, 2, 3)); // Actual Time ran
    QCOMPARE(view->callEdit()->text(), QStringLiteral("PA3X"));
}

void TestApp::recentFilesKeepFourNewestFirst()
{
    QStringList paths;
    for (int i = 1; i <= 5; ++i) {
        paths.append(m_dir->filePath(QStringLiteral("log%1.sqlite3").arg(i)));
        QVERIFY(makeLogbook(paths.last()));
    }
    CMainFrame *frame = start();
    for (const QString &path : paths)
        frame->docManager()->OpenDocumentFile(path);
    QCOMPARE(frame->docManager()->recentFiles(), QStringList({paths[4], paths[3], paths[2], paths[1]}));
    // Opening a logbook that is open only brings it forward.
    frame->docManager()->OpenDocumentFile(paths[2]);
    QCOMPARE(frame->docManager()->recentFiles(), QStringList({paths[4], paths[3], paths[2], paths[1]}));
    for (CKorva3Doc *document : frame->docManager()->documents())
        frame->docManager()->CloseDocument(document);
    QTRY_COMPARE(frame->docManager()->documents().size(), 0);
    frame->docManager()->OpenDocumentFile(paths[2]);
    QCOMPARE(frame->docManager()->recentFiles(), QStringList({paths[2], paths[4], paths[3], paths[1]}));

    // A recent file that is gone leaves the list when chosen.
    frame->docManager()->CloseDocument(frame->docManager()->documents().first());
    QTRY_COMPARE(frame->docManager()->documents().size(), 0);
    QVERIFY(QFile::remove(paths[4]));
    QVERIFY(frame->runCommand(ID_FILE_MRU_FILE1 + 1));
    QCOMPARE(frame->docManager()->recentFiles(), QStringList({paths[2], paths[3], paths[1]}));
    QVERIFY(frame->runCommand(ID_FILE_MRU_FILE1 + 2));
    QCOMPARE(frame->activeFrame()->document()->pathName(), paths[1]);
}

void TestApp::statusTextReturnsWhatStoodBefore()
{
    CMainFrame *frame = start();
    QCOMPARE(frame->SetStatusText(QStringLiteral("Add database 50 %")), QStringLiteral("Ready"));
    QCOMPARE(frame->SetStatusText(QStringLiteral("Ready")), QStringLiteral("Add database 50 %"));
}

void TestApp::secondInstancePassesItsPathToTheFirst()
{
    const QString name = uniqueInstanceName();
    CSingleInstance first(name);
    QVERIFY(first.start(QString()));
    QSignalSpy requests(&first, &CSingleInstance::activationRequested);
    CSingleInstance second(name);
    QVERIFY(!second.start(QStringLiteral("/tmp/dropped log.sqlite3")));
    QTRY_COMPARE(requests.size(), 1);
    QCOMPARE(requests.first().first().toString(), QStringLiteral("/tmp/dropped log.sqlite3"));

    // Through the application: the running window comes forward and opens the logbook
    // the second start was given.
    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log));
    CMainFrame *frame = start();
    frame->showMinimized();
    CSingleInstance third(m_instanceName);
    QVERIFY(!third.start(log));
    QTRY_COMPARE(frame->docManager()->documents().size(), 1);
    QCOMPARE(frame->docManager()->documents().first()->pathName(), log);
    QVERIFY(!frame->isMinimized());
}

void TestApp::anyPathReachesTheRunningInstanceWhole_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("line end inside") << QStringLiteral("/tmp/field\nday.sqlite3");
    QTest::newRow("line ends at the end") << QStringLiteral("/tmp/log.sqlite3\r\n");
    QTest::newRow("beyond Latin-1") << QStringLiteral("/tmp/Łódź ☎ 日誌.sqlite3");
    QTest::newRow("none") << QString();
}

void TestApp::anyPathReachesTheRunningInstanceWhole()
{
    QFETCH(QString, path);
    const QString name = uniqueInstanceName();
    CSingleInstance first(name);
    QVERIFY(first.start(QString()));
    QSignalSpy requests(&first, &CSingleInstance::activationRequested);
    CSingleInstance second(name);
    QVERIFY(!second.start(path));
    QTRY_COMPARE(requests.size(), 1);
    QCOMPARE(requests.first().first().toString(), path);
}

void TestApp::splashWindowGoesAfterItsTime()
{
    CMainFrame *frame = start();
    QVERIFY(frame);
    QVERIFY(CSplashWnd::instance());
    QTRY_VERIFY_WITH_TIMEOUT(!CSplashWnd::instance(), 5000);
}

QTEST_MAIN(TestApp)
#include "tst_app.moc"
