#include "CliRunner.h"

#include "CountryInfoJson.h"
#include "StatsJson.h"
#include "document/CKorva3Doc.h"
#include "store/Sqlite3DB.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

const char kUsage[] =
    "usage: korva3-cli [-C DIR] COMMAND ARGS...\n"
    "  -C DIR             change into DIR first (its korva3.sqlite3 is the program database)\n"
    "commands:\n"
    "  new LOGBOOK        create a logbook file with its tables\n"
    "  rebuild LOGBOOK    rebuild the DXCC statistics from the QSOs\n"
    "  stats LOGBOOK      print the DXCC and CQ zone statistics as JSON\n"
    "  resolve [CALL...]  print CALL<TAB>DXCCID for each call, or for each line of standard input\n"
    "  info DXCCID CALL   print the country information of the entity for the call as JSON\n";

constexpr int kAnyCount = -1;

// A call as the entry form's call field holds it: without blanks, in upper case.
QString normalisedCall(const QString &text)
{
    QString call;
    for (const QChar c : text) {
        if (!c.isSpace())
            call.append(c.toUpper());
    }
    return call;
}

} // namespace

CliRunner::CliRunner(QTextStream &out, QTextStream &err, QTextStream *in)
    : m_out(out)
    , m_err(err)
    , m_in(in)
{
}

int CliRunner::run(QStringList arguments)
{
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("-C")) {
        if (arguments.size() < 2)
            return usage(QStringLiteral("-C needs a directory"));
        const QString dir = arguments.at(1);
        arguments.remove(0, 2);
        if (!QDir::setCurrent(dir))
            return fail(QStringLiteral("Cannot change to directory %1").arg(dir));
    }
    if (arguments.isEmpty())
        return usage(QStringLiteral("no command given"));
    if (arguments.first() == QLatin1String("--help") || arguments.first() == QLatin1String("-h")) {
        m_out << kUsage;
        return Success;
    }

    const QString command = arguments.takeFirst();
    using Handler = int (CliRunner::*)(const QStringList &);
    const struct
    {
        const char *name;
        int arguments; // kAnyCount for any number
        const char *takes;
        Handler handler;
    } commands[] = {
        {"new", 1, "one LOGBOOK", &CliRunner::newLogbook},
        {"rebuild", 1, "one LOGBOOK", &CliRunner::rebuild},
        {"stats", 1, "one LOGBOOK", &CliRunner::stats},
        {"resolve", kAnyCount, "", &CliRunner::resolve},
        {"info", 2, "DXCCID CALL", &CliRunner::info},
    };
    for (const auto &entry : commands) {
        if (command != QLatin1String(entry.name))
            continue;
        if (entry.arguments != kAnyCount && arguments.size() != entry.arguments)
            return usage(QStringLiteral("%1 takes %2").arg(command, QLatin1String(entry.takes)));
        return (this->*entry.handler)(arguments);
    }
    return usage(QStringLiteral("unknown command: %1").arg(command));
}

int CliRunner::newLogbook(const QStringList &arguments)
{
    const QString &path = arguments.first();
    if (QFileInfo::exists(path))
        return fail(QStringLiteral("Database already exists"));
    Sqlite3DB db;
    if (!db.CreateLogbook(path))
        return fail(QStringLiteral("Database not created"));
    return Success;
}

int CliRunner::rebuild(const QStringList &arguments)
{
    const QString &path = arguments.first();
    if (!logbookExists(path))
        return Failed;
    Sqlite3DB db;
    db.RebuildDxccStats(path);
    m_out << "DXCC statistics rebuilt\n";
    return Success;
}

int CliRunner::stats(const QStringList &arguments)
{
    const QString &path = arguments.first();
    if (!logbookExists(path))
        return Failed;
    Sqlite3DB db;
    DxccTotals totals;
    CqZoneGrid grid;
    if (!db.GetDxccTotals(totals, path) || !db.GetCqZoneGrid(grid, path))
        return fail(QStringLiteral("Cannot read statistics"));
    m_out << StatsJson::format(totals, grid) << '\n';
    return Success;
}

// Resolution reads only the program database, so the document has no logbook.
int CliRunner::resolve(const QStringList &arguments)
{
    if (!programDatabaseExists())
        return Failed;
    CKorva3Doc doc{QString()};
    if (!arguments.isEmpty()) {
        for (const QString &call : arguments)
            resolveOne(doc, call);
        return Success;
    }
    if (!m_in)
        return Success;
    QString line;
    while (m_in->readLineInto(&line))
        resolveOne(doc, line);
    return Success;
}

// A text that holds no call (an empty or blank line) prints nothing.
void CliRunner::resolveOne(CKorva3Doc &doc, const QString &text)
{
    const QString call = normalisedCall(text);
    if (call.isEmpty())
        return;
    m_out << call << '\t' << doc.ResolveCallsign(call) << '\n';
}

int CliRunner::info(const QStringList &arguments)
{
    bool isNumber = false;
    const int dxccId = arguments.at(0).toInt(&isNumber);
    if (!isNumber)
        return usage(QStringLiteral("DXCCID must be a number: %1").arg(arguments.at(0)));
    if (!programDatabaseExists())
        return Failed;
    CKorva3Doc doc{QString()};
    doc.m_db.GetCountryInfo(doc.m_countryInfo, dxccId, normalisedCall(arguments.at(1)));
    if (doc.m_countryInfo.isEmpty())
        return fail(QStringLiteral("No country information found for this call..."));
    m_out << CountryInfoJson::format(doc.m_countryInfo.first()) << '\n';
    return Success;
}

// Opening a missing program database would make an empty one and find nothing in it.
bool CliRunner::programDatabaseExists()
{
    if (QFileInfo(QLatin1String(Sqlite3DB::kProgramDatabase)).isFile())
        return true;
    fail(QStringLiteral("Program database not found: %1").arg(QLatin1String(Sqlite3DB::kProgramDatabase)));
    return false;
}

// Opening a missing file would make an empty one; a mistyped name is refused instead.
bool CliRunner::logbookExists(const QString &path)
{
    if (QFileInfo(path).isFile())
        return true;
    fail(QStringLiteral("Logbook not found: %1").arg(path));
    return false;
}

int CliRunner::fail(const QString &message)
{
    m_err << message << '\n';
    return Failed;
}

int CliRunner::usage(const QString &problem)
{
    m_err << "korva3-cli: " << problem << '\n' << kUsage;
    return Usage;
}
