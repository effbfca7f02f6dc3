#pragma once

#include "UniqueInstanceName.h"
#include "app/CKorva3App.h"

#include <QStringList>

#include <memory>

class CMainFrame;

// Korva3 started as the program starts it, under a single-instance name of its own, and
// ended again when the test is done with it.
class StartedApp
{
public:
    StartedApp() = default;
    ~StartedApp() { stop(); }
    StartedApp(const StartedApp &) = delete;
    StartedApp &operator=(const StartedApp &) = delete;

    // The main window; null when start-up ended the process.
    CMainFrame *start(const QStringList &arguments)
    {
        stop();
        m_instanceName = uniqueInstanceName();
        m_app = std::make_unique<CKorva3App>(m_instanceName);
        return m_app->InitInstance(arguments) ? m_app->mainFrame() : nullptr;
    }
    void stop()
    {
        if (m_app)
            m_app->ExitInstance(0);
        m_app.reset();
    }

    const QString &instanceName() const { return m_instanceName; }

private:
    std::unique_ptr<CKorva3App> m_app;
    QString m_instanceName;
};
