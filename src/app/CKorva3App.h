#pragma once

#include "platform/CommandTarget.h"

#include <QObject>
#include <QStringList>

#include <memory>

class CMainFrame;
class CSingleInstance;

// The application: single-instance guard, working folder, main window, splash window,
// the program database of a first start, the logbook of the command line or the one
// opened last, and the application's own commands.
class CKorva3App : public QObject, public CommandTarget
{
    Q_OBJECT

public:
    // `instanceName` names the single-instance guard; tests give each run its own.
    explicit CKorva3App(const QString &instanceName = QStringLiteral("Korva3"));
    ~CKorva3App() override;

    // Start-up from `Korva3 [--home] [FILE]` (see StartCommandLine); false when the
    // process should end at once (another instance runs, or the working folder of
    // --home can be neither made nor entered).
    bool InitInstance(const QStringList &arguments);
    int ExitInstance(int code);

    CMainFrame *mainFrame() const { return m_mainFrame.get(); }

    bool handlesCommand(int id) const override;
    bool commandEnabled(int id) const override;
    void onCommand(int id) override;

    void OnAppAbout();
    void OnFileNew();

private:
    void openRecentFile(int index);
    void activate(const QString &path);

    QString m_instanceName;
    std::unique_ptr<CSingleInstance> m_instance;
    std::unique_ptr<CMainFrame> m_mainFrame;
};
