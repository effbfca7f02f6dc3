#pragma once

#include "LogbookCheck.h"
#include "SoakFault.h"
#include "loggen/LogbookGenerator.h"
#include "platform/ScriptedPrompter.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <random>

class CKorva3Doc;

struct SoakOptions
{
    int qsos = 100000;
    int steps = 100000;
    quint32 seed = 1;
    // Share of the steps run under a write failure, in percent.
    int faultPercent = 10;
    // Every this many steps, and after the last, PRAGMA integrity_check runs; the cheaper
    // quick_check runs every tenth of that.
    int integrityEvery = 1000;
    // Every this many steps, and after the last, the statistics of all entities are
    // compared with the QSOs, not only those the step touched.
    int fullStatsEvery = 1000;
    // Keeps the logbook in the rollback journal (another connection reads while the
    // document opens it), where readers make writes wait; else the document puts it in
    // WAL mode, as it does every logbook it opens.
    bool rollback = false;
    QString folder;
};

// What a soak run did, for its report.
struct SoakFigures
{
    enum Op { Add, Change, MarkQsl, Delete, Import, Rebuild, kOps };
    std::array<int, kOps> done{};
    std::array<int, kOps> failed{};
    std::array<int, SoakFault::kKinds> faults{};
    qint64 importedRecords = 0;
    int entityComparisons = 0;
    int fullComparisons = 0;
    int tableComparisons = 0;
    int quickChecks = 0;
    int integrityChecks = 0;
    qint64 qsosAtStart = 0;
    qint64 qsosAtEnd = 0;
    qint64 elapsedMs = 0;
    static const char *opName(int op);
};

// Drives a logbook document through random writes, some under an injected write
// failure, and after every step checks that the document told the truth: a write it
// called done is in the file, one it called failed left the file as it was, the
// statistics equal what a rebuild gives, and SQLite finds the file sound.
class SoakRun
{
public:
    explicit SoakRun(const SoakOptions &options);
    ~SoakRun();

    // Makes the program database and a logbook of options.qsos QSOs in the folder.
    bool prepare();
    // The steps; `progress` hears each step's number. False at the first broken promise.
    bool run(const std::function<void(int)> &progress);

    const SoakFigures &figures() const { return m_figures; }
    // What went wrong, with the step, the fault and the seed to repeat it.
    const QString &failure() const { return m_failure; }

private:
    using Record = Sqlite3DB::UM_RECORD;

    bool step(int number);
    bool add(const SoakFault &fault);
    bool change(const SoakFault &fault, bool qslOnly);
    bool remove(const SoakFault &fault);
    bool import(const SoakFault &fault, int number);
    bool rebuild(const SoakFault &fault);
    bool checkOutcome(bool reportedDone, const SoakFault &fault, const QString &what, bool fileAsReported);
    bool checkTold(bool reportedDone, const SoakFault &fault, const QString &what);
    static QString failureText(const SoakFault &fault);
    bool checkStatistics(int number);
    bool checkAllStatistics();
    bool checkSoundness(int number);
    bool broken(const QString &what);
    QString logbookPath() const;
    QString makeImportFile(int number, int &records);
    int randomRowId();
    static QByteArray keyOf(const Record &qso);

    SoakOptions m_options;
    std::mt19937 m_random;
    LogbookGenerator m_generator;
    ScriptedPrompter m_prompter;
    std::unique_ptr<CKorva3Doc> m_doc;
    std::unique_ptr<LogbookCheck> m_check;
    QList<int> m_touched;
    // The table's statistics after the last step, by entity.
    QHash<int, QByteArray> m_stats;
    int m_step = 0;
    bool m_wal = false;
    SoakFigures m_figures;
    QString m_failure;
};
