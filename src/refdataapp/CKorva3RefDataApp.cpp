#include "CKorva3RefDataApp.h"

#include "CKorva3RefDataDlg.h"
#include "RefDataIcon.h"
#include "platform/ProgramVersion.h"

CKorva3RefDataApp::CKorva3RefDataApp(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Korva3RefData"));
    setApplicationVersion(QLatin1String(ProgramVersion::kText));
    setWindowIcon(RefDataIcon::icon());
    Prompter::install(&m_prompter);
}

CKorva3RefDataApp::~CKorva3RefDataApp()
{
    Prompter::install(nullptr);
}

int CKorva3RefDataApp::InitInstance()
{
    CKorva3RefDataDlg dialog;
    m_prompter.setParent(&dialog);
    dialog.exec();
    m_prompter.setParent(nullptr);
    return 0;
}
