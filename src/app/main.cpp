#include "CKorva3App.h"
#include "WidgetPrompter.h"
#include "platform/Prompter.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Korva3"));
    QApplication::setOrganizationName(QStringLiteral("Korva3"));
    WidgetPrompter prompter;
    Prompter::install(&prompter);

    CKorva3App korva;
    if (!korva.InitInstance(application.arguments()))
        return 0;
    return korva.ExitInstance(application.exec());
}
