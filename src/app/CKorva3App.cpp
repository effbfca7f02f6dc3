#include "CKorva3App.h"

#include "CAboutDlg.h"
#include "CDocManager.h"
#include "CMainFrame.h"
#include "CSingleInstance.h"
#include "CSplashWnd.h"
#include "FirstStart.h"
#include "StartCommandLine.h"
#include "WorkingFolder.h"
#include "document/LogbookFiles.h"
#include "platform/AppSettings.h"
#include "platform/CommandIds.h"

#include <QApplication>

CKorva3App::CKorva3App(const QString &instanceName)
    : m_instanceName(instanceName)
{
}

CKorva3App::~CKorva3App() = default;

bool CKorva3App::InitInstance(const QStringList &arguments)
{
    const StartCommandLine commandLine = StartCommandLine::parse(arguments);
    const QString &path = commandLine.file;
    m_instance = std::make_unique<CSingleInstance>(m_instanceName);
    if (!m_instance->start(path))
        return false;
    connect(m_instance.get(), &CSingleInstance::activationRequested, this, &CKorva3App::activate);
    if (commandLine.home && !WorkingFolder::enter(WorkingFolder::home()))
        return false;

    m_mainFrame = std::make_unique<CMainFrame>();
    m_mainFrame->setApplicationTarget(this);
    m_mainFrame->setAcceptDrops(true);
    // The splash window stands on the screen through the pause, before the main window
    // shows, and stays in front of it for the rest of its time.
    CSplashWnd::ShowSplashScreen(m_mainFrame.get());
    CSplashWnd::Pause(CMainFrame::s_startupPauseMs);

    // The program database comes before any logbook, which reads its lists from it; its
    // making shows in the main window.
    const FirstStart::Found programDatabase = FirstStart::find();
    if (programDatabase != FirstStart::Found::ProgramDatabase) {
        m_mainFrame->show();
        FirstStart::run(commandLine.home ? FirstStart::Mode::Make : FirstStart::Mode::Ask, programDatabase);
    }
    FirstStart::bringUpToDate();

    // An ADIF file is no logbook: the logbook opened last opens as without an argument,
    // and the file is then imported into the logbook the operator chooses.
    const bool logbookGiven = !path.isEmpty() && !CDocManager::IsAdifFile(path);
    if (logbookGiven)
        m_mainFrame->docManager()->OpenDocumentFile(path);
    m_mainFrame->show();
    m_mainFrame->repaint();
    if (!logbookGiven) {
        const QString last = AppSettings::mostRecentFile();
        if (!last.isEmpty())
            m_mainFrame->docManager()->OpenDocumentFile(last);
    }
    // QSOs from WSJT-X go into the logbook just opened, when Setup chose none.
    m_mainFrame->startWsjtxLogging();
    if (!path.isEmpty() && !logbookGiven)
        m_mainFrame->docManager()->OpenFile(path);
    return true;
}

int CKorva3App::ExitInstance(int code)
{
    m_mainFrame.reset();
    m_instance.reset();
    return code;
}

// A second start: bring this window forward, and open the logbook (or import the ADIF
// file) it was given.
void CKorva3App::activate(const QString &path)
{
    if (!m_mainFrame)
        return;
    if (m_mainFrame->isMinimized())
        m_mainFrame->showNormal();
    m_mainFrame->raise();
    m_mainFrame->activateWindow();
    if (!path.isEmpty())
        m_mainFrame->docManager()->OpenFile(path);
}

bool CKorva3App::handlesCommand(int id) const
{
    return id == ID_APP_ABOUT || id == ID_FILE_NEW || id == ID_APP_EXIT
        || (id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + kRecentFileCount);
}

bool CKorva3App::commandEnabled(int id) const
{
    if (id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + kRecentFileCount)
        return id - ID_FILE_MRU_FILE1 < m_mainFrame->docManager()->recentFiles().size();
    return true;
}

void CKorva3App::onCommand(int id)
{
    switch (id) {
    case ID_APP_ABOUT:
        OnAppAbout();
        break;
    case ID_FILE_NEW:
        OnFileNew();
        break;
    case ID_APP_EXIT:
        m_mainFrame->close();
        break;
    default:
        openRecentFile(id - ID_FILE_MRU_FILE1);
        break;
    }
}

void CKorva3App::OnAppAbout()
{
    CAboutDlg about(m_mainFrame.get());
    about.exec();
}

// File>New makes the logbook file, then opens it like any other: it shows in a logbook
// window and enters the recent-file list.
void CKorva3App::OnFileNew()
{
    const QString path = LogbookFiles::NewLogbook();
    if (!path.isEmpty())
        m_mainFrame->docManager()->OpenFile(path);
}

// A recent file that no longer opens leaves the list.
void CKorva3App::openRecentFile(int index)
{
    CDocManager *manager = m_mainFrame->docManager();
    const QString path = manager->recentFiles().value(index);
    if (!path.isEmpty() && !manager->OpenDocumentFile(path))
        manager->removeRecentFile(path);
}
