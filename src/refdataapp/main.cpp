#include "CKorva3RefDataApp.h"
#include "platform/FileSizeSignal.h"
#include "refdata/ConsolePrompter.h"
#include "refdata/RefDataCommandLine.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {

// Any argument selects the windowless mode, so a mistyped option in a script ends
// with the usage instead of a window nobody answers.
int runWindowless(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    ConsolePrompter prompter(out);
    Prompter::install(&prompter);
    const int status = RefDataCommandLine::run(app.arguments().mid(1), out, err);
    Prompter::install(nullptr);
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    FileSizeSignal::ignore();
    if (argc > 1)
        return runWindowless(argc, argv);
    CKorva3RefDataApp app(argc, argv);
    return app.InitInstance();
}
