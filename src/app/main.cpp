#include "CKorva3App.h"
#include "forms/WidgetPrompter.h"
#include "platform/FileSizeSignal.h"
#include "platform/ProgramVersion.h"
#include "platform/Prompter.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    // Answered before the window system is reached: no display is needed, no window
    // opens and a running instance is not disturbed.
    if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("Korva3 %s\n", ProgramVersion::kText);
        return 0;
    }
    FileSizeSignal::ignore();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korva3"));
    QApplication::setOrganizationName(QStringLiteral("Korva3"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/korva3.svg")));
    WidgetPrompter prompter;
    Prompter::install(&prompter);

    CKorva3App korva;
    if (!korva.InitInstance(application.arguments()))
        return 0;
    return korva.ExitInstance(application.exec());
}
