#include "CMainFrame.h"

#include "CClusterFrame.h"
#include "CDocCommands.h"
#include "CDocManager.h"
#include "CDocumentFrame.h"
#include "CRadioFollower.h"
#include "CWsjtxFollower.h"
#include "KeyboardLocks.h"
#include "MdiArrangement.h"
#include "StartPanel.h"
#include "document/CKorva3Doc.h"
#include "document/LogbookFiles.h"
#include "entry/CClusterView.h"
#include "entry/CKorva3View.h"
#include "forms/TablePrinter.h"
#include "net/CallbookClient.h"
#include "net/ClusterSettings.h"
#include "net/WsjtxLogging.h"
#include "net/WsjtxSettings.h"
#include "platform/AppSettings.h"
#include "platform/Prompter.h"
#include "platform/CommandIds.h"
#include "platform/CommandRouter.h"
#include "rig/CTrxLink.h"
#include "rig/TrxDecoding.h"
#include "rig/TrxReadingReceiver.h"
#include "store/ProgramDb.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QStyle>
#include <QStatusBar>
#include <QFileInfo>
#include <QTimer>
#include <QToolBar>

#include <cmath>

int CMainFrame::s_startupPauseMs = 1000;

namespace {

const char kIdleText[] = "Ready";
const char kAppTitle[] = "Korva3";
// The widest text the message pane shows during an import.
const char kWidestProgressText[] = "Add database 100 %";
// How often the lock keys' state is looked at, for changes made in other windows.
constexpr int kLockPollMs = 300;
// The share of the screen the main window takes at start.
constexpr double kScreenShare = 0.9;

// The line edit that edit commands act on: the focused one, or that of an editable
// drop-down list.
QLineEdit *focusedLineEdit()
{
    QWidget *focus = QApplication::focusWidget();
    if (auto *edit = qobject_cast<QLineEdit *>(focus))
        return edit;
    if (auto *combo = qobject_cast<QComboBox *>(focus))
        return combo->lineEdit();
    return nullptr;
}

} // namespace

CMainFrame::CMainFrame(QWidget *parent)
    : QMainWindow(parent)
    , m_area(new QMdiArea(this))
    , m_docManager(new CDocManager(m_area, this))
    , m_trxLink(new CTrxLink(this))
    , m_callbook(new CallbookClient(this))
{
    setWindowTitle(QLatin1String(kAppTitle));
    setCentralWidget(m_area);
    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    createStartPanel();
    applyWindowKind();

    connect(m_area, &QMdiArea::subWindowActivated, this, [this] {
        followLogbook();
        applyWindowKind();
    });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { updateCommandUI(); });
    connect(m_docManager, &CDocManager::recentFilesChanged, this, [this] { updateRecentFiles(); });
    connect(m_docManager, &CDocManager::documentsChanged, this, [this] {
        followLogbook();
        applyWindowKind();
    });
    connect(m_docManager, &CDocManager::frameAdded, this, &CMainFrame::watchFrame);
    watchBackups();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        rememberField(now);
        watchEditField();
        updateCommandUI();
    });
    updateRecentFiles();
    // Large enough for a logbook window beside the MDI area's edges, on the screen.
    const QScreen *screen = QGuiApplication::primaryScreen();
    resize(screen ? screen->availableSize() * kScreenShare : QSize(1024, 700));
    ImportProgress::install(this);
    qApp->installEventFilter(this);

    ProgramDb programDatabase;
    m_trxLink->OpenLink(programDatabase);
    // A reading goes to every entry form open when it arrives.
    m_trxLink->SetReceivers([this] {
        QList<TrxReadingReceiver *> receivers;
        for (QMdiSubWindow *window : m_area->subWindowList()) {
            const auto *frame = qobject_cast<CDocumentFrame *>(window);
            if (auto *receiver = frame ? dynamic_cast<TrxReadingReceiver *>(frame->viewWidget()) : nullptr)
                receivers.append(receiver);
        }
        return receivers;
    });
    connect(m_trxLink, &CTrxLink::queryEnded, this, [this] { updateCommandUI(); });
    connect(m_trxLink, &CTrxLink::tuned, this, &CMainFrame::showTuned);
    m_callbook->reload();
    // The cluster of the settings is connected once the windows of the start are open,
    // behind the logbook window.
    QTimer::singleShot(0, this, [this] {
        if (ClusterSettings::load().autoConnect)
            openClusterWindow(false)->view()->connectToCluster();
    });
    m_radioFollower = new CRadioFollower(
        m_trxLink,
        [this]() -> CKorva3View * {
            const CDocumentFrame *frame = activeFrame();
            return frame ? qobject_cast<CKorva3View *>(frame->viewWidget()) : nullptr;
        },
        this);
    createWsjtxLogging();
}

CMainFrame::~CMainFrame()
{
    // A QSO still waiting for its Logged ADIF goes into its logbook before the windows go.
    m_wsjtxLogging->stop();
    disconnect(m_wsjtxLogging, nullptr, this, nullptr);
    // Closing the window below hides and closes the document windows; the menus must
    // not follow them any more.
    disconnect(qApp, nullptr, this, nullptr);
    qApp->removeEventFilter(this);
    disconnect(m_area, nullptr, this, nullptr);
    for (QMdiSubWindow *window : m_area->subWindowList())
        disconnect(window, nullptr, this, nullptr);
    disconnect(QGuiApplication::clipboard(), nullptr, this, nullptr);
    disconnect(m_docManager, nullptr, this, nullptr);
    m_docManager->detachWindows();
    ImportProgress::install(nullptr);
}

void CMainFrame::setApplicationTarget(CommandTarget *target)
{
    m_appTarget = target;
    updateCommandUI();
}

CDocumentFrame *CMainFrame::activeFrame() const
{
    return qobject_cast<CDocumentFrame *>(m_area->currentSubWindow());
}

CommandTable::WindowKind CMainFrame::windowKind() const
{
    if (clusterActive())
        return CommandTable::WindowKind::Cluster;
    const CDocumentFrame *frame = activeFrame();
    return frame ? frame->windowKind() : CommandTable::WindowKind::None;
}

bool CMainFrame::clusterActive() const
{
    return m_clusterFrame && m_area->currentSubWindow() == m_clusterFrame;
}

QList<CommandTarget *> CMainFrame::route() const
{
    if (clusterActive())
        return {m_clusterFrame->view(), const_cast<CMainFrame *>(this), m_appTarget};
    CDocumentFrame *frame = activeFrame();
    if (!frame)
        return {const_cast<CMainFrame *>(this), m_appTarget};
    return {frame->viewTarget(), m_docManager->commandsFor(frame->document()), nullptr,
            const_cast<CMainFrame *>(this), m_appTarget};
}

bool CMainFrame::runCommand(int id)
{
    const bool ran = CommandRouter(route()).execute(id);
    updateCommandUI();
    return ran;
}

void CMainFrame::updateCommandUI()
{
    const CommandRouter router(route());
    for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it) {
        it.value()->setEnabled(router.isEnabled(it.key()));
        if (it.value()->isCheckable())
            it.value()->setChecked(router.isChecked(it.key()));
    }
}

// A form says when what its commands may do changes (a selection, the call typed), so
// that menus, keys and toolbar follow at once.
void CMainFrame::watchFrame(CDocumentFrame *frame)
{
    QWidget *view = frame->viewWidget();
    connect(frame, &QMdiSubWindow::windowStateChanged, this, [this] { updateCaption(); });
    connect(frame, &QWidget::windowTitleChanged, this, [this] { updateWindowList(); });
    if (view && view->metaObject()->indexOfSignal("commandsChanged()") >= 0)
        connect(view, SIGNAL(commandsChanged()), this, SLOT(updateCommandUI()));
    // The view gets the transceiver link and the WSJT-X logging so that its Setup can
    // show and change them, and the callbook, whose answers it says in the status bar.
    if (auto *form = qobject_cast<CKorva3View *>(view)) {
        form->setTrxLink(m_trxLink);
        form->setWsjtxLogging(m_wsjtxLogging);
        form->setCallbook(m_callbook);
        connect(form, &CKorva3View::statusMessage, this, [this](const QString &text) { SetStatusText(text); });
    }
}

// --- DX cluster ---------------------------------------------------------------------

CClusterFrame *CMainFrame::openClusterWindow(bool activate)
{
    if (!m_clusterFrame) {
        m_clusterFrame = new CClusterFrame;
        CClusterView *view = m_clusterFrame->view();
        view->setLogbook(logbookFrame() ? logbookFrame()->document() : nullptr);
        connect(view, &CClusterView::spotChosen, this, &CMainFrame::takeSpot);
        connect(view, &CClusterView::commandsChanged, this, &CMainFrame::updateCommandUI);
        connect(m_clusterFrame, &QWidget::windowTitleChanged, this, [this] { updateWindowList(); });
        QPointer<QMdiSubWindow> before = m_area->currentSubWindow();
        m_area->addSubWindow(m_clusterFrame);
        m_clusterFrame->show();
        if (!activate && before)
            m_area->setActiveSubWindow(before);
    }
    if (activate) {
        if (m_clusterFrame->isMinimized())
            m_clusterFrame->showNormal();
        m_area->setActiveSubWindow(m_clusterFrame);
    }
    return m_clusterFrame;
}

CDocumentFrame *CMainFrame::logbookFrame() const
{
    if (m_logbookFrame)
        return m_logbookFrame;
    for (QMdiSubWindow *window : m_area->subWindowList(QMdiArea::ActivationHistoryOrder)) {
        auto *frame = qobject_cast<CDocumentFrame *>(window);
        if (frame && frame->windowKind() == CommandTable::WindowKind::Logbook)
            return frame;
    }
    return nullptr;
}

// The logbook window active last gives the spots' statuses and takes the spots.
void CMainFrame::followLogbook()
{
    CDocumentFrame *active = activeFrame();
    if (active && active->windowKind() == CommandTable::WindowKind::Logbook)
        m_logbookFrame = active;
    if (m_clusterFrame) {
        const CDocumentFrame *frame = logbookFrame();
        m_clusterFrame->view()->setLogbook(frame ? frame->document() : nullptr);
    }
}

// A spot goes into the form of the logbook window only when that form holds no call;
// the radio is tuned only then, so that a QSO being entered keeps its frequency.
void CMainFrame::takeSpot(const DxSpot &spot, const SpotStatus &status)
{
    CDocumentFrame *frame = logbookFrame();
    auto *form = frame ? qobject_cast<CKorva3View *>(frame->viewWidget()) : nullptr;
    if (!form) {
        SetStatusText(QStringLiteral("Open a logbook to take %1").arg(spot.dxCall));
        return;
    }
    if (!form->TakeSpot(spot, status.mode)) {
        SetStatusText(QStringLiteral("The entry form holds a call: clear it (F3) to take %1").arg(spot.dxCall));
        return;
    }
    m_area->setActiveSubWindow(frame);
    const qint64 hz = std::llround(spot.frequencyKHz * 1000);
    if (m_trxLink->Tune(hz, status.mode))
        SetStatusText(QStringLiteral("Tuning the radio to %1").arg(TrxDecoding::frequencyTextOfHz(hz)));
}

void CMainFrame::showTuned(const TrxOutcome &outcome)
{
    if (outcome.reading)
        SetStatusText(QStringLiteral("Radio tuned to %1").arg(outcome.reading->frequency));
    else if (!outcome.messages.isEmpty())
        SetStatusText(QStringLiteral("The radio was not tuned: %1").arg(outcome.messages.first().text.simplified()));
}

// --- WSJT-X, JTDX and JS8Call -------------------------------------------------------

void CMainFrame::createWsjtxLogging()
{
    m_wsjtxLogging = new WsjtxLogging([this](QString &why) { return wsjtxLogbook(why); }, this);
    connect(m_wsjtxLogging, &WsjtxLogging::qsoHandled, this,
            [this](const WsjtxLogging::Outcome &outcome) { SetStatusText(outcome.text); });
    m_wsjtxFollower = new CWsjtxFollower(
        m_wsjtxLogging,
        [this]() -> CKorva3View * {
            const CDocumentFrame *frame = activeFrame();
            return frame ? qobject_cast<CKorva3View *>(frame->viewWidget()) : nullptr;
        },
        this);
}

void CMainFrame::startWsjtxLogging()
{
    const WsjtxSettings settings = WsjtxSettings::load();
    if (!m_wsjtxLogging->apply(settings))
        Prompter::current().warning(m_wsjtxLogging->notListeningText());
}

// The logbook chosen in Setup; else the active window's (a QSL window's too); else,
// with none open, the one used last.
CKorva3Doc *CMainFrame::wsjtxLogbook(QString &why)
{
    const QString chosen = m_wsjtxLogging->settings().logbook;
    if (!chosen.isEmpty())
        return m_docManager->DocumentWithoutWindow(chosen, why);
    if (const CDocumentFrame *frame = activeFrame())
        return frame->document();
    const QString last = AppSettings::mostRecentFile();
    if (last.isEmpty()) {
        why = QStringLiteral("no logbook is open");
        return nullptr;
    }
    return m_docManager->DocumentWithoutWindow(last, why);
}

// --- Building the window ------------------------------------------------------------

void CMainFrame::createActions()
{
    QList<int> ids = CommandTable::allCommands();
    for (int i = 1; i < kRecentFileCount; ++i)
        ids.append(ID_FILE_MRU_FILE1 + i);
    for (int id : ids) {
        auto *action = new QAction(this);
        action->setData(id);
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
        m_actions.insert(id, action);
        addAction(action); // keys work whichever menus show
    }
    for (int i = 0; i < kRecentFileCount; ++i)
        m_recentActions.append(m_actions.value(ID_FILE_MRU_FILE1 + i));
    m_actions.value(ID_VIEW_TOOLBAR)->setCheckable(true);
    m_actions.value(ID_VIEW_STATUS_BAR)->setCheckable(true);
}

void CMainFrame::createMenus()
{
    using CommandTable::WindowKind;
    for (WindowKind kind : {WindowKind::None, WindowKind::Logbook, WindowKind::Qsl, WindowKind::Cluster}) {
        for (const CommandTable::Menu &spec : CommandTable::menus(kind)) {
            auto *menu = new QMenu(QString::fromLatin1(spec.title), this);
            for (const CommandTable::MenuItem &item : spec.items) {
                if (item.id == 0) {
                    menu->addSeparator();
                } else if (item.id == ID_FILE_MRU_FILE1) {
                    menu->addActions(m_recentActions);
                } else {
                    // One action serves every menu; its text is set per kind.
                    menu->addAction(m_actions.value(item.id));
                }
            }
            connect(menu, &QMenu::aboutToShow, this, [this] { updateCommandUI(); });
            if (spec.items.first().id == ID_WINDOW_NEW) {
                connect(menu, &QMenu::aboutToShow, this, [this] { updateWindowList(); });
                m_windowMenus.append(menu);
            }
            m_menus[kind].append(menu);
        }
    }
}

void CMainFrame::createToolBar()
{
    m_toolBar = addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("toolbar59392"));
    m_toolBar->setIconSize(QSize(16, 15));
    const struct { int id; const char *icon; const char *tip; } buttons[] = {
        {ID_FILE_NEW, "new", "Create a new document\nNew"},
        {ID_FILE_OPEN, "open", "Open an existing document\nOpen"},
        {0, nullptr, nullptr},
        {ID_EDIT_CUT, "cut", "Cut the selection and put it on the Clipboard\nCut"},
        {ID_EDIT_COPY, "copy", "Copy the selection and put it on the Clipboard\nCopy"},
        {ID_EDIT_PASTE, "paste", "Insert Clipboard contents\nPaste"},
        {0, nullptr, nullptr},
        {ID_FILE_PRINT, "print", "Print the active document\nPrint"},
        {ID_APP_ABOUT, "about", "Display program information, version number and copyright\nAbout"},
    };
    for (const auto &button : buttons) {
        if (button.id == 0) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction *action = m_actions.value(button.id);
        const QStringList prompt = QString::fromLatin1(button.tip).split(QLatin1Char('\n'));
        action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(button.icon))));
        action->setStatusTip(prompt.first());
        action->setToolTip(prompt.last());
        m_toolBar->addAction(action);
    }
}

void CMainFrame::createStatusBar()
{
    // The message pane on the left, and right beside it the import's progress bar; the
    // pane keeps the width of its widest import text, so the bar stands still.
    auto *left = new QWidget;
    auto *row = new QHBoxLayout(left);
    row->setContentsMargins(0, 0, 0, 0);
    m_messagePane = new QLabel(QString::fromLatin1(kIdleText), left);
    m_messagePane->setMinimumWidth(m_messagePane->fontMetrics().horizontalAdvance(QLatin1String(kWidestProgressText)));
    m_progress = new QProgressBar(left);
    m_progress->setRange(0, 100);
    m_progress->setFixedWidth(250);
    m_progress->hide();
    row->addWidget(m_messagePane);
    row->addWidget(m_progress);
    row->addStretch(1);
    statusBar()->addWidget(left, 1);

    // The lock indicators, lit while their lock is on. Where the lock keys' state cannot
    // be read they are left out rather than stand grey for ever.
    if (!KeyboardLocks::read())
        return;
    for (const char *indicator : {"CAP", "NUM", "SCRL"}) {
        auto *pane = new QLabel(QString::fromLatin1(indicator));
        pane->setObjectName(QString::fromLatin1(indicator));
        statusBar()->addPermanentWidget(pane);
        m_lockPanes.append(pane);
    }
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { updateLockPanes(); });
    timer->start(kLockPollMs);
    updateLockPanes();
}

void CMainFrame::createStartPanel()
{
    m_startPanel = new StartPanel(m_area);
    connect(m_startPanel, &StartPanel::newChosen, this, [this] { runCommand(ID_FILE_NEW); });
    connect(m_startPanel, &StartPanel::openChosen, this, [this] { runCommand(ID_FILE_OPEN); });
    connect(m_startPanel, &StartPanel::importChosen, this, &CMainFrame::importFromStartPanel);
    connect(m_startPanel, &StartPanel::recentChosen, this, [this](int index) { runCommand(ID_FILE_MRU_FILE1 + index); });
}

void CMainFrame::importFromStartPanel()
{
    Prompter::FileRequest request;
    request.kind = Prompter::FileRequest::Kind::Open;
    request.title = QStringLiteral("Import Adif file");
    request.filter = QStringLiteral("Adif Files (*.adi;*.adif)|*.adi;*.adif|All Files (*.*)|*.*||");
    request.defaultExtension = QStringLiteral("adi");
    request.mustExist = true;
    const QString path = Prompter::current().chooseFile(request);
    if (!path.isEmpty())
        m_docManager->OpenFile(path);
}

void CMainFrame::updateLockPanes()
{
    const std::optional<KeyboardLocks::State> state = KeyboardLocks::read();
    if (!state || m_lockPanes.size() != 3)
        return;
    m_lockPanes.at(0)->setEnabled(state->caps);
    m_lockPanes.at(1)->setEnabled(state->num);
    m_lockPanes.at(2)->setEnabled(state->scroll);
}

void CMainFrame::applyWindowKind()
{
    const CommandTable::WindowKind kind = windowKind();
    if (kind != m_kind || menuBar()->actions().isEmpty()) {
        m_kind = kind;
        menuBar()->clear();
        for (QMenu *menu : m_menus.value(kind))
            menuBar()->addMenu(menu);
        for (const CommandTable::Menu &spec : CommandTable::menus(kind)) {
            for (const CommandTable::MenuItem &item : spec.items) {
                if (item.id != 0 && item.id != ID_FILE_MRU_FILE1)
                    m_actions.value(item.id)->setText(QString::fromLatin1(item.text));
            }
        }
        QHash<int, QList<QKeySequence>> keys;
        for (const CommandTable::KeyBinding &binding : CommandTable::keys(kind))
            keys[binding.id].append(binding.key);
        for (auto it = m_actions.cbegin(); it != m_actions.cend(); ++it)
            it.value()->setShortcuts(keys.value(it.key()));
    }
    updateCaption();
    updateWindowList();
    updateCommandUI();
}

// "Korva3 - log.sqlite3" while a logbook's window is active. A maximised window shows
// its title in brackets instead, "Korva3 - [log.sqlite3]": the MDI area adds it to the
// caption it finds.
void CMainFrame::updateCaption()
{
    const CDocumentFrame *frame = activeFrame();
    QString caption = QLatin1String(kAppTitle);
    if (frame && frame->isMaximized()) {
        if (windowTitle() == QStringLiteral("%1 - [%2]").arg(caption, frame->windowTitle()))
            return;
    } else if (frame) {
        caption = QStringLiteral("%1 - %2").arg(caption, frame->document()->title());
    }
    if (windowTitle() != caption)
        setWindowTitle(caption);
}

// The Window menu ends with the open windows, numbered, the active one checked; choosing
// one brings it forward.
void CMainFrame::updateWindowList()
{
    qDeleteAll(m_windowListActions);
    m_windowListActions.clear();
    const QList<QMdiSubWindow *> windows = m_area->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    auto *separator = new QAction(this);
    separator->setSeparator(true);
    m_windowListActions.append(separator);
    for (int i = 0; i < windows.size(); ++i) {
        const QPointer<QMdiSubWindow> window = windows.at(i);
        auto *action = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(window->windowTitle()), this);
        action->setCheckable(true);
        action->setChecked(window == m_area->currentSubWindow());
        connect(action, &QAction::triggered, this, [this, window] {
            if (!window)
                return;
            if (window->isMinimized())
                window->showNormal();
            m_area->setActiveSubWindow(window);
            updateWindowList();
        });
        m_windowListActions.append(action);
    }
    for (QMenu *menu : std::as_const(m_windowMenus))
        menu->addActions(m_windowListActions);
}

void CMainFrame::updateRecentFiles()
{
    const QStringList files = m_docManager->recentFiles();
    m_startPanel->setRecentFiles(files);
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction *action = m_recentActions.at(i);
        if (i < files.size()) {
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(files.at(i))));
            action->setVisible(true);
        } else {
            // An empty list shows its place holder, disabled.
            action->setText(QStringLiteral("Recent File"));
            action->setVisible(i == 0);
        }
    }
    updateCommandUI();
}

bool CMainFrame::eventFilter(QObject *watched, QEvent *event)
{
    // Esc closing one of the menus of the menu bar ends the visit to the menus.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        const auto *menu = qobject_cast<QMenu *>(watched);
        if (menu && menuBar()->actions().contains(menu->menuAction()))
            QTimer::singleShot(0, this, &CMainFrame::returnFromMenu);
    }
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this) {
            const QKeySequence key(static_cast<QKeyEvent *>(event)->keyCombination());
            for (const QAction *action : std::as_const(m_actions)) {
                // Not handing the key to the field lets the shortcut run.
                if (action->isEnabled() && action->shortcuts().contains(key))
                    return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent *event)
{
    for (const QUrl &url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            m_docManager->OpenFile(url.toLocalFile());
    }
    event->acceptProposedAction();
}

// --- Status bar ---------------------------------------------------------------------

// Backups run beside the windows: a large one shows its progress in the status bar,
// and every one says where it went (or why it failed) there, never in a box. Each hour
// the logbooks changed for a day or more get one.
void CMainFrame::watchBackups()
{
    constexpr qint64 kShownFromBytes = 16 * 1024 * 1024;
    connect(m_docManager, &CDocManager::backupProgress, this, [this](const QString &logbook, int percent) {
        if (QFileInfo(logbook).size() < kShownFromBytes)
            return;
        showProgressBar();
        setProgressPosition(percent);
        SetStatusText(QStringLiteral("Backup %1 %").arg(percent));
    });
    connect(m_docManager, &CDocManager::backupFinished, this,
            [this](const QString &logbook, bool written, const QString &pathOrError) {
                hideProgressBar();
                SetStatusText(written ? QStringLiteral("Backup written: %1").arg(pathOrError)
                                      : QStringLiteral("Backup of %1 failed: %2")
                                            .arg(QFileInfo(logbook).fileName(), pathOrError));
            });
    auto *daily = new QTimer(this);
    connect(daily, &QTimer::timeout, m_docManager, &CDocManager::backUpDailyChanges);
    daily->start(std::chrono::hours(1));
}

QString CMainFrame::SetStatusText(const QString &text)
{
    const QString previous = m_messagePane->text();
    m_messagePane->setText(text);
    m_messagePane->repaint();
    return previous;
}

QString CMainFrame::statusText() const
{
    return m_messagePane->text();
}

void CMainFrame::showProgressBar()
{
    m_progress->setValue(0);
    m_progress->show();
}

void CMainFrame::setProgressPosition(int percent)
{
    m_progress->setValue(percent);
    m_progress->repaint();
}

void CMainFrame::hideProgressBar()
{
    m_progress->hide();
}

// --- Commands of the main frame -----------------------------------------------------

bool CMainFrame::handlesCommand(int id) const
{
    switch (id) {
    case ID_FILE_OPEN:
    case ID_VIEW_TOOLBAR:
    case ID_VIEW_STATUS_BAR:
    case ID_EDIT_UNDO:
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
    case ID_EDIT_PASTE:
    case ID_GET_TRX_FREQ:
    case ID_DX_CLUSTER:
        return true;
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_PREVIEW:
        return printableView() != nullptr;
    case ID_WINDOW_NEW:
        return activeFrame() != nullptr;
    case ID_WINDOW_ARRANGE:
    case ID_WINDOW_CASCADE:
    case ID_WINDOW_TILE_HORZ:
    case ID_WINDOW_CLOSE:
        return activeFrame() != nullptr || clusterActive();
    default:
        return false;
    }
}

bool CMainFrame::commandEnabled(int id) const
{
    switch (id) {
    case ID_EDIT_UNDO:
    case ID_EDIT_CUT:
    case ID_EDIT_COPY:
    case ID_EDIT_PASTE:
        return canEditFocusWidget(id);
    case ID_GET_TRX_FREQ:
        return m_trxLink->OnUpdateGetTrxFreq();
    default:
        return true;
    }
}

bool CMainFrame::commandChecked(int id) const
{
    if (id == ID_VIEW_TOOLBAR)
        return !m_toolBar->isHidden();
    if (id == ID_VIEW_STATUS_BAR)
        return !statusBar()->isHidden();
    return false;
}

void CMainFrame::onCommand(int id)
{
    switch (id) {
    case ID_FILE_OPEN:
        openFromEmptyFrame();
        break;
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_PREVIEW:
        printActiveWindow(id);
        break;
    case ID_VIEW_TOOLBAR:
        m_toolBar->setVisible(m_toolBar->isHidden());
        break;
    case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(statusBar()->isHidden());
        break;
    case ID_WINDOW_NEW:
        m_docManager->OpenNewWindow(activeFrame());
        break;
    case ID_WINDOW_CASCADE:
        cascadeWindows();
        break;
    case ID_WINDOW_TILE_HORZ:
        tileWindows();
        break;
    case ID_WINDOW_CLOSE:
        m_area->currentSubWindow()->close();
        break;
    case ID_DX_CLUSTER:
        openClusterWindow();
        break;
    case ID_WINDOW_ARRANGE:
        arrangeIcons();
        break;
    case ID_GET_TRX_FREQ:
        m_trxLink->OnGetTrxFreq();
        break;
    default:
        editFocusWidget(id);
        break;
    }
}

// The main frame's open runs only while no document window is active: it refuses two
// reserved names but not the program database.
void CMainFrame::openFromEmptyFrame()
{
    const QString path = LogbookFiles::ChooseLogbookFromFrame();
    if (!path.isEmpty())
        m_docManager->OpenDocumentFile(path);
}

PrintableView *CMainFrame::printableView() const
{
    const CDocumentFrame *frame = activeFrame();
    return frame ? dynamic_cast<PrintableView *>(frame->viewWidget()) : nullptr;
}

// The window's list under the window's title.
void CMainFrame::printActiveWindow(int id)
{
    const PrintableView *view = printableView();
    if (!view)
        return;
    PrintedTable table = view->printedTable();
    table.title = activeFrame()->windowTitle();
    TablePrinter::print(table, id == ID_FILE_PRINT_PREVIEW ? Prompter::PrintRequest::Kind::Preview
                                                           : Prompter::PrintRequest::Kind::Print);
}

bool CMainFrame::canEditFocusWidget(int id) const
{
    const QLineEdit *edit = focusedLineEdit();
    if (!edit)
        return false;
    switch (id) {
    case ID_EDIT_UNDO:
        return edit->isUndoAvailable();
    case ID_EDIT_CUT:
        return edit->hasSelectedText() && !edit->isReadOnly();
    case ID_EDIT_COPY:
        return edit->hasSelectedText();
    default:
        return !edit->isReadOnly() && !QGuiApplication::clipboard()->text().isEmpty();
    }
}

void CMainFrame::editFocusWidget(int id)
{
    QLineEdit *edit = focusedLineEdit();
    if (!edit)
        return;
    switch (id) {
    case ID_EDIT_UNDO:
        edit->undo();
        break;
    case ID_EDIT_CUT:
        edit->cut();
        break;
    case ID_EDIT_COPY:
        edit->copy();
        break;
    case ID_EDIT_PASTE:
        edit->paste();
        break;
    default:
        break;
    }
}

// Lines the minimised windows up along the bottom of the MDI area.
void CMainFrame::arrangeIcons()
{
    int x = 0;
    for (QMdiSubWindow *window : m_area->subWindowList()) {
        if (!window->isMinimized())
            continue;
        window->move(x, m_area->viewport()->height() - window->height());
        x += window->width();
    }
}

// The windows Tile and Cascade arrange: all but the minimised, bottom one first; a
// maximised window is restored first.
QList<QMdiSubWindow *> CMainFrame::arrangedWindows() const
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *window : m_area->subWindowList(QMdiArea::StackingOrder)) {
        if (window->isMinimized() || window->isHidden())
            continue;
        if (window->isMaximized())
            window->showNormal();
        windows.append(window);
    }
    return windows;
}

void CMainFrame::tileWindows()
{
    const QList<QMdiSubWindow *> windows = arrangedWindows();
    const QList<QRect> places = MdiArrangement::tile(m_area->viewport()->rect(), static_cast<int>(windows.size()));
    for (int i = 0; i < windows.size() && i < places.size(); ++i)
        windows.at(i)->setGeometry(places.at(i));
}

// The active window ends on top, as the last of the stack.
void CMainFrame::cascadeWindows()
{
    const QList<QMdiSubWindow *> windows = arrangedWindows();
    QList<QSize> sizes;
    for (const QMdiSubWindow *window : windows) {
        const auto *frame = qobject_cast<const CDocumentFrame *>(window);
        sizes.append(frame ? frame->fittedSize() : window->size());
    }
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) + 4;
    const QList<QRect> places = MdiArrangement::cascade(m_area->viewport()->rect(), sizes, step);
    for (int i = 0; i < windows.size() && i < places.size(); ++i) {
        windows.at(i)->setGeometry(places.at(i));
        windows.at(i)->raise();
    }
}

// Entering the menu bar is no leaving of the field: the field is remembered, and the
// focus goes back to it when the menus are left without a choice.
void CMainFrame::rememberField(QWidget *now)
{
    if (!now || now->window() != this)
        return;
    if (now == menuBar() || qobject_cast<QMenu *>(now))
        return;
    m_lastField = now;
}

void CMainFrame::watchEditField()
{
    QLineEdit *edit = focusedLineEdit();
    if (edit == m_watchedEdit)
        return;
    for (const QMetaObject::Connection &connection : std::as_const(m_editWatch))
        disconnect(connection);
    m_editWatch.clear();
    m_watchedEdit = edit;
    if (!edit)
        return;
    m_editWatch.append(connect(edit, &QLineEdit::selectionChanged, this, [this] { updateCommandUI(); }));
    m_editWatch.append(connect(edit, &QLineEdit::textChanged, this, [this] { updateCommandUI(); }));
}

void CMainFrame::returnFromMenu()
{
    QWidget *focus = QApplication::focusWidget();
    if (m_lastField && (!focus || focus == menuBar() || focus == this))
        m_lastField->setFocus(Qt::MenuBarFocusReason);
}
