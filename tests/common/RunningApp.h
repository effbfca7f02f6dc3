#pragma once

#include "app/CKorva3App.h"
#include "app/CMainFrame.h"
#include "common/UniqueInstanceName.h"

#include <QStringList>

// The application started as the program starts it, with a single-instance guard of
// its own, and ended as the program ends it when the object goes.
class RunningApp
{
public:
    explicit RunningApp(const QString &instanceName = uniqueInstanceName())
        : m_app(instanceName)
    {
    }
    ~RunningApp() { m_app.ExitInstance(0); }
    RunningApp(const RunningApp &) = delete;
    RunningApp &operator=(const RunningApp &) = delete;

    // The main window; null when start-up ended at once.
    CMainFrame *start(const QStringList &arguments)
    {
        return m_app.InitInstance(arguments) ? m_app.mainFrame() : nullptr;
    }

private:
    CKorva3App m_app;
};
