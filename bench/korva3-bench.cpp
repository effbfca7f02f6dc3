// Times the DXCC statistics rebuild against a baseline measured in the same run: the
// single grouping statement that computes the same counts inside SQLite. Also times
// the two report reads, and the call-sign resolution of every call of the real
// MASTER.SCP against a program database made from the real country file, the ADIF export
// of the logbook, and the import of that file against the sqlite3 shell running the same
// rows as 500-row inserts in one transaction. Prints medians, ratios and rates; asserts
// nothing.
#include "adif/AdifWriter.h"
#include "document/CKorva3Doc.h"
#include "loggen/LogbookGenerator.h"
#include "platform/ScriptedPrompter.h"
#include "progdb/ProgramDatabaseBuilder.h"
#include "store/SlotConnection.h"
#include "store/Sqlite3DB.h"
#include "store/SqliteStatement.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sqlite3.h>

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

const char kMasterScp[] = "/usr/share/hamradio-files/MASTER.SCP";

// The calls of a super check partial file: one a line, '#' lines are comments.
QStringList readCalls(const QString &path, int limit)
{
    QStringList calls;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return calls;
    while (!file.atEnd() && calls.size() < limit) {
        const QString line = QString::fromLatin1(file.readLine()).trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#')))
            calls.append(line);
    }
    return calls;
}

// Resolves every call the way the entry form does on each keystroke of the call field:
// a program database in the current directory, one resolution per call.
void benchResolution(const QTemporaryDir &dir, int limit)
{
    const QStringList calls = readCalls(QLatin1String(kMasterScp), limit);
    if (calls.isEmpty()) {
        std::printf("call-sign resolution: %s not found, part skipped\n", kMasterScp);
        return;
    }
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    if (!ProgramDatabaseBuilder::build(QStringLiteral("korva3.sqlite3"))) {
        std::printf("call-sign resolution: %s not found, part skipped\n", ProgramDatabaseBuilder::kCountryFile);
        QDir::setCurrent(previous);
        return;
    }
    CKorva3Doc doc{QString()};
    std::vector<qint64> times;
    times.reserve(static_cast<std::size_t>(calls.size()));
    qint64 slowest = 0;
    QString slowestCall;
    int resolved = 0;
    QElapsedTimer total;
    total.start();
    for (const QString &call : calls) {
        QElapsedTimer one;
        one.start();
        if (doc.ResolveCallsign(call) != 0)
            ++resolved;
        const qint64 ns = one.nsecsElapsed();
        times.push_back(ns);
        if (ns > slowest) {
            slowest = ns;
            slowestCall = call;
        }
    }
    const double seconds = static_cast<double>(total.nsecsElapsed()) / 1e9;
    QDir::setCurrent(previous);
    std::sort(times.begin(), times.end());
    const auto percentileMs = [&times](double p) {
        return static_cast<double>(times[static_cast<std::size_t>(p * static_cast<double>(times.size() - 1))]) / 1e6;
    };

    std::printf("call-sign resolution of %lld calls of MASTER.SCP (%d resolved to an entity)\n",
                static_cast<long long>(calls.size()), resolved);
    std::printf("  calls per second          %9.0f\n", static_cast<double>(calls.size()) / seconds);
    std::printf("  median / 99th / 99.9th    %9.3f / %.3f / %.3f ms\n", percentileMs(0.5), percentileMs(0.99),
                percentileMs(0.999));
    std::printf("  slowest single call       %9.3f ms  (%s; goal: at most 1 ms)\n",
                static_cast<double>(slowest) / 1e6, qPrintable(slowestCall));
}

const char kQsoColumns[] =
    "DATE, TIME, CALL, SENT, RCVD, FREQ, BAND, MODE, POWER, CQZONE, GRID, QSLSENT, QSLRCVD, NAME, QTH, "
    "ADDRESS1, ADDRESS2, REMARKS, QSLMGR, IOTA, COUNTRY";

int rowCount(const QString &logbook)
{
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, logbook);
    SqliteStatement count(db.handle(), "SELECT COUNT(*) FROM QSOS");
    count.step();
    return count.columnInt(0);
}

QByteArray sqlText(const QByteArray &value)
{
    return '\'' + QByteArray(value).replace('\'', "''") + '\'';
}

// The rows of a logbook as the script the sqlite3 shell runs: one transaction, inserts
// of Sqlite3DB::kBatchRows rows with their values written in the statement text.
bool writeInsertScript(const QString &logbook, const QString &scriptPath)
{
    QFile script(scriptPath);
    if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, logbook);
    SqliteStatement rows(db.handle(), QByteArray("SELECT ").append(kQsoColumns).append(" FROM QSOS ORDER BY ROWID"));
    if (!rows.isPrepared())
        return false;
    static const bool kNumber[] = {false, false, false, false, false, false, false, true, false, false, false,
                                   true,  true,  false, false, false, false, false, false, false, true};
    QByteArray sql = "BEGIN TRANSACTION;\n";
    int inBatch = 0;
    while (rows.step() == SQLITE_ROW) {
        sql += inBatch == 0 ? QByteArray("INSERT INTO QSOS (").append(kQsoColumns).append(") VALUES\n(")
                            : QByteArray(",\n(");
        for (int c = 0; c < 21; ++c) {
            if (c > 0)
                sql += ',';
            sql += kNumber[c] ? QByteArray::number(rows.columnInt(c)) : sqlText(rows.columnRawBytes(c));
        }
        sql += ')';
        if (++inBatch == Sqlite3DB::kBatchRows) {
            sql += ";\n";
            inBatch = 0;
        }
    }
    if (inBatch > 0)
        sql += ";\n";
    sql += "END TRANSACTION;\n";
    return script.write(sql) == sql.size();
}

// Exports the logbook to ADIF, imports the file into a new logbook through the
// document, and runs the same rows through the sqlite3 shell.
void benchAdif(const QTemporaryDir &dir, const QString &log, int qsos, int runs)
{
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path()); // the document reads the program database by its relative name
    ScriptedPrompter silent;
    Prompter::install(&silent);
    const QString adif = dir.filePath(QStringLiteral("bench.adi"));
    const QString imported = dir.filePath(QStringLiteral("imported.sqlite3"));
    const QString shellLog = dir.filePath(QStringLiteral("shell.sqlite3"));
    const QString script = dir.filePath(QStringLiteral("rows.sql"));
    const auto freshLogbook = [](const QString &path) {
        return [path] {
            QFile::remove(path);
            Sqlite3DB().CreateLogbook(path);
        };
    };

    Sqlite3DB db;
    bool exported = false;
    const double exportMs = medianMs(runs, [] {}, [&] {
        exported = AdifWriter::ExportAdif(db, adif, log, 36500) == AdifWriter::Result::Written;
    });
    int added = 0;
    const double importMs = medianMs(runs, freshLogbook(imported), [&] {
        CKorva3Doc doc(imported);
        added = doc.ImportAdifFile(adif).added;
    });
    std::printf("ADIF on %d QSOs, median of %d runs\n", qsos, runs);
    std::printf("  ExportAdif                %9.2f ms  (%s, %.1f MB)\n", exportMs, exported ? "complete" : "FAILED",
                static_cast<double>(QFileInfo(adif).size()) / 1e6);
    std::printf("  Import Adif               %9.2f ms  (%d records)\n", importMs, added);

    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty() || !writeInsertScript(imported, script)) {
        std::printf("  sqlite3 shell not found or script not written, baseline skipped\n");
    } else {
        const double shellMs = medianMs(runs, freshLogbook(shellLog), [&] {
            QProcess process;
            process.start(shell, {shellLog, QStringLiteral(".read ") + script});
            process.waitForFinished(-1);
        });
        std::printf("  sqlite3 shell, same rows  %9.2f ms  (%d rows)\n", shellMs,
                    rowCount(shellLog));
        std::printf("  ratio import/shell        %9.2f   (goal: at most 2)\n", importMs / shellMs);
    }
    Prompter::install(nullptr);
    QDir::setCurrent(previous);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int qsos = argValue(args, QStringLiteral("--qsos"), 100000);
    const int runs = std::max(1, argValue(args, QStringLiteral("--runs"), 5));
    const int calls = argValue(args, QStringLiteral("--calls"), 1000000);

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
    benchAdif(dir, log, qsos, runs);
    benchResolution(dir, calls);
    return 0;
}
