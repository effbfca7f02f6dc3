#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/CKorva3App.h"
#include "app/CMainFrame.h"
#include "app/CSplashWnd.h"
#include "app/KeyboardLocks.h"
#include "app/StartPanel.h"
#include "XServerLocks.h"
#include "common/MenuTexts.h"
#include "common/SampleProgramDatabase.h"
#include "common/QsoBuilder.h"
#include "common/RunFolders.h"
#include "common/RunningApp.h"
#include "common/TestSurroundings.h"
#include "document/CKorva3Doc.h"
#include "entry/CKorva3View.h"
#include "platform/CommandIds.h"
#include "platform/ScriptedPrompter.h"
#include "store/ProgramDb.h"
#include "store/Sqlite3DB.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QWindow>
#include <QtTest>

#include <memory>

namespace {

bool makeLogbook(const QString &path, int qsos = 0)
{
    Sqlite3DB db;
    if (!db.CreateLogbook(path))
        return false;
    for (int i = 0; i < qsos; ++i) {
        const Sqlite3DB::UM_RECORD qso =
            QsoBuilder().call(QStringLiteral("DL%1ABC").arg(i)).date("2026-01-02").time("10:00:00");
        if (db.InsertQso({qso}, path).value_or(0) == 0)
            return false;
    }
    return true;
}

QAction *menuEntry(const CMainFrame *frame, const QString &title, const QString &text)
{
    for (const QAction *action : frame->menuBar()->actions()) {
        if (action->text() != title)
            continue;
        for (QAction *item : action->menu()->actions()) {
            if (item->text() == text)
                return item;
        }
    }
    return nullptr;
}

} // namespace

// The main window as an operator meets it: second start, Window menu, caption, keys,
// splash, status bar.
class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void secondStartFromAnotherFolderOpensThatFoldersLogbook_data();
    void secondStartFromAnotherFolderOpensThatFoldersLogbook();
    void tileAndCascadeStayInsideTheMainWindow_data();
    void tileAndCascadeStayInsideTheMainWindow();
    void newWindowsOpenInsideTheArea();
    void windowMenuListsTheOpenWindows();
    void captionCarriesTheActiveLogbook_data();
    void captionCarriesTheActiveLogbook();
    void startPanelRunsTheFileCommandsByKeyboard_data();
    void startPanelRunsTheFileCommandsByKeyboard();
    void startPanelListsTheLogbooksUsedLately();
    void pasteFollowsTheClipboard();
    void ctrlF4ClosesTheActiveWindow();
    void escFromAMenuReturnsToTheField();
    void splashStandsInFrontBeforeTheMainWindow();
    void lockPanesAreLeftOutWhereTheStateCannotBeRead();
    void lockStateIsReadFromTheXServer_data();
    void lockStateIsReadFromTheXServer();

private:
    CMainFrame *start(const QStringList &arguments = {QStringLiteral("Korva3")},
                      const QString &instanceName = uniqueInstanceName());
    CMainFrame *startActive(const QString &log);

    RunFolders m_run; // set up before anything of the application starts
    ScriptedPrompter m_prompter;
    std::unique_ptr<TestSurroundings> m_here;
    TestDir *m_dir = nullptr;
    std::unique_ptr<RunningApp> m_app;
};

void TestWindows::initTestCase()
{
    QVERIFY(m_run.isReady());
    CMainFrame::s_startupPauseMs = 0;
}

void TestWindows::init()
{
    m_prompter.clear();
    m_here = std::make_unique<TestSurroundings>(m_prompter);
    QVERIFY(m_here->isValid());
    m_dir = &m_here->dir();
    // A start without a program database would offer to make one.
    QVERIFY(makeSampleProgramDatabase(m_dir->filePath(ProgramDb::kProgramDatabase)));
}

void TestWindows::cleanup()
{
    m_app.reset();
    m_dir = nullptr;
    m_here.reset();
}

CMainFrame *TestWindows::start(const QStringList &arguments, const QString &instanceName)
{
    m_app = std::make_unique<RunningApp>(instanceName);
    return m_app->start(arguments);
}

// The application on `log`, its window active with the focus in the call field.
CMainFrame *TestWindows::startActive(const QString &log)
{
    CMainFrame *frame = start({QStringLiteral("Korva3"), log});
    if (!frame)
        return nullptr;
    frame->activateWindow();
    if (!QTest::qWaitForWindowActive(frame))
        return nullptr;
    auto *child = qobject_cast<CChildFrame *>(frame->activeFrame());
    if (!child || !QTest::qWaitFor([child] { return child->view()->callEdit()->hasFocus(); }))
        return nullptr;
    return frame;
}

// --- Second start -------------------------------------------------------------------

void TestWindows::secondStartFromAnotherFolderOpensThatFoldersLogbook_data()
{
    QTest::addColumn<QString>("argument");
    QTest::newRow("name") << "log.sqlite3";
    QTest::newRow("dot") << "./log.sqlite3";
    QTest::newRow("through a folder") << "sub/../log.sqlite3";
}

// The program started a second time, in a folder of its own, with a relative path: the
// running window opens the logbook of that folder, not a namesake in its own folder.
void TestWindows::secondStartFromAnotherFolderOpensThatFoldersLogbook()
{
    QFETCH(QString, argument);
    QVERIFY(makeLogbook(m_dir->filePath("log.sqlite3")));
    const QString elsewhere = m_dir->filePath("elsewhere");
    QVERIFY(QDir().mkpath(elsewhere + "/sub"));
    QVERIFY(makeLogbook(elsewhere + "/log.sqlite3", 1));
    // The program guards its single instance under this name, in this run's folders.
    CMainFrame *frame = start({QStringLiteral("Korva3")}, QStringLiteral("Korva3"));
    QVERIFY(frame);

    QProcess second;
    second.setWorkingDirectory(elsewhere);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(KORVA3_EXE), {argument});
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);

    QTRY_COMPARE(frame->docManager()->documents().size(), 1);
    QCOMPARE(QFileInfo(frame->docManager()->documents().first()->pathName()).canonicalFilePath(),
             QFileInfo(elsewhere + "/log.sqlite3").canonicalFilePath());
    QCOMPARE(m_prompter.texts(), QStringList());
}

// --- Tile and Cascade ---------------------------------------------------------------

void TestWindows::tileAndCascadeStayInsideTheMainWindow_data()
{
    QTest::addColumn<bool>("tile"); // else cascade
    QTest::addColumn<int>("windows");
    QTest::newRow("tile one") << true << 1;
    QTest::newRow("tile two") << true << 2;
    QTest::newRow("tile five") << true << 5;
    QTest::newRow("cascade two") << false << 2;
    QTest::newRow("cascade four") << false << 4;
}

// The logbook windows are made wider than the main window's area here (a window opens no
// wider than the area): arranging them keeps them inside it and leaves the main window
// as it was.
void TestWindows::tileAndCascadeStayInsideTheMainWindow()
{
    QFETCH(bool, tile);
    QFETCH(int, windows);
    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log));
    CMainFrame *frame = start({QStringLiteral("Korva3"), log});
    QVERIFY(frame);
    const QSize mainSize(800, 600);
    frame->resize(mainSize);
    for (int i = 1; i < windows; ++i)
        QVERIFY(frame->runCommand(ID_WINDOW_NEW));
    QCoreApplication::processEvents();
    QCOMPARE(frame->size(), mainSize);
    QVERIFY(frame->mdiArea()->subWindowList().first()->width() <= frame->mdiArea()->viewport()->width());
    for (QMdiSubWindow *window : frame->mdiArea()->subWindowList())
        window->resize(frame->mdiArea()->viewport()->width() + 100, window->height());

    QVERIFY(frame->runCommand(tile ? ID_WINDOW_TILE_HORZ : ID_WINDOW_CASCADE));
    QCoreApplication::processEvents();
    QCOMPARE(frame->size(), mainSize);
    const QRect area = frame->mdiArea()->viewport()->rect();
    const QList<QMdiSubWindow *> stack = frame->mdiArea()->subWindowList(QMdiArea::StackingOrder);
    QCOMPARE(stack.size(), windows);
    for (const QMdiSubWindow *window : stack)
        QVERIFY2(area.contains(window->geometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                   .arg(window->x())
                                                                   .arg(window->y())
                                                                   .arg(window->width())
                                                                   .arg(window->height())));
    if (tile) {
        // The windows share the whole area without overlapping.
        int covered = 0;
        for (int i = 0; i < stack.size(); ++i) {
            covered += stack.at(i)->width() * stack.at(i)->height();
            for (int j = i + 1; j < stack.size(); ++j)
                QVERIFY(!stack.at(i)->geometry().intersects(stack.at(j)->geometry()));
        }
        QCOMPARE(covered, area.width() * area.height());
    } else {
        // Each window a step right of and below the one under it; the active one on top.
        for (int i = 1; i < stack.size(); ++i) {
            QVERIFY(stack.at(i)->x() > stack.at(i - 1)->x());
            QVERIFY(stack.at(i)->y() > stack.at(i - 1)->y());
        }
        QCOMPARE(stack.last(), frame->mdiArea()->activeSubWindow());
    }
}

// Each new window is placed where it lies inside the area, as far as it fits.
void TestWindows::newWindowsOpenInsideTheArea()
{
    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log));
    CMainFrame *frame = start({QStringLiteral("Korva3"), log});
    QVERIFY(frame);
    frame->resize(1200, 800);
    QCoreApplication::processEvents();
    const QRect area = frame->mdiArea()->viewport()->rect();
    for (int i = 0; i < 4; ++i) {
        QVERIFY(frame->runCommand(i == 0 ? ID_QSO_QSL_CARDS : ID_WINDOW_NEW));
        const QMdiSubWindow *window = frame->mdiArea()->activeSubWindow();
        QVERIFY(window->width() <= area.width() && window->height() <= area.height());
        QVERIFY2(area.contains(window->geometry()), qPrintable(QStringLiteral("window %1 at %2,%3")
                                                                   .arg(i)
                                                                   .arg(window->x())
                                                                   .arg(window->y())));
    }
}

// --- Window menu and caption --------------------------------------------------------

void TestWindows::windowMenuListsTheOpenWindows()
{
    const QString a = m_dir->filePath("a.sqlite3");
    const QString b = m_dir->filePath("b.sqlite3");
    QVERIFY(makeLogbook(a) && makeLogbook(b));
    CMainFrame *frame = start({QStringLiteral("Korva3"), a});
    QVERIFY(frame->docManager()->OpenDocumentFile(b));
    QVERIFY(frame->runCommand(ID_QSO_QSL_CARDS));
    const QStringList commands = {"&New Window", "&Cascade", "&Tile", "&Arrange Icons", "D&X Cluster", "-"};
    QCOMPARE(menuTexts(frame, "&Window", true), commands + QStringList({"&1 a.sqlite3", "&2 b.sqlite3", "[x]&3 Qsl - b.sqlite3"}));

    QAction *first = menuEntry(frame, "&Window", "&1 a.sqlite3");
    QVERIFY(first);
    first->trigger();
    QCOMPARE(frame->activeFrame()->document()->pathName(), a);
    QCOMPARE(frame->activeFrame()->windowKind(), CommandTable::WindowKind::Logbook);
    QCOMPARE(menuTexts(frame, "&Window", true), commands + QStringList({"[x]&1 a.sqlite3", "&2 b.sqlite3", "&3 Qsl - b.sqlite3"}));

    frame->docManager()->CloseDocument(frame->docManager()->documents().last());
    QTRY_COMPARE(frame->docManager()->documents().size(), 1);
    QCOMPARE(menuTexts(frame, "&Window", true), commands + QStringList({"[x]&1 a.sqlite3"}));
}

namespace {

// What the operator did before looking at the caption.
enum CaptionCase { Opened, Maximised, Restored, QslWindow, SecondLogbook, AllClosed };

} // namespace

void TestWindows::captionCarriesTheActiveLogbook_data()
{
    QTest::addColumn<CaptionCase>("done");
    QTest::addColumn<QString>("caption");
    QTest::newRow("logbook window") << Opened << "Korva3 - log.sqlite3";
    QTest::newRow("maximised") << Maximised << "Korva3 - [log.sqlite3]";
    QTest::newRow("maximised and restored") << Restored << "Korva3 - log.sqlite3";
    QTest::newRow("QSL window") << QslWindow << "Korva3 - log.sqlite3";
    QTest::newRow("second logbook") << SecondLogbook << "Korva3 - other.sqlite3";
    QTest::newRow("no window") << AllClosed << "Korva3";
}

void TestWindows::captionCarriesTheActiveLogbook()
{
    QFETCH(CaptionCase, done);
    QFETCH(QString, caption);
    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log) && makeLogbook(m_dir->filePath("other.sqlite3")));
    CMainFrame *frame = start({QStringLiteral("Korva3"), log});
    QMdiSubWindow *window = frame->activeFrame();
    QVERIFY(!window->isMaximized());
    switch (done) {
    case Maximised:
        window->showMaximized();
        break;
    case Restored:
        window->showMaximized();
        window->showNormal();
        break;
    case QslWindow:
        QVERIFY(frame->runCommand(ID_QSO_QSL_CARDS));
        break;
    case SecondLogbook:
        QVERIFY(frame->docManager()->OpenDocumentFile(m_dir->filePath("other.sqlite3")));
        break;
    case AllClosed:
        frame->docManager()->CloseDocument(frame->docManager()->documents().first());
        QTRY_COMPARE(frame->docManager()->documents().size(), 0);
        break;
    default:
        break;
    }
    QCoreApplication::processEvents();
    QCOMPARE(frame->windowTitle(), caption);
}

// --- The empty workspace ------------------------------------------------------------

namespace {

QStringList buttonTexts(const QList<QPushButton *> &buttons)
{
    QStringList texts;
    for (const QPushButton *button : buttons)
        texts.append(QStringLiteral("%1%2").arg(button->isEnabled() ? "" : "[off]", button->text()));
    return texts;
}

} // namespace

void TestWindows::startPanelRunsTheFileCommandsByKeyboard_data()
{
    QTest::addColumn<int>("tabs");       // from the first button, which has the focus
    QTest::addColumn<QStringList>("files"); // chosen in the file dialogs, in order
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<QString>("window");  // the title of the window opened, if any
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("new logbook") << 0 << QStringList({"new.sqlite3"}) << QStringList({"New Logbook"})
                                 << "new.sqlite3" << QStringList();
    QTest::newRow("open logbook") << 1 << QStringList({"log.sqlite3"}) << QStringList({"Open Logbook"})
                                  << "log.sqlite3" << QStringList();
    QTest::newRow("import into a new logbook")
        << 2 << QStringList({"qsos.adi", "imported.sqlite3"}) << QStringList({"Import Adif file", "New Logbook"})
        << "imported.sqlite3" << QStringList({"2 Qso Records added"});
    QTest::newRow("import cancelled") << 2 << QStringList() << QStringList({"Import Adif file"}) << QString()
                                      << QStringList();
}

void TestWindows::startPanelRunsTheFileCommandsByKeyboard()
{
    QFETCH(int, tabs);
    QFETCH(QStringList, files);
    QFETCH(QStringList, dialogs);
    QFETCH(QString, window);
    QFETCH(QStringList, texts);
    QVERIFY(makeLogbook(m_dir->filePath("log.sqlite3")));
    QFile adif(m_dir->filePath("qsos.adi"));
    QVERIFY(adif.open(QIODevice::WriteOnly));
    adif.write("<EOH>\n<CALL:6>DL1ABC<QSO_DATE:8>20260102<TIME_ON:4>1000<BAND:3>20M<MODE:2>CW<EOR>\n"
               "<CALL:6>DL2ABC<QSO_DATE:8>20260102<TIME_ON:4>1001<BAND:3>20M<MODE:2>CW<EOR>\n");
    adif.close();
    for (const QString &file : std::as_const(files))
        m_prompter.setNextFile(m_dir->filePath(file));
    CMainFrame *frame = start();
    QVERIFY(frame);
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    StartPanel *panel = frame->startPanel();
    QVERIFY(panel->isVisible());
    QCOMPARE(buttonTexts({panel->newButton(), panel->openButton(), panel->importButton()}),
             QStringList({"&New logbook", "&Open logbook", "&Import ADIF file"}));
    QTRY_VERIFY(panel->newButton()->hasFocus());

    for (int i = 0; i < tabs; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QStringList shownDialogs;
    for (const ScriptedPrompter::Shown &shown : m_prompter.shown()) {
        if (shown.kind == ScriptedPrompter::Shown::Kind::File)
            shownDialogs.append(shown.text);
    }
    QCOMPARE(shownDialogs, dialogs);
    QCOMPARE(m_prompter.texts(), texts);
    QCOMPARE(frame->activeFrame() ? frame->activeFrame()->windowTitle() : QString(), window);
    QTRY_COMPARE(panel->isVisible(), window.isEmpty());
}

void TestWindows::startPanelListsTheLogbooksUsedLately()
{
    const QString a = m_dir->filePath("a.sqlite3");
    const QString b = m_dir->filePath("b.sqlite3");
    QVERIFY(makeLogbook(a) && makeLogbook(b));
    CMainFrame *frame = start();
    StartPanel *panel = frame->startPanel();
    QVERIFY(panel->isVisible());
    QCOMPARE(buttonTexts(panel->recentButtons()), QStringList());

    QVERIFY(frame->docManager()->OpenDocumentFile(a) && frame->docManager()->OpenDocumentFile(b));
    QTRY_VERIFY(!panel->isVisible());
    QVERIFY(frame->runCommand(ID_QSO_QSL_CARDS));
    frame->docManager()->CloseDocument(frame->docManager()->documents().first());
    QTRY_COMPARE(frame->docManager()->documents().size(), 1);
    QVERIFY(!panel->isVisible()); // b's windows are still open
    frame->docManager()->CloseDocument(frame->docManager()->documents().first());
    QTRY_VERIFY(panel->isVisible());
    QCOMPARE(buttonTexts(panel->recentButtons()),
             QStringList({"&1 " + QDir::toNativeSeparators(b), "&2 " + QDir::toNativeSeparators(a)}));

    // A click opens one; a logbook gone since is shown missing when the panel returns.
    QVERIFY(QFile::remove(b));
    panel->recentButtons().at(1)->click();
    QCOMPARE(frame->activeFrame()->document()->pathName(), a);
    QTRY_VERIFY(!panel->isVisible());
    QVERIFY(frame->runCommand(ID_FILE_CLOSE));
    QTRY_VERIFY(panel->isVisible());
    QCOMPARE(buttonTexts(panel->recentButtons()), QStringList({"&1 " + QDir::toNativeSeparators(a),
                                                               "[off]&2 " + QDir::toNativeSeparators(b) + " (missing)"}));
}

// --- Keys and the clipboard ---------------------------------------------------------

void TestWindows::pasteFollowsTheClipboard()
{
    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log));
    CMainFrame *frame = startActive(log);
    QVERIFY(frame);
    const CKorva3View *view = qobject_cast<CChildFrame *>(frame->activeFrame())->view();
    QAction *paste = frame->action(ID_EDIT_PASTE);
    QClipboard *clipboard = QGuiApplication::clipboard();

    clipboard->clear();
    QTRY_VERIFY(!paste->isEnabled());
    QVERIFY(!frame->runCommand(ID_EDIT_PASTE));
    clipboard->setText(QStringLiteral("DL1ABC"));
    QTRY_VERIFY(paste->isEnabled());
    QVERIFY(frame->runCommand(ID_EDIT_PASTE));
    QCOMPARE(view->callEdit()->text(), QStringLiteral("DL1ABC"));
    clipboard->setText(QString());
    QTRY_VERIFY(!paste->isEnabled());
}

void TestWindows::ctrlF4ClosesTheActiveWindow()
{
    const QString a = m_dir->filePath("a.sqlite3");
    const QString b = m_dir->filePath("b.sqlite3");
    QVERIFY(makeLogbook(a) && makeLogbook(b));
    CMainFrame *frame = startActive(a);
    QVERIFY(frame);
    QVERIFY(frame->runCommand(ID_QSO_QSL_CARDS));
    QVERIFY(frame->runCommand(ID_WINDOW_NEW)); // a second QSL window
    QVERIFY(frame->docManager()->OpenDocumentFile(b));
    QCOMPARE(frame->mdiArea()->subWindowList().size(), 4);

    // Each Ctrl+F4 closes the window that is active, the one opened last first; the
    // last window of a logbook takes the logbook with it.
    const QList<int> windowsLeft = {3, 2, 1, 0};
    const QList<int> documentsLeft = {1, 1, 1, 0};
    for (int i = 0; i < windowsLeft.size(); ++i) {
        QPointer<QMdiSubWindow> active = frame->mdiArea()->activeSubWindow();
        QVERIFY(active);
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : frame, Qt::Key_F4,
                        Qt::ControlModifier);
        QTRY_VERIFY(!active);
        QTRY_COMPARE(frame->mdiArea()->subWindowList().size(), windowsLeft.at(i));
        QTRY_COMPARE(frame->docManager()->documents().size(), documentsLeft.at(i));
    }
    QVERIFY(!frame->action(ID_WINDOW_CLOSE)->isEnabled());
}

// Opening a menu is no leaving of the call field, and Esc brings the focus back to it.
void TestWindows::escFromAMenuReturnsToTheField()
{
    const QString log = m_dir->filePath("log.sqlite3");
    QVERIFY(makeLogbook(log, 2));
    CMainFrame *frame = startActive(log);
    QVERIFY(frame);
    const CKorva3View *view = qobject_cast<CChildFrame *>(frame->activeFrame())->view();
    QTest::keyClicks(view->callEdit(), "PA3X");
    QCOMPARE(view->foundCountLabel()->text(), QStringLiteral("2"));

    QTest::keyClick(view->callEdit(), Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
    QCOMPARE(qobject_cast<QMenu *>(QApplication::activePopupWidget())->title(), QStringLiteral("&File"));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    // The offscreen platform hands the activation back only when asked.
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    QTRY_COMPARE(QApplication::focusWidget(), view->callEdit());
    QTest::keyClicks(QApplication::focusWidget(), "Y");
    QCOMPARE(view->callEdit()->text(), QStringLiteral("PA3XY"));
    // The list of the latest QSOs stands: the call field was never left.
    QCOMPARE(view->foundCountLabel()->text(), QStringLiteral("2"));
    QCOMPARE(view->workedList()->rowCount(), 2);
}

// --- Splash window and status bar ---------------------------------------------------

namespace {

// Notes what stands on the screen when the main window first shows.
class ShowWatcher : public QObject
{
public:
    bool splashExposedBefore = false;
    bool mainShown = false;
    bool splashVisibleAtMainShow = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && qobject_cast<QWindow *>(watched) && CSplashWnd::instance()
            && CSplashWnd::instance()->windowHandle() == watched && !mainShown)
            splashExposedBefore = CSplashWnd::instance()->windowHandle()->isExposed();
        if (event->type() == QEvent::Show && qobject_cast<CMainFrame *>(watched) && !mainShown) {
            mainShown = true;
            splashVisibleAtMainShow = CSplashWnd::instance() && CSplashWnd::instance()->isVisible();
        }
        return false;
    }
};

} // namespace

void TestWindows::splashStandsInFrontBeforeTheMainWindow()
{
    ShowWatcher watcher;
    qApp->installEventFilter(&watcher);
    CMainFrame::s_startupPauseMs = 200;
    CMainFrame *frame = start();
    CMainFrame::s_startupPauseMs = 0;
    qApp->removeEventFilter(&watcher);
    QVERIFY(frame);
    QVERIFY(watcher.mainShown);
    QVERIFY(watcher.splashExposedBefore);
    QVERIFY(watcher.splashVisibleAtMainShow);
    // It stays in front of the main window for the rest of its time, then goes.
    const CSplashWnd *splash = CSplashWnd::instance();
    QVERIFY(splash && splash->isVisible());
    QVERIFY(splash->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(splash->windowHandle()->transientParent(), frame->windowHandle());
    QTRY_VERIFY_WITH_TIMEOUT(!CSplashWnd::instance(), 5000);
}

void TestWindows::lockPanesAreLeftOutWhereTheStateCannotBeRead()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    QVERIFY(!KeyboardLocks::read());
    CMainFrame *frame = start();
    QVERIFY(frame);
    for (const char *pane : {"CAP", "NUM", "SCRL"})
        QVERIFY(!frame->statusBar()->findChild<QLabel *>(QLatin1String(pane)));
}

void TestWindows::lockStateIsReadFromTheXServer_data()
{
    QTest::addColumn<bool>("caps");
    QTest::addColumn<bool>("num");
    QTest::newRow("none") << false << false;
    QTest::newRow("caps lock") << true << false;
    QTest::newRow("num lock") << false << true;
    QTest::newRow("both") << true << true;
}

// A real X server with the keyboard extension: the locks set there are the locks read.
void TestWindows::lockStateIsReadFromTheXServer()
{
    QFETCH(bool, caps);
    QFETCH(bool, num);
    const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (server.isEmpty())
        QSKIP("Xvfb is not installed");
    QProcess xvfb;
    xvfb.start(server, {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "320x240x24"});
    QVERIFY(xvfb.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(xvfb.canReadLine(), 10000);
    const QByteArray display = ':' + xvfb.readLine().trimmed();
    const std::optional<KeyboardLocks::State> state = XServerLocks::setAndRead(display, caps, num);
    xvfb.terminate();
    QVERIFY(xvfb.waitForFinished(10000));
    QVERIFY(state);
    QCOMPARE(state->caps, caps);
    QCOMPARE(state->num, num);
    QCOMPARE(state->scroll, false);
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
