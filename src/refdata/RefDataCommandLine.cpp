#include "RefDataCommandLine.h"

#include "BasicTablesScript.h"
#include "CtyConversion.h"
#include "QslMgrConversion.h"
#include "platform/ProgramVersion.h"

#include <QTextStream>

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;

int runConversion(const ConversionOutcome &outcome)
{
    outcome.report();
    return outcome.isReady() ? kSuccess : kFailure;
}

} // namespace

namespace RefDataCommandLine {

QString usage()
{
    return QStringLiteral(
        "Usage: Korva3RefData [option]\n"
        "Without an option the dialog opens. Each option runs one conversion in the\n"
        "current directory without a window, prints its message and exits with 0 after\n"
        "\"Ready\", 1 otherwise:\n"
        "  --cty      read cty.csv, write cty.sql (COUNTRIES, PREFIXES, CALLS)\n"
        "  --basic    write korva3.sql (creates the tables of korva3.sqlite3)\n"
        "  --qslmgr   read qslmgr.txt, write qslmgr.sql (QSLMGRS)\n"
        "  --help     show this text\n"
        "  --version  print the program's version\n");
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const QString option = arguments.size() == 1 ? arguments.constFirst() : QString();
    if (option == QLatin1String("--help")) {
        out << usage();
        return kSuccess;
    }
    if (option == QLatin1String("--version")) {
        out << "Korva3RefData " << ProgramVersion::kText << '\n';
        return kSuccess;
    }
    if (option == QLatin1String("--cty"))
        return runConversion(CtyConversion::run());
    if (option == QLatin1String("--basic"))
        return runConversion(BasicTablesScript::run());
    if (option == QLatin1String("--qslmgr"))
        return runConversion(QslMgrConversion::run());
    err << "Korva3RefData: expected exactly one option, got: " << arguments.join(QLatin1Char(' '))
        << "\n\n" << usage();
    return kFailure;
}

} // namespace RefDataCommandLine
