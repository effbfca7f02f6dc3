#pragma once

#include "CClusterFrame.h"
#include "CDocumentFrame.h"
#include "CommandTable.h"
#include "document/ImportProgress.h"
#include "platform/CommandTarget.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>

class CallbookClient;
class CDocManager;
class CKorva3Doc;
class CRadioFollower;
class CTrxLink;
class CWsjtxFollower;
class WsjtxLogging;
class CDocumentFrame;
class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QProgressBar;
class QToolBar;
class PrintableView;
class StartPanel;
struct DxSpot;
struct SpotStatus;
struct TrxOutcome;

// The main window: MDI area, menus that follow the kind of the active window, toolbar,
// status bar, and the routing of every command along active view, document, child
// frame, main frame and application.
class CMainFrame : public QMainWindow, public CommandTarget, public ImportProgress
{
    Q_OBJECT

public:
    // How long start-up pauses while the splash window shows, before the main window.
    static int s_startupPauseMs;

    explicit CMainFrame(QWidget *parent = nullptr);
    ~CMainFrame() override;

    // The last target on the route (the application).
    void setApplicationTarget(CommandTarget *target);

    QMdiArea *mdiArea() const { return m_area; }
    CDocManager *docManager() const { return m_docManager; }
    // The active document window, or null.
    CDocumentFrame *activeFrame() const;
    CommandTable::WindowKind windowKind() const;

    // Puts text in the message pane and returns what stood there before.
    QString SetStatusText(const QString &text);
    QString statusText() const;
    // The progress bar of long operations (the ADIF import), in the status bar. The
    // window paints at once: the operation blocks the event loop while it runs.
    QString setStatusText(const QString &text) override { return SetStatusText(text); }
    void showProgressBar() override;
    void setProgressPosition(int percent) override;
    void hideProgressBar() override;
    const QProgressBar *progressBar() const { return m_progress; }
    const QLabel *messagePane() const { return m_messagePane; }

    // The transceiver link, opened at construction from the parameters "rig" and "comm".
    CTrxLink *trxLink() const { return m_trxLink; }
    // "Follow the radio" for the active logbook window.
    CRadioFollower *radioFollower() const { return m_radioFollower; }
    // The callbook of the settings, asked by every entry form.
    CallbookClient *callbook() const { return m_callbook; }

    // The DX Cluster window, made (and shown) when there is none; `activate` brings it
    // forward.
    CClusterFrame *openClusterWindow(bool activate = true);
    CClusterFrame *clusterFrame() const { return m_clusterFrame; }
    // The logbook window that spots go to and whose logbook gives their statuses: the
    // one active last; null when no logbook is open.
    CDocumentFrame *logbookFrame() const;

    // WSJT-X, JTDX and JS8Call logging into the logbook Setup chose, else the active
    // window's, else the one used last (opened without a window); each QSO is told in
    // the status bar.
    WsjtxLogging *wsjtxLogging() const { return m_wsjtxLogging; }
    CWsjtxFollower *wsjtxFollower() const { return m_wsjtxFollower; }
    // Listens as the saved settings say; a port that cannot be had is told once.
    void startWsjtxLogging();

    QAction *action(int id) const { return m_actions.value(id); }
    QToolBar *toolBar() const { return m_toolBar; }
    // The panel of the empty workspace.
    StartPanel *startPanel() const { return m_startPanel; }
    // Runs a command along the route of the active window, as a menu or key does.
    bool runCommand(int id);
public slots:
    // Refreshes the enabled and checked state of every command.
    void updateCommandUI();

public:

    bool handlesCommand(int id) const override;
    bool commandEnabled(int id) const override;
    bool commandChecked(int id) const override;
    void onCommand(int id) override;

protected:
    // The keys of the key tables come before a focused field's own use of them
    // (Ctrl+A is Actual Time, not select-all, while a logbook window is active).
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Logbook files dropped on the window open as documents; ADIF files are imported.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void watchBackups();
    bool clusterActive() const;
    void followLogbook();
    void takeSpot(const DxSpot &spot, const SpotStatus &status);
    void showTuned(const TrxOutcome &outcome);
    void watchFrame(CDocumentFrame *frame);
    QList<CommandTarget *> route() const;
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void applyWindowKind();
    void updateRecentFiles();
    void openFromEmptyFrame();
    void createStartPanel();
    // An ADIF file chosen first, then the logbook it goes into (or a new one).
    void importFromStartPanel();
    // The active window's view when it prints, else null.
    PrintableView *printableView() const;
    void printActiveWindow(int id);
    void editFocusWidget(int id);
    bool canEditFocusWidget(int id) const;
    void arrangeIcons();
    void tileWindows();
    void cascadeWindows();
    QList<QMdiSubWindow *> arrangedWindows() const;
    void createWsjtxLogging();
    CKorva3Doc *wsjtxLogbook(QString &why);
    void updateCaption();
    void updateWindowList();
    void updateLockPanes();
    void rememberField(QWidget *now);
    // Follows the selection and the text of the focused field, so that Cut, Copy, Paste
    // and Undo are enabled as soon as there is something for them.
    void watchEditField();
    void returnFromMenu();

    QMdiArea *m_area;
    CDocManager *m_docManager;
    CTrxLink *m_trxLink;
    CRadioFollower *m_radioFollower = nullptr;
    CallbookClient *m_callbook;
    QPointer<CClusterFrame> m_clusterFrame;
    QPointer<CDocumentFrame> m_logbookFrame;
    WsjtxLogging *m_wsjtxLogging = nullptr;
    CWsjtxFollower *m_wsjtxFollower = nullptr;
    CommandTarget *m_appTarget = nullptr;
    QHash<int, QAction *> m_actions;
    QHash<CommandTable::WindowKind, QList<QMenu *>> m_menus;
    QList<QAction *> m_recentActions;
    QToolBar *m_toolBar = nullptr;
    StartPanel *m_startPanel = nullptr;
    QLabel *m_messagePane = nullptr;
    QProgressBar *m_progress = nullptr;
    // CAP, NUM, SCRL: only where the lock keys' state can be read.
    QList<QLabel *> m_lockPanes;
    // The Window menus of both window kinds, and their entries naming the windows.
    QList<QMenu *> m_windowMenus;
    QList<QAction *> m_windowListActions;
    // The field the focus was in before the menu bar took it.
    QPointer<QWidget> m_lastField;
    QPointer<QObject> m_watchedEdit;
    QList<QMetaObject::Connection> m_editWatch;
    CommandTable::WindowKind m_kind = CommandTable::WindowKind::None;
};
