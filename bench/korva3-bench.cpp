// Times the DXCC statistics rebuild against a baseline measured in the same run: the
// single grouping statement that computes the same counts inside SQLite. Also times
// the two report reads. Prints medians and the ratio; asserts nothing.
#include "loggen/LogbookGenerator.h"
#include "store/SlotConnection.h"
#include "store/Sqlite3DB.h"
#include "store/SqliteStatement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const char kBaseline[] =
    "INSERT INTO DXCCREPORT (DXCC, BAND, MODE, COUNTW, COUNTC) SELECT COUNTRY, BAND, MODE, COUNT(*), "
    "SUM(QSLRCVD = 2) FROM QSOS WHERE COUNTRY != 0 GROUP BY COUNTRY, BAND, MODE";

double medianMs(int runs, const std::function<void()> &prepare, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int argValue(const QStringList &args, const QString &name, int fallback)
{
    const int at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args.at(at + 1).toInt() : fallback;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int qsos = argValue(args, QStringLiteral("--qsos"), 100000);
    const int runs = std::max(1, argValue(args, QStringLiteral("--runs"), 5));

    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("bench.sqlite3"));
    const QString copy = dir.filePath(QStringLiteral("baseline.sqlite3"));
    std::printf("korva3-bench: generating a logbook of %d QSOs...\n", qsos);
    std::fflush(stdout);
    if (!LogbookGenerator(2026).writeLogbook(log, qsos)) {
        std::fprintf(stderr, "cannot write the logbook in %s\n", qPrintable(dir.path()));
        return 1;
    }

    Sqlite3DB db;
    const double rebuild = medianMs(runs, [] {}, [&] { db.RebuildDxccStats(log); });
    const double baseline = medianMs(
        runs,
        [&] {
            QFile::remove(copy);
            QFile::copy(log, copy);
            sqlite3 *slot = nullptr;
            SlotConnection c(slot, copy);
            SqliteStatement::exec(c.handle(), "DELETE FROM DXCCREPORT");
        },
        [&] {
            sqlite3 *slot = nullptr;
            SlotConnection c(slot, copy);
            SqliteStatement::exec(c.handle(), kBaseline);
        });
    DxccTotals totals;
    CqZoneGrid grid;
    const double totalsMs = medianMs(runs, [] {}, [&] { db.GetDxccTotals(totals, log); });
    const double gridMs = medianMs(runs, [] {}, [&] { db.GetCqZoneGrid(grid, log); });

    std::printf("median of %d runs on %d QSOs\n", runs, qsos);
    std::printf("  RebuildDxccStats          %9.2f ms\n", rebuild);
    std::printf("  baseline INSERT...SELECT  %9.2f ms\n", baseline);
    std::printf("  ratio rebuild/baseline    %9.2f   (goal: at most 3)\n", rebuild / baseline);
    std::printf("  GetDxccTotals             %9.2f ms  (%d QSOs, mixed %d/%d)\n", totalsMs,
                totals.totalQsos, totals.mixed.worked, totals.mixed.confirmed);
    std::printf("  GetCqZoneGrid             %9.2f ms\n", gridMs);
    return 0;
}
