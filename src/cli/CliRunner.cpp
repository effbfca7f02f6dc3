#include "CliRunner.h"

#include "StatsJson.h"
#include "store/Sqlite3DB.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {

const char kUsage[] =
    "usage: korva3-cli [-C DIR] COMMAND LOGBOOK\n"
    "  -C DIR            change into DIR first (its korva3.sqlite3 is the program database)\n"
    "commands:\n"
    "  new LOGBOOK       create a logbook file with its tables\n"
    "  rebuild LOGBOOK   rebuild the DXCC statistics from the QSOs\n"
    "  stats LOGBOOK     print the DXCC and CQ zone statistics as JSON\n";

} // namespace

CliRunner::CliRunner(QTextStream &out, QTextStream &err)
    : m_out(out)
    , m_err(err)
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
    using Handler = int (CliRunner::*)(const QString &);
    const struct { const char *name; Handler handler; } commands[] = {
        {"new", &CliRunner::newLogbook},
        {"rebuild", &CliRunner::rebuild},
        {"stats", &CliRunner::stats},
    };
    for (const auto &entry : commands) {
        if (command != QLatin1String(entry.name))
            continue;
        if (arguments.size() != 1)
            return usage(QStringLiteral("%1 takes one LOGBOOK").arg(command));
        return (this->*entry.handler)(arguments.first());
    }
    return usage(QStringLiteral("unknown command: %1").arg(command));
}

int CliRunner::newLogbook(const QString &path)
{
    if (QFileInfo::exists(path))
        return fail(QStringLiteral("Database already exists"));
    Sqlite3DB db;
    if (!db.CreateLogbook(path))
        return fail(QStringLiteral("Database not created"));
    return Success;
}

int CliRunner::rebuild(const QString &path)
{
    if (!logbookExists(path))
        return Failed;
    Sqlite3DB db;
    db.RebuildDxccStats(path);
    m_out << "DXCC statistics rebuilt\n";
    return Success;
}

int CliRunner::stats(const QString &path)
{
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
