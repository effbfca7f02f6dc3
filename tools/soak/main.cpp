// korva3-soak: drives a logbook document through many random writes, some under
// injected write failures, and checks after every step that the logbook holds what
// the document said and that its statistics equal a rebuild. See the README.
#include "SoakRun.h"
#include "platform/FileSizeSignal.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

namespace {

int intOption(const QCommandLineParser &parser, const char *name)
{
    return parser.value(QLatin1String(name)).toInt();
}

SoakOptions readOptions(const QCommandLineParser &parser)
{
    SoakOptions options;
    options.qsos = intOption(parser, "qsos");
    options.steps = intOption(parser, "steps");
    options.seed = parser.value(QStringLiteral("seed")).toUInt();
    options.faultPercent = intOption(parser, "faults");
    options.integrityEvery = qMax(1, intOption(parser, "integrity-every"));
    options.fullStatsEvery = qMax(1, intOption(parser, "full-stats-every"));
    options.rollback = parser.isSet(QStringLiteral("rollback"));
    return options;
}

void printFigures(const SoakOptions &options, const SoakFigures &figures)
{
    std::printf("steps %d on a logbook of %lld QSOs (seed %u, %s), %lld QSOs at the end, %.1f s (%.0f steps/s)\n",
                options.steps, figures.qsosAtStart, options.seed, options.rollback ? "rollback journal" : "WAL",
                figures.qsosAtEnd, figures.elapsedMs / 1000.0,
                figures.elapsedMs > 0 ? options.steps * 1000.0 / figures.elapsedMs : 0.0);
    for (int op = 0; op < SoakFigures::kOps; ++op)
        std::printf("  %-9s %7d steps, %6d reported failed\n", SoakFigures::opName(op), figures.done[op],
                    figures.failed[op]);
    std::printf("  imported records stored: %lld\n", figures.importedRecords);
    for (int kind = 1; kind < SoakFault::kKinds; ++kind)
        std::printf("  fault %-23s %6d steps\n", SoakFault::kindName(SoakFault::Kind(kind)), figures.faults[kind]);
    std::printf("  statistics: table compared with the step before %d times, an entity with its QSOs %d times, "
                "all entities with all QSOs %d times\n",
                figures.tableComparisons, figures.entityComparisons, figures.fullComparisons);
    std::printf("  quick_check %d times, integrity_check %d times\n", figures.quickChecks, figures.integrityChecks);
}

} // namespace

int main(int argc, char *argv[])
{
    // As Korva3 and korva3-cli do: the file-size limits of the run fail writes instead
    // of ending it.
    FileSizeSignal::ignore();
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Random writes under injected failures, checked after every step."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("qsos"), QStringLiteral("QSOs in the logbook at the start."), QStringLiteral("n"), QStringLiteral("100000")},
        {QStringLiteral("steps"), QStringLiteral("Random steps."), QStringLiteral("n"), QStringLiteral("100000")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the random choices."), QStringLiteral("n"), QStringLiteral("1")},
        {QStringLiteral("faults"), QStringLiteral("Percent of steps under a write failure."), QStringLiteral("n"), QStringLiteral("10")},
        {QStringLiteral("integrity-every"), QStringLiteral("Steps between integrity checks (quick checks run ten times as often)."),
         QStringLiteral("n"), QStringLiteral("1000")},
        {QStringLiteral("full-stats-every"), QStringLiteral("Steps between comparisons of all statistics with all QSOs."),
         QStringLiteral("n"), QStringLiteral("1000")},
        {QStringLiteral("folder"), QStringLiteral("Where the files go (default: a new folder in /dev/shm)."), QStringLiteral("path")},
        {QStringLiteral("rollback"), QStringLiteral("Keep the logbook in the rollback journal instead of WAL.")},
    });
    parser.process(app);

    SoakOptions options = readOptions(parser);
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    QTemporaryDir scratch(base + QStringLiteral("/korva3-soak-XXXXXX"));
    options.folder = parser.isSet(QStringLiteral("folder")) ? QDir(parser.value(QStringLiteral("folder"))).absolutePath()
                                                             : scratch.path();
    if (!QDir().mkpath(options.folder)) {
        std::fprintf(stderr, "korva3-soak: cannot make %s\n", qPrintable(options.folder));
        return 2;
    }

    SoakRun run(options);
    std::fprintf(stderr, "korva3-soak: making a logbook of %d QSOs in %s\n", options.qsos, qPrintable(options.folder));
    if (!run.prepare()) {
        std::fprintf(stderr, "korva3-soak: %s\n", qPrintable(run.failure()));
        return 2;
    }
    const int every = qMax(1, options.steps / 100);
    const bool sound = run.run([&](int step) {
        if (step % every == 0)
            std::fprintf(stderr, "korva3-soak: step %d of %d\n", step, options.steps);
    });
    printFigures(options, run.figures());
    if (!sound) {
        std::printf("FAILED at %s\n", qPrintable(run.failure()));
        return 1;
    }
    std::printf("every step kept its promise\n");
    return 0;
}
