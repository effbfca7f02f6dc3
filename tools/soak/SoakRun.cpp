#include "SoakRun.h"

#include "adif/AdifWriter.h"
#include "document/CKorva3Doc.h"
#include "platform/Prompter.h"
#include "faults/HeldLock.h"
#include "progdb/ProgramDatabaseBuilder.h"
#include "store/LogbookJournal.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

namespace {

const char kLogbook[] = "soak.sqlite3";
const char kScratch[] = "scratch.sqlite3";
const char kImportFile[] = "import.adi";
const int kConfirmed = 2;

// Add, change, QSL mark, delete, import, rebuild: the mix of an operator's day, with
// the steps that touch the whole logbook rarer.
const double kOpWeights[SoakFigures::kOps] = {36, 25, 25, 4, 5, 5};
// None is handled by the fault share; a lock held past the busy timeout costs its
// five seconds, so it is the rarest.
const double kFaultWeights[SoakFault::kKinds] = {0, 350, 300, 200, 5, 140, 5};
const char kWriteError[] = "Error writing to database...";
const char kInUse[] = "Error writing to database...\nThe logbook is in use by another program";
const char kBatchRefused[] = "Error writing to database";

} // namespace

const char *SoakFigures::opName(int op)
{
    static const char *const names[kOps] = {"add", "change", "QSL mark", "delete", "import", "rebuild"};
    return names[op];
}

SoakRun::SoakRun(const SoakOptions &options)
    : m_options(options)
    , m_random(options.seed)
    , m_generator(options.seed + 1)
{
    Prompter::install(&m_prompter);
}

SoakRun::~SoakRun()
{
    m_doc.reset();
    Prompter::install(nullptr);
}

QString SoakRun::logbookPath() const
{
    return QDir(m_options.folder).filePath(QLatin1String(kLogbook));
}

bool SoakRun::prepare()
{
    // The document finds the program database in the current folder.
    if (!QDir::setCurrent(m_options.folder))
        return broken(QStringLiteral("cannot enter %1").arg(m_options.folder));
    QFile::remove(logbookPath());
    if (!ProgramDatabaseBuilder::build(QLatin1String(ProgramDb::kProgramDatabase)))
        return broken(QStringLiteral("cannot make the program database from the country file"));
    Sqlite3DB store;
    if (!LogbookGenerator(m_options.seed).writeLogbook(logbookPath(), m_options.qsos)
        || !store.RebuildDxccStats(logbookPath()))
        return broken(QStringLiteral("cannot make the logbook"));
    {
        const std::unique_ptr<HeldLock> reader =
            m_options.rollback ? std::make_unique<HeldLock>(logbookPath(), HeldLock::Kind::Read) : nullptr;
        m_doc = std::make_unique<CKorva3Doc>(logbookPath());
    }
    m_wal = LogbookJournal::mode(logbookPath()) == "wal";
    if (m_wal == m_options.rollback)
        return broken(QStringLiteral("the logbook is not in the %1 journal")
                          .arg(QLatin1String(m_options.rollback ? "rollback" : "WAL")));
    m_check = std::make_unique<LogbookCheck>(logbookPath());
    if (!m_check->isOpen() || !m_check->addCheckIndex())
        return broken(QStringLiteral("cannot open the logbook: %1").arg(m_check->lastError()));
    m_figures.qsosAtStart = m_check->qsoCount();
    m_stats = m_check->statsInTableByEntity();
    return checkAllStatistics();
}

bool SoakRun::run(const std::function<void(int)> &progress)
{
    QElapsedTimer clock;
    clock.start();
    bool sound = true;
    for (int number = 1; sound && number <= m_options.steps; ++number) {
        sound = step(number);
        if (progress)
            progress(number);
    }
    sound = sound && checkAllStatistics() && checkSoundness(0);
    m_figures.qsosAtEnd = m_check->qsoCount();
    m_figures.elapsedMs = clock.elapsed();
    return sound;
}

bool SoakRun::step(int number)
{
    m_step = number;
    m_touched.clear();
    m_prompter.clear();
    SoakFault::Kind kind = SoakFault::Kind::None;
    if (std::uniform_int_distribution<int>(1, 100)(m_random) <= m_options.faultPercent)
        kind = SoakFault::Kind(std::discrete_distribution<int>(std::begin(kFaultWeights), std::end(kFaultWeights))(m_random));
    const int op = std::discrete_distribution<int>(std::begin(kOpWeights), std::end(kOpWeights))(m_random);
    bool kept = false;
    {
        SoakFault fault(kind, *m_check, logbookPath(), m_wal, m_random);
        if (!fault.isSetUp())
            return broken(QStringLiteral("cannot set up %1: %2").arg(fault.description(), m_check->lastError()));
        ++m_figures.faults[int(kind)];
        ++m_figures.done[op];
        switch (op) {
        case SoakFigures::Add: kept = add(fault); break;
        case SoakFigures::Change: kept = change(fault, false); break;
        case SoakFigures::MarkQsl: kept = change(fault, true); break;
        case SoakFigures::Delete: kept = remove(fault); break;
        case SoakFigures::Import: kept = import(fault, number); break;
        case SoakFigures::Rebuild: kept = rebuild(fault); break;
        }
        if (kept && !fault.stillHeld())
            return broken(
                QStringLiteral("the step waited for %1 longer than the busy timeout").arg(fault.description()));
    }
    return kept && checkStatistics(number) && checkSoundness(number);
}

// --- The steps ------------------------------------------------------------------------

bool SoakRun::add(const SoakFault &fault)
{
    const Record qso = m_generator.next();
    const qint64 before = m_check->qsoCount();
    const qint64 highest = m_check->highestRowId();
    const int rowId = m_doc->AddQso(qso);
    m_touched << qso.country;
    if (rowId > 0) {
        const bool stored = m_check->qsoCount() == before + 1 && m_check->qsoKey(rowId) == keyOf(qso);
        return checkOutcome(true, fault, QStringLiteral("add"), stored)
            && checkTold(true, fault, QStringLiteral("add"));
    }
    ++m_figures.failed[SoakFigures::Add];
    const bool untouched = m_check->qsoCount() == before && m_check->highestRowId() == highest;
    return checkOutcome(false, fault, QStringLiteral("add"), untouched)
        && checkTold(false, fault, QStringLiteral("add"));
}

bool SoakRun::change(const SoakFault &fault, bool qslOnly)
{
    const int rowId = randomRowId();
    const std::optional<Record> read = m_doc->ReadQso(rowId);
    if (!read || read->call.isEmpty())
        return broken(QStringLiteral("QSO %1 cannot be read").arg(rowId));
    const QByteArray before = m_check->qsoKey(rowId);
    Record changed = *read;
    if (qslOnly) {
        changed.qslRcvd = kConfirmed;
    } else {
        const Record other = m_generator.next();
        changed.call = other.call;
        changed.country = other.country;
        changed.band = other.band;
        changed.mode = other.mode;
        changed.qslRcvd = other.qslRcvd;
    }
    m_touched << read->country << changed.country;
    const bool done = m_doc->ChangeQso(rowId, changed);
    if (!done)
        ++m_figures.failed[qslOnly ? SoakFigures::MarkQsl : SoakFigures::Change];
    const QByteArray after = m_check->qsoKey(rowId);
    const QString what = qslOnly ? QStringLiteral("QSL mark") : QStringLiteral("change");
    return checkOutcome(done, fault, what, after == (done ? keyOf(changed) : before)) && checkTold(done, fault, what);
}

bool SoakRun::remove(const SoakFault &fault)
{
    const int rowId = randomRowId();
    const QByteArray before = m_check->qsoKey(rowId);
    const qint64 count = m_check->qsoCount();
    m_touched << m_check->entityOf(rowId);
    const bool done = m_doc->DeleteQso(rowId);
    if (!done)
        ++m_figures.failed[SoakFigures::Delete];
    const bool asReported = done ? m_check->qsoKey(rowId).isEmpty() && m_check->qsoCount() == count - 1
                                 : m_check->qsoKey(rowId) == before && m_check->qsoCount() == count;
    return checkOutcome(done, fault, QStringLiteral("delete"), asReported)
        && checkTold(done, fault, QStringLiteral("delete"));
}

bool SoakRun::import(const SoakFault &fault, int number)
{
    int records = 0;
    const QString file = makeImportFile(number, records);
    if (file.isEmpty())
        return broken(QStringLiteral("cannot write the ADIF file to import"));
    m_prompter.clear();
    const qint64 before = m_check->qsoCount();
    const qint64 highest = m_check->highestRowId();
    const AdifImporter::Result result = m_doc->ImportAdifFile(file);
    const qint64 added = m_check->qsoCount() - before;
    m_touched << m_check->entitiesAfter(highest);
    m_figures.importedRecords += added;
    const QStringList texts = m_prompter.texts();
    // One failure message at most, which says why, then the number of records really
    // stored.
    QString addedText = QStringLiteral("%1 Qso Records added").arg(added);
    if (result.duplicates > 0)
        addedText += QStringLiteral(", %1 duplicates skipped").arg(result.duplicates);
    const bool told = !texts.isEmpty() && texts.size() <= 2 && texts.last() == addedText && result.added == added
                   && (texts.size() == 1 || texts.first() == QLatin1String(kBatchRefused)
                       || texts.first() == failureText(fault));
    if (!told)
        return broken(QStringLiteral("import of %1 records under %2 stored %3 but said: %4")
                          .arg(records)
                          .arg(fault.description())
                          .arg(added)
                          .arg(texts.join(QLatin1String(" / "))));
    const bool complete = added + result.duplicates == records && texts.size() == 1;
    if (!complete)
        ++m_figures.failed[SoakFigures::Import];
    return checkOutcome(complete, fault, QStringLiteral("import"), true);
}

bool SoakRun::rebuild(const SoakFault &fault)
{
    m_prompter.clear();
    const bool done = m_doc->OnRebuildDxccStat();
    if (!done)
        ++m_figures.failed[SoakFigures::Rebuild];
    const QString said = done ? QStringLiteral("DXCC statistics rebuilt") : failureText(fault);
    return checkOutcome(done, fault, QStringLiteral("rebuild"), m_prompter.texts() == QStringList{said});
}

// --- The checks -----------------------------------------------------------------------

// A write reported done must be in the file; one reported failed must have left the
// file as it was, and may only fail under a fault that can make writes fail.
bool SoakRun::checkOutcome(bool reportedDone, const SoakFault &fault, const QString &what, bool fileAsReported)
{
    if (!reportedDone && !fault.mayFailWrites())
        return broken(QStringLiteral("%1 failed without a write failure%2")
                          .arg(what, fault.kind() == SoakFault::Kind::None ? QString()
                                                                           : QStringLiteral(" (under %1)").arg(fault.description())));
    if (!fileAsReported)
        return broken(QStringLiteral("%1 reported %2 under %3, but the file says otherwise")
                          .arg(what, reportedDone ? QStringLiteral("done") : QStringLiteral("failed"),
                               fault.kind() == SoakFault::Kind::None ? QStringLiteral("no fault") : fault.description()));
    return true;
}

// A write said nothing when done, and its one message when it failed: that another
// program holds the logbook when one did past the busy timeout.
bool SoakRun::checkTold(bool reportedDone, const SoakFault &fault, const QString &what)
{
    const QStringList expected = reportedDone ? QStringList() : QStringList{failureText(fault)};
    if (m_prompter.texts() == expected)
        return true;
    const QString under = fault.kind() == SoakFault::Kind::None ? QStringLiteral("no fault") : fault.description();
    return broken(QStringLiteral("%1 under %2 said: %3").arg(what, under, m_prompter.texts().join(QLatin1String(" / "))));
}

QString SoakRun::failureText(const SoakFault &fault)
{
    return QLatin1String(fault.holdsTheLogbook() ? kInUse : kWriteError);
}

// The statistics equal a rebuild after every step: before it they did, so it is
// enough that the entities the step touched agree with their QSOs and that no other
// entity's statistics moved. A comparison of all entities with all QSOs runs now and
// then as well, and at the end.
bool SoakRun::checkStatistics(int number)
{
    const QHash<int, QByteArray> now = m_check->statsInTableByEntity();
    ++m_figures.tableComparisons;
    QList<int> entities = now.keys() + m_stats.keys();
    std::sort(entities.begin(), entities.end());
    entities.erase(std::unique(entities.begin(), entities.end()), entities.end());
    for (const int dxcc : std::as_const(entities)) {
        if (!m_touched.contains(dxcc) && now.value(dxcc) != m_stats.value(dxcc))
            return broken(QStringLiteral("the statistics of entity %1 changed, but the step did not touch it").arg(dxcc));
    }
    for (const int dxcc : std::as_const(m_touched)) {
        if (dxcc <= 0)
            continue;
        ++m_figures.entityComparisons;
        if (now.value(dxcc) != m_check->statsFromQsos(dxcc))
            return broken(QStringLiteral("the statistics of entity %1 differ from a rebuild").arg(dxcc));
    }
    m_stats = now;
    return number % m_options.fullStatsEvery != 0 || checkAllStatistics();
}

bool SoakRun::checkAllStatistics()
{
    ++m_figures.fullComparisons;
    return m_check->statsInTable() == m_check->statsFromQsos()
        || broken(QStringLiteral("the statistics differ from a rebuild"));
}

// quick_check every tenth of the integrity interval, integrity_check every interval and
// at the end (number 0).
bool SoakRun::checkSoundness(int number)
{
    const int quickEvery = qMax(1, m_options.integrityEvery / 10);
    if (number == 0 || number % m_options.integrityEvery == 0) {
        ++m_figures.integrityChecks;
        const QByteArray verdict = m_check->integrityCheck();
        return verdict == "ok" || broken(QStringLiteral("integrity_check says: %1").arg(QString::fromUtf8(verdict)));
    }
    if (number % quickEvery == 0) {
        ++m_figures.quickChecks;
        const QByteArray verdict = m_check->quickCheck();
        return verdict == "ok" || broken(QStringLiteral("quick_check says: %1").arg(QString::fromUtf8(verdict)));
    }
    return true;
}

bool SoakRun::broken(const QString &what)
{
    m_failure = QStringLiteral("step %1 (seed %2): %3").arg(m_step).arg(m_options.seed).arg(what);
    return false;
}

// --- Helpers --------------------------------------------------------------------------

// QSOs for an import: made up, written by the export from a scratch logbook; every
// other import leaves out the DXCC fields, as files of digital-mode programs do, so
// its calls are resolved while importing. One import in ten spans more than one batch.
QString SoakRun::makeImportFile(int number, int &records)
{
    const QString scratch = QDir(m_options.folder).filePath(QLatin1String(kScratch));
    const QString file = QDir(m_options.folder).filePath(QLatin1String(kImportFile));
    QFile::remove(scratch);
    const bool large = std::uniform_int_distribution<int>(1, 10)(m_random) == 1;
    records = large ? std::uniform_int_distribution<int>(501, 700)(m_random)
                    : std::uniform_int_distribution<int>(1, 30)(m_random);
    Sqlite3DB store;
    if (!LogbookGenerator(m_options.seed + quint32(number)).writeLogbook(scratch, records)
        || AdifWriter::ExportAdif(store, file, scratch, CKorva3Doc::ExportDays(0)) != AdifWriter::Result::Written)
        return QString();
    if (number % 2 == 0)
        return file;
    QFile adif(file);
    if (!adif.open(QIODevice::ReadWrite))
        return QString();
    // Latin-1 keeps every byte as it is.
    const QByteArray bytes = QString::fromLatin1(adif.readAll())
                                 .remove(QRegularExpression(QStringLiteral("<DXCC:\\d+>\\d*")))
                                 .toLatin1();
    const bool written = adif.resize(0) && adif.write(bytes) == bytes.size();
    return written ? file : QString();
}

int SoakRun::randomRowId()
{
    const qint64 highest = m_check->highestRowId();
    return m_check->existingRowId(std::uniform_int_distribution<qint64>(1, qMax<qint64>(1, highest))(m_random));
}

QByteArray SoakRun::keyOf(const Record &qso)
{
    return qso.call.toLatin1() + '|' + qso.band.toLatin1() + '|' + QByteArray::number(qso.mode) + '|'
         + QByteArray::number(qso.qslRcvd) + '|' + QByteArray::number(qso.country);
}
