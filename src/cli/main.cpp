#include "CliRunner.h"
#include "platform/FileSizeSignal.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    FileSizeSignal::ignore();
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    CliRunner runner(out, err, &in);
    return runner.run(app.arguments().mid(1));
}
