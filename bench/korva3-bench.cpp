// Times Korva3's heavy work against baselines timed in the same run: the ADIF import
// against the sqlite3 shell running the same rows, the export against the shell's CSV
// dump, call-sign resolution through korva3-cli against a script with one connection
// to the program database, and the statistics rebuild against the grouping statement
// that computes the same counts. Times the document's operations as the windows call
// them on the generated logbook, and the peak memory of the import and the export.
// Times the DX cluster's spot statuses, and QSOs from WSJT-X's datagrams on the
// loopback to their commit in the generated logbook, and stores a burst of them.
// Prints medians; asserts nothing.
//
// With --journal it compares the logbook's journals instead: the document's writes in
// SQLite's rollback journal and in its write-ahead log (WAL), alone and while another
// program holds a read transaction.
//
// With --confirmations N (or --only confirmations, N 100,000) it times N LoTW
// confirmations, taken from the logbook's QSOs five minutes off, matched and written
// into the logbook as a download writes them, and the peak memory meanwhile.
//
//   korva3-bench [--qsos N] [--runs N] [--calls N] [--json] [--last FILE] [--journal] [--only PART,...]
//                [--confirmations N]
#include "BenchTable.h"
#include "ChildRun.h"

#include "adif/AdifWriter.h"

#include "document/CKorva3Doc.h"
#include "document/StoreCallLookup.h"
#include "loggen/LogbookGenerator.h"
#include "net/ConfirmationImport.h"
#include "net/SpotStatusCalculator.h"
#include "net/WsjtxListener.h"
#include "net/WsjtxLogging.h"
#include "net/WsjtxMessage.h"
#include "platform/ScriptedPrompter.h"
#include "progdb/ProgramDatabaseBuilder.h"
#include "store/LogbookJournal.h"
#include "store/QsoBytes.h"
#include "store/QsoColumns.h"
#include "store/SlotConnection.h"
#include "store/Sqlite3DB.h"
#include "store/SqliteStatement.h"
#include "store/SqliteTransaction.h"
#include "wsjtxsim/WsjtxEncoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QUdpSocket>

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <iterator>
#include <limits>
#include <memory>
#include <numeric>
#include <vector>

namespace {

using Goal = BenchTable::Goal;

const char kMasterScp[] = "/usr/share/hamradio-files/MASTER.SCP";
const char kStatsBaseline[] =
    "INSERT INTO DXCCREPORT (DXCC, BAND, MODE, COUNTW, COUNTC) SELECT COUNTRY, BAND, MODE, COUNT(*), "
    "SUM(QSLRCVD = 2) FROM QSOS WHERE COUNTRY != 0 GROUP BY COUNTRY, BAND, MODE";

// The resolution as it was done with SQL alone: the call in CALLS, else the longest
// leading part of its home call that stands once in PREFIXES.
const char kResolutionScript[] = R"(
import sqlite3, sys, time
db = sqlite3.connect(sys.argv[1])
calls = [line.strip() for line in open(sys.argv[2], encoding='latin-1') if line.strip()]
start = time.perf_counter()
for call in calls:
    if db.execute('SELECT DXCCID FROM CALLS WHERE CALL = ?', (call,)).fetchone():
        continue
    home = call.split('/')[0]
    prefix = ''
    for n in range(1, len(home) + 1):
        if db.execute('SELECT COUNT(*) FROM PREFIXES WHERE COUNTRYPREFIX = ?', (home[:n],)).fetchone()[0] == 1:
            prefix = home[:n]
    db.execute('SELECT DXCCID FROM PREFIXES WHERE COUNTRYPREFIX = ?', (prefix,)).fetchone()
print(len(calls) / (time.perf_counter() - start))
)";

struct Settings
{
    int qsos = 100000;
    int runs = 5;
    int calls = 1000000;
    bool json = false;
    int confirmations = 100000;
    QString last;
    // The parts to run (statistics, reports, export, import, entities, resolution,
    // spots, writes, wsjtx, journal, confirmations); empty for all but the journals'
    // comparison and the confirmations, which only run when named (--journal names it
    // alone).
    QStringList only;

    bool includes(const char *part) const
    {
        return only.isEmpty() ? qstrcmp(part, "journal") != 0 && qstrcmp(part, "confirmations") != 0
                              : only.contains(QLatin1String(part));
    }
};

// The process's resident memory at its highest since the last reset, in MiB (Linux).
double peakResidentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

// Sets the highest resident memory back to the present one.
void resetPeakResident()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

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
    return median(times);
}

double medianMs(int runs, const std::function<void()> &work)
{
    return medianMs(runs, [] {}, work);
}

// The median time and the highest peak memory of a child process run `runs` times.
struct ChildFigures
{
    double milliseconds = 0;
    double peakMiB = 0;
    bool allClean = true;
};

ChildFigures medianChild(int runs, const std::function<void()> &prepare, const std::function<ChildRun()> &start)
{
    ChildFigures figures;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const ChildRun run = start();
        figures.allClean = figures.allClean && run.exitedCleanly;
        figures.peakMiB = std::max(figures.peakMiB, run.peakMiB);
        times.push_back(run.milliseconds);
    }
    figures.milliseconds = median(times);
    return figures;
}

void progress(const char *what)
{
    std::fprintf(stderr, "korva3-bench: %s\n", what);
}

BenchTable::Figure figure(const QString &name, double value, const QString &unit, Goal goal = Goal::None,
                          double goalValue = 0)
{
    BenchTable::Figure f;
    f.name = name;
    f.value = value;
    f.unit = unit;
    f.goal = goal;
    f.goalValue = goalValue;
    return f;
}

BenchTable::Figure against(BenchTable::Figure f, const QString &baselineName, double baseline, bool goalOnRatio)
{
    f.baselineName = baselineName;
    f.baseline = baseline;
    f.goalOnRatio = goalOnRatio;
    return f;
}

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

class Bench
{
public:
    explicit Bench(const Settings &settings)
        : m_settings(settings)
        , m_log(m_dir.filePath(QStringLiteral("bench.sqlite3")))
        , m_cli(QStringLiteral(KORVA3_CLI_PATH))
        , m_shell(QStandardPaths::findExecutable(QStringLiteral("sqlite3")))
    {
    }

    bool prepare();
    void statistics();
    void reports();
    void adifExport();
    void adifImport();
    void importWithoutEntities();
    void resolution();
    void spotStatuses();
    void writes();
    void journals();
    void confirmations();
    void wsjtx();
    void print() const;

private:
    QString path(const char *name) const { return m_dir.filePath(QLatin1String(name)); }
    // Sizes of the figures' names: "(100000 QSOs)".
    QString ofQsos() const { return QStringLiteral(" (%1 QSOs)").arg(m_settings.qsos); }
    // The goal of a document operation: the tighter one at up to 100,000 QSOs.
    double documentGoal(double upTo100k) const { return m_settings.qsos <= 100000 ? upTo100k : 100; }
    std::function<void()> freshLogbook(const QString &logbook) const;
    bool writeInsertScript(const QString &script) const;
    std::vector<QsoBytes> storedRows() const;
    bool writeEntityFiles(const QStringList &calls, const QString &withEntity, const QString &without);
    double shellMs(const ChildFigures &figures) const { return figures.allClean ? figures.milliseconds : 0; }
    void journal(bool wal, const QString &adif);

    Settings m_settings;
    QTemporaryDir m_dir;
    QString m_log;
    QString m_cli;
    QString m_shell;
    ScriptedPrompter m_silent;
    BenchTable m_table;
};

bool Bench::prepare()
{
    progress(qPrintable(QStringLiteral("generating a logbook of %1 QSOs").arg(m_settings.qsos)));
    if (!m_dir.isValid() || !LogbookGenerator(2026).writeLogbook(m_log, m_settings.qsos)) {
        std::fprintf(stderr, "cannot write the logbook in %s\n", qPrintable(m_dir.path()));
        return false;
    }
    Sqlite3DB().RebuildDxccStats(m_log);
    if (!m_settings.last.isEmpty() && !m_table.loadLast(m_settings.last))
        std::fprintf(stderr, "cannot read %s: no last run to compare with\n", qPrintable(m_settings.last));
    // The document reads the program database by its relative name.
    QDir::setCurrent(m_dir.path());
    Prompter::install(&m_silent);
    if (!ProgramDatabaseBuilder::build(QStringLiteral("korva3.sqlite3")))
        std::fprintf(stderr, "%s not found: resolution and imports without entities are skipped\n",
                     ProgramDatabaseBuilder::kCountryFile);
    return true;
}

std::function<void()> Bench::freshLogbook(const QString &logbook) const
{
    return [logbook] {
        QFile::remove(logbook);
        Sqlite3DB().CreateLogbook(logbook);
    };
}

void Bench::statistics()
{
    progress("statistics rebuild");
    Sqlite3DB db;
    const double rebuild = medianMs(m_settings.runs, [&] { db.RebuildDxccStats(m_log); });
    const QString copy = path("baseline.sqlite3");
    const double baseline = medianMs(
        m_settings.runs,
        [&] {
            QFile::remove(copy);
            QFile::copy(m_log, copy);
            sqlite3 *slot = nullptr;
            SlotConnection c(slot, copy);
            SqliteStatement::exec(c.handle(), "DELETE FROM DXCCREPORT");
        },
        [&] {
            sqlite3 *slot = nullptr;
            SlotConnection c(slot, copy);
            SqliteStatement::exec(c.handle(), kStatsBaseline);
        });
    m_table.add(against(figure(QStringLiteral("DXCC statistics rebuild") + ofQsos(), rebuild, "ms", Goal::AtMost, 3),
                        QStringLiteral("INSERT ... SELECT with GROUP BY in SQLite"), baseline, true));
}

// The reads as the windows do them, on the document of the generated logbook.
void Bench::reports()
{
    progress("document reads");
    CKorva3Doc doc(m_log);
    const int runs = m_settings.runs;
    m_table.add(figure(QStringLiteral("DXCC report read"), medianMs(runs, [&] { doc.ReadDxccTotals(); }), "ms",
                       Goal::AtMost, documentGoal(50)));
    m_table.add(figure(QStringLiteral("CQ zone report read"), medianMs(runs, [&] { doc.ReadCqZoneGrid(); }), "ms",
                       Goal::AtMost, documentGoal(50)));
    m_table.add(figure(QStringLiteral("entity grid, three lines"), medianMs(runs, [&] { doc.QueryDxccGrid(230); }),
                       "ms", Goal::AtMost, documentGoal(50)));
    const double open = medianMs(runs, [&] {
        CKorva3Doc opened(m_log);
        opened.LoadLatestQsos(30);
    });
    m_table.add(figure(QStringLiteral("logbook opened, latest 30 listed"), open, "ms", Goal::AtMost, 100));
    m_table.add(figure(QStringLiteral("QSL window lookup of \"DL\""),
                       medianMs(runs, [&] { doc.FindQsosByCall(QStringLiteral("DL")); }), "ms", Goal::AtMost,
                       documentGoal(50)));
    const double typed = medianMs(runs, [&] {
        const QString call = QStringLiteral("DL1ABC");
        const int dxcc = doc.ResolveCallsign(call);
        doc.GetCountryInfo(dxcc, call);
        doc.FindQsosByCall(call);
        doc.GetQslManager(call);
        doc.QueryDxccGrid(dxcc);
    });
    m_table.add(figure(QStringLiteral("call typed and left: entity, worked before"), typed, "ms", Goal::AtMost, 100));
}

// The statuses of 10,000 spots as the cluster window computes them when they come in:
// each spot alone, with a new calculator each run, so that every call is read once from
// the logbook and every entity's statistics once. Calls of the logbook and of
// MASTER.SCP, spread over the bands and modes.
void Bench::spotStatuses()
{
    constexpr int kSpots = 10000;
    const QStringList heard = readCalls(QLatin1String(kMasterScp), kSpots);
    QStringList calls;
    {
        sqlite3 *slot = nullptr;
        SlotConnection db(slot, m_log);
        SqliteStatement logged(db.handle(), "SELECT CALL FROM QSOS WHERE ROWID % 97 = 0 LIMIT 3000");
        while (logged.step() == SQLITE_ROW)
            calls.append(logged.columnText(0));
    }
    for (int i = 0; calls.size() < kSpots && !heard.isEmpty(); ++i)
        calls.append(heard.at(i % heard.size()));
    if (calls.isEmpty())
        return;
    progress("spot statuses");
    const struct
    {
        double kHz;
        const char *comment;
    } places[] = {{14025.0, "CW 599"}, {14074.0, "FT8 -12 dB"}, {7150.0, ""},       {21250.0, "SSB 59"},
                  {3525.0, ""},        {28074.0, "FT8"},        {18080.0, "CW"},    {50313.0, "FT8 ES"},
                  {10136.0, ""},       {24950.0, "up 5"},       {1830.0, "CW TNX"}, {7040.0, "RTTY"}};
    QList<DxSpot> spots;
    for (int i = 0; i < calls.size(); ++i) {
        DxSpot spot;
        spot.dxCall = calls.at(i);
        const auto &place = places[static_cast<std::size_t>(i) % std::size(places)];
        spot.frequencyKHz = place.kHz;
        spot.comment = QString::fromLatin1(place.comment);
        spots.append(spot);
    }
    CKorva3Doc doc(m_log);
    std::vector<double> medians;
    std::vector<double> totals;
    double slowest = 0;
    for (int run = 0; run < m_settings.runs; ++run) {
        SpotStatusCalculator calculator;
        calculator.setLogbook(&doc);
        std::vector<double> each;
        each.reserve(static_cast<std::size_t>(spots.size()));
        for (const DxSpot &spot : std::as_const(spots)) {
            QElapsedTimer one;
            one.start();
            calculator.statusOf(spot);
            each.push_back(static_cast<double>(one.nsecsElapsed()) / 1e6);
        }
        totals.push_back(std::accumulate(each.begin(), each.end(), 0.0));
        slowest = std::max(slowest, *std::max_element(each.begin(), each.end()));
        medians.push_back(median(each));
    }
    const QString size = QStringLiteral(" (%1 spots)").arg(spots.size());
    m_table.add(figure(QStringLiteral("spot status, median per spot") + size + ofQsos(), median(medians), "ms",
                       Goal::AtMost, 1));
    m_table.add(QStringLiteral("spot statuses, all spots") + size, median(totals), "ms");
    m_table.add(QStringLiteral("spot status, slowest spot of all runs"), slowest, "ms");
}

// Adds, changes and QSL marks change the logbook, so they come after everything else.
void Bench::writes()
{
    progress("document writes");
    CKorva3Doc doc(m_log);
    LogbookGenerator generator(7);
    const int runs = m_settings.runs;
    int added = 0;
    m_table.add(figure(QStringLiteral("QSO added with its statistics"),
                       medianMs(runs, [&] { added = doc.AddQso(generator.next()); }), "ms", Goal::AtMost, 100));
    Sqlite3DB::UM_RECORD changed = generator.next();
    m_table.add(figure(QStringLiteral("QSO changed"), medianMs(runs, [&] {
                           changed.band = changed.band == QLatin1String("20") ? QStringLiteral("40") : QStringLiteral("20");
                           doc.ChangeQso(added, changed);
                       }),
                       "ms", Goal::AtMost, 100));
    m_table.add(figure(QStringLiteral("QSL received marked"), medianMs(runs, [&] {
                           std::optional<Sqlite3DB::UM_RECORD> qso = doc.ReadQso(added);
                           if (!qso)
                               return;
                           qso->qslRcvd = qso->qslRcvd == 2 ? 1 : 2;
                           doc.ChangeQso(added, *qso);
                       }),
                       "ms", Goal::AtMost, 100));
}

namespace {

constexpr int kJournalRecords = 20000;

// Another program's read transaction on a logbook: a connection of its own that has
// read the file and not ended its transaction.
class Reader
{
public:
    explicit Reader(const QString &path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
            sqlite3_exec(m_db, "BEGIN; SELECT COUNT(*) FROM QSOS", nullptr, nullptr, nullptr);
    }
    ~Reader() { sqlite3_close(m_db); }
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

private:
    sqlite3 *m_db = nullptr;
};

} // namespace

// The document's writes on a copy of the logbook in one journal. A reader that has the
// logbook open while the document opens it keeps it in the rollback journal.
void Bench::journal(bool wal, const QString &adif)
{
    const QString name = wal ? QStringLiteral("WAL") : QStringLiteral("rollback journal");
    const QString copy = path(wal ? "wal.sqlite3" : "rollback.sqlite3");
    QFile::remove(copy);
    QFile::copy(m_log, copy);
    std::unique_ptr<Reader> opening = wal ? nullptr : std::make_unique<Reader>(copy);
    std::unique_ptr<CKorva3Doc> doc = std::make_unique<CKorva3Doc>(copy);
    opening.reset();
    m_table.add(QStringLiteral("%1: journal mode while open").arg(name),
                LogbookJournal::mode(copy) == "wal" ? 1 : 0, QStringLiteral("1 = WAL"));
    LogbookGenerator generator(11);
    const int runs = std::max(m_settings.runs, 25);
    m_table.add(QStringLiteral("%1: QSO added with its statistics").arg(name),
                medianMs(runs, [&] { doc->AddQso(generator.next()); }), QStringLiteral("ms"));
    {
        Reader reader(copy);
        int rowId = 0;
        QElapsedTimer timer;
        timer.start();
        rowId = doc->AddQso(generator.next());
        m_table.add(QStringLiteral("%1: QSO added while a reader holds a transaction (%2)")
                        .arg(name, rowId > 0 ? QStringLiteral("stored") : QStringLiteral("given up")),
                    static_cast<double>(timer.nsecsElapsed()) / 1e6, QStringLiteral("ms"));
        timer.start();
        const AdifImporter::Result imported = doc->ImportAdifFile(adif);
        m_table.add(QStringLiteral("%1: import of %2 records while a reader holds a transaction (%3 stored)")
                        .arg(name)
                        .arg(kJournalRecords)
                        .arg(imported.added),
                    static_cast<double>(timer.nsecsElapsed()) / 1e6, QStringLiteral("ms"));
    }
    int stored = 0;
    const double importMs = medianMs(m_settings.runs, [&] { stored += doc->ImportAdifFile(adif).added; });
    m_table.add(QStringLiteral("%1: import of %2 records (%3 of %4 stored)")
                    .arg(name)
                    .arg(kJournalRecords)
                    .arg(stored)
                    .arg(kJournalRecords * m_settings.runs),
                importMs, QStringLiteral("ms"));
    doc.reset();
    if (wal)
        m_table.add(QStringLiteral("WAL: logbook opened and closed (into WAL and back)"),
                    medianMs(m_settings.runs, [&] { CKorva3Doc opened(copy); }), QStringLiteral("ms"));
}

void Bench::journals()
{
    progress("journals");
    const QString records = path("journal-records.sqlite3");
    const QString adif = path("journal.adi");
    Sqlite3DB store;
    if (!LogbookGenerator(13).writeLogbook(records, kJournalRecords)
        || AdifWriter::ExportAdif(store, adif, records, CKorva3Doc::ExportDays(0)) != AdifWriter::Result::Written)
        return;
    journal(false, adif);
    journal(true, adif);
}

namespace {

constexpr int kWsjtxQsos = 1000;
// How long a QSO may take before the benchmark gives up on it.
constexpr int kWsjtxPatienceMs = 10000;

// A QSO as WSJT-X logs one, with a made-up call of its own: PREFIX and three letters.
WsjtxMessage wsjtxQso(const char *prefix, int index)
{
    WsjtxMessage message = WsjtxEncoder::message(WsjtxMessage::Kind::QsoLogged, QStringLiteral("WSJT-X"));
    QString call = QLatin1String(prefix);
    for (int letter : {index / 676 % 26, index / 26 % 26, index % 26})
        call.append(QLatin1Char(static_cast<char>('A' + letter)));
    // A day the generated logbook has no QSOs on.
    const QDateTime off(QDate(2031, 1, 1), QTime(12, 0), Qt::UTC);
    message.qso = {off, call, QStringLiteral("FN42"), 14075500, QStringLiteral("FT8"), QStringLiteral("-10"),
                   QStringLiteral("-12"), QStringLiteral("100"), QString(), QString(), off.addSecs(-60), QString(),
                   QStringLiteral("DL1XYZ"), QStringLiteral("JO62"), QString(), QString(), QString()};
    return message;
}

// The two datagrams WSJT-X sends for a QSO: QSO Logged, then Logged ADIF.
QList<QByteArray> wsjtxDatagrams(const WsjtxMessage &qso)
{
    const WsjtxEncoder encoder;
    WsjtxMessage adif = WsjtxEncoder::message(WsjtxMessage::Kind::LoggedAdif, qso.id);
    adif.adif = WsjtxEncoder::loggedAdifText(qso.qso, qso.id);
    return {encoder.encode(qso), encoder.encode(adif)};
}

// Waits on the event loop until `done`; false when it took longer than `ms`.
bool waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

// A datagram the socket's buffer cannot take now is sent again once it can.
void sendAll(QUdpSocket &sender, const QByteArray &datagram, quint16 port)
{
    while (sender.writeDatagram(datagram, QHostAddress::LocalHost, port) != datagram.size())
        sender.waitForBytesWritten(10);
}

// Counts of the QSOs of the benchmark's day whose call is like `pattern`.
int benchQsos(const QString &logbook, const char *pattern, const char *what)
{
    sqlite3 *slot = nullptr;
    SlotConnection c(slot, logbook);
    const QByteArray sql = QByteArray("SELECT ") + what + " FROM QSOS WHERE DATE = '2031-01-01' AND CALL LIKE ?";
    SqliteStatement count(c.handle(), sql.constData());
    count.bind(1, QString::fromLatin1(pattern));
    count.step();
    return count.columnInt(0);
}

} // namespace

// A listener on the loopback stores into the generated logbook, as the logbook window's
// WSJT-X logging does.
void Bench::wsjtx()
{
    progress("WSJT-X datagrams to stored QSOs");
    CKorva3Doc doc(m_log);
    WsjtxLogging logging([&doc](QString &) { return &doc; });
    WsjtxSettings settings;
    settings.enabled = true;
    settings.port = 0;
    if (!logging.apply(settings)) {
        std::fprintf(stderr, "no UDP port for WSJT-X: %s\n", qPrintable(logging.lastError()));
        return;
    }
    const quint16 port = logging.listener()->port();
    int imported = 0;
    QObject::connect(&doc, &CKorva3Doc::qsosImported, &doc, [&imported](int count) { imported += count; });
    QUdpSocket sender;

    std::vector<double> latencies;
    for (int i = 0; i < kWsjtxQsos; ++i) {
        const QList<QByteArray> datagrams = wsjtxDatagrams(wsjtxQso("K1", i));
        const int before = imported;
        QElapsedTimer timer;
        timer.start();
        for (const QByteArray &datagram : datagrams)
            sendAll(sender, datagram, port);
        if (!waitFor([&] { return imported > before; }, kWsjtxPatienceMs))
            break;
        latencies.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    const QString ofQsos = latencies.size() == kWsjtxQsos
                               ? QString()
                               : QStringLiteral(" (%1 of %2 QSOs)").arg(latencies.size()).arg(kWsjtxQsos);
    m_table.add(figure(QStringLiteral("WSJT-X datagrams to QSO committed, median") + ofQsos, median(latencies), "ms",
                       Goal::AtMost, 20));
    m_table.add(figure(QStringLiteral("WSJT-X datagrams to QSO committed, slowest") + ofQsos,
                       latencies.empty() ? 0 : *std::max_element(latencies.begin(), latencies.end()), "ms",
                       Goal::AtMost, 100));

    progress("WSJT-X burst");
    const int before = imported;
    QElapsedTimer burst;
    burst.start();
    for (int i = 0; i < kWsjtxQsos; ++i) {
        for (const QByteArray &datagram : wsjtxDatagrams(wsjtxQso("K2", i)))
            sendAll(sender, datagram, port);
    }
    const double sentMs = static_cast<double>(burst.nsecsElapsed()) / 1e6;
    // Done when all are in, or when none came for a while.
    int seen = imported;
    while (imported - before < kWsjtxQsos && waitFor([&] { return imported > seen; }, kWsjtxPatienceMs))
        seen = imported;
    const double storedMs = static_cast<double>(burst.nsecsElapsed()) / 1e6;
    logging.stop();
    m_table.add(QStringLiteral("WSJT-X burst: 1000 QSOs, 2000 datagrams sent"), sentMs, "ms");
    m_table.add(QStringLiteral("WSJT-X burst: stored after"), storedMs, "ms");
    m_table.add(figure(QStringLiteral("WSJT-X burst: QSOs stored"), benchQsos(m_log, "K2%", "COUNT(DISTINCT CALL)"),
                       "QSOs", Goal::AtLeast, kWsjtxQsos));
    m_table.add(figure(QStringLiteral("WSJT-X burst: QSOs stored twice"),
                       benchQsos(m_log, "K2%", "COUNT(*) - COUNT(DISTINCT CALL)"), "QSOs", Goal::AtMost, 0));
}

void Bench::adifExport()
{
    progress("ADIF export");
    const QString adif = path("bench.adi");
    const ChildFigures exported = medianChild(m_settings.runs, [] {}, [&] {
        return ChildRun::run(m_cli, {"export", m_log, adif, "--period", "0"}, m_dir.path());
    });
    const QString size = QStringLiteral(" (%1 MB)").arg(static_cast<double>(QFileInfo(adif).size()) / 1e6, 0, 'f', 1);
    BenchTable::Figure f = figure(QStringLiteral("ADIF export") + size, exported.allClean ? exported.milliseconds : 0,
                                  "ms", Goal::AtMost, 1.5);
    if (!m_shell.isEmpty()) {
        const ChildFigures dump = medianChild(m_settings.runs, [] {}, [&] {
            return ChildRun::run(m_shell, {"-csv", m_log, "SELECT * FROM QSOS"}, m_dir.path(), QString(),
                                 path("bench.csv"));
        });
        f = against(f, QStringLiteral("sqlite3 -csv dump of all columns of QSOS"), shellMs(dump), true);
    }
    m_table.add(f);
    m_table.add(figure(QStringLiteral("ADIF export peak memory"), exported.peakMiB, "MiB", Goal::AtMost, 64));
}

// The logbook's rows as the script the sqlite3 shell runs: one transaction, inserts of
// Sqlite3DB::kBatchRows rows with their values written in the statement text.
std::vector<QsoBytes> Bench::storedRows() const
{
    std::vector<QsoBytes> out;
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, m_log);
    SqliteStatement rows(db.handle(), ("SELECT " + QsoColumns::nameList() + " FROM QSOS ORDER BY ROWID").constData());
    while (rows.step() == SQLITE_ROW) {
        QsoBytes row;
        for (int c = 0; c < QsoColumns::kCount; ++c) {
            if (QsoColumns::all()[c].number)
                row.number[c] = rows.columnInt(c);
            else
                row.text[c] = rows.columnBytes(c);
        }
        out.push_back(std::move(row));
    }
    return out;
}

bool Bench::writeInsertScript(const QString &scriptPath) const
{
    QFile script(scriptPath);
    if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, m_log);
    SqliteStatement rows(db.handle(), ("SELECT " + QsoColumns::nameList() + " FROM QSOS ORDER BY ROWID").constData());
    if (!rows.isPrepared())
        return false;
    QByteArray sql = "BEGIN TRANSACTION;\n";
    int inBatch = 0;
    while (rows.step() == SQLITE_ROW) {
        sql += inBatch == 0 ? "INSERT INTO QSOS (" + QsoColumns::nameList() + ") VALUES\n(" : QByteArray(",\n(");
        for (int c = 0; c < QsoColumns::kCount; ++c) {
            if (c > 0)
                sql += ',';
            if (QsoColumns::all()[c].number)
                sql += QByteArray::number(rows.columnInt(c));
            else
                sql += '\'' + rows.columnBytes(c).replace('\'', "''") + '\'';
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

// Imports the export's file into new logbooks through korva3-cli, against the shell
// running the same rows, and the floor: the same rows bound into one prepared
// single-row INSERT, without any parsing.
void Bench::adifImport()
{
    progress("ADIF import");
    const QString adif = path("bench.adi");
    const QString imported = path("imported.sqlite3");
    const ChildFigures import = medianChild(m_settings.runs, freshLogbook(imported), [&] {
        return ChildRun::run(m_cli, {"import", imported, adif}, m_dir.path());
    });
    const QString size = QStringLiteral(" (%1 MB)").arg(static_cast<double>(QFileInfo(adif).size()) / 1e6, 0, 'f', 1);
    BenchTable::Figure f = figure(QStringLiteral("ADIF import") + size, import.allClean ? import.milliseconds : 0,
                                  "ms", Goal::AtMost, 0.8);
    double shell = 0;
    const QString script = path("rows.sql");
    if (!m_shell.isEmpty() && writeInsertScript(script)) {
        const QString shellLog = path("shell.sqlite3");
        shell = shellMs(medianChild(m_settings.runs, freshLogbook(shellLog), [&] {
            return ChildRun::run(m_shell, {shellLog, ".read " + script}, m_dir.path());
        }));
        f = against(f, QStringLiteral("sqlite3 shell, the same rows as 500-row INSERTs"), shell, true);
    }
    m_table.add(f);
    m_table.add(figure(QStringLiteral("ADIF import peak memory"), import.peakMiB, "MiB", Goal::AtMost, 64));

    // The floor holds every row in memory: measured on logbooks of a usual size only.
    if (m_settings.qsos > 200000)
        return;
    const std::vector<QsoBytes> rows = storedRows();
    const QString floorLog = path("floor.sqlite3");
    const double floor = medianMs(m_settings.runs, freshLogbook(floorLog), [&] {
        sqlite3 *slot = nullptr;
        SlotConnection db(slot, floorLog);
        SqliteTransaction transaction(db.handle(), SqliteTransaction::Kind::Write);
        SqliteStatement insert(db.handle(), QsoColumns::insertStatement(1).constData());
        for (const QsoBytes &row : rows) {
            for (int c = 0; c < QsoColumns::kCount; ++c) {
                if (QsoColumns::all()[c].number)
                    insert.bind(c + 1, row.number[c]);
                else
                    insert.bindStatic(c + 1, row.text[c]);
            }
            insert.run();
            insert.reset();
        }
        transaction.commit();
    });
    BenchTable::Figure floorFigure = figure(QStringLiteral("floor: one prepared INSERT, rows bound"), floor, "ms");
    if (shell > 0)
        floorFigure = against(floorFigure, QStringLiteral("sqlite3 shell, the same rows as 500-row INSERTs"), shell,
                              true);
    m_table.add(floorFigure);
}

// Two files of the same records with calls of MASTER.SCP, one with a DXCC field in each
// record and one without, as digital-mode programs write them.
bool Bench::writeEntityFiles(const QStringList &calls, const QString &withEntity, const QString &without)
{
    QFile with(withEntity);
    QFile plain(without);
    if (!with.open(QIODevice::WriteOnly) || !plain.open(QIODevice::WriteOnly))
        return false;
    const QByteArray head = "Generated by korva3-bench\r\n<ADIF_VERS:5>3.1.4 <EOH>\r\n";
    with.write(head);
    plain.write(head);
    CKorva3Doc doc{QString()};
    LogbookGenerator generator(5);
    QByteArray common;
    for (int i = 0; i < m_settings.qsos; ++i) {
        const QString &call = calls.at(i % calls.size());
        const Sqlite3DB::UM_RECORD qso = generator.next();
        const QByteArray date = qso.date.toLatin1().replace('-', QByteArray());
        const QByteArray time = qso.time.toLatin1().replace(':', QByteArray());
        const QByteArray callBytes = call.toLatin1();
        common = "<QSO_DATE:8>" + date + " <TIME_ON:6>" + time + " <CALL:" + QByteArray::number(callBytes.size())
               + '>' + callBytes + " <BAND:3>20m <MODE:3>FT8 <FREQ:6>14.074 <RST_SENT:3>-10 <RST_RCVD:3>-12";
        const QByteArray dxcc = QByteArray::number(doc.ResolveCallsign(call));
        with.write(common + " <DXCC:" + QByteArray::number(dxcc.size()) + '>' + dxcc + " <EOR>\r\n");
        plain.write(common + " <EOR>\r\n");
    }
    return with.flush() && plain.flush();
}

void Bench::importWithoutEntities()
{
    const QStringList calls = readCalls(QLatin1String(kMasterScp), m_settings.calls);
    if (calls.isEmpty() || !QFile::exists(QStringLiteral("korva3.sqlite3")))
        return;
    progress("ADIF import without DXCC fields");
    const QString withEntity = path("with-dxcc.adi");
    const QString without = path("without-dxcc.adi");
    if (!writeEntityFiles(calls, withEntity, without))
        return;
    const QString imported = path("entities.sqlite3");
    const auto importOf = [&](const QString &file) {
        return medianChild(m_settings.runs, freshLogbook(imported), [&] {
            return ChildRun::run(m_cli, {"import", imported, file}, m_dir.path());
        });
    };
    const ChildFigures with = importOf(withEntity);
    const ChildFigures plain = importOf(without);
    m_table.add(against(figure(QStringLiteral("ADIF import, no DXCC fields") + ofQsos(), plain.milliseconds, "ms",
                               Goal::AtMost, 1.2),
                        QStringLiteral("the same records with DXCC fields"), with.milliseconds, true));
    m_table.add(figure(QStringLiteral("ADIF import peak memory, no DXCC fields"),
                       std::max(with.peakMiB, plain.peakMiB), "MiB", Goal::AtMost, 64));
}

void Bench::resolution()
{
    const QStringList calls = readCalls(QLatin1String(kMasterScp), m_settings.calls);
    if (calls.isEmpty() || !QFile::exists(QStringLiteral("korva3.sqlite3"))) {
        std::fprintf(stderr, "%s or the program database is missing: resolution skipped\n", kMasterScp);
        return;
    }
    progress("call-sign resolution");
    const QString callsFile = path("calls.txt");
    QFile file(callsFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(calls.join(QLatin1Char('\n')).toLatin1() + '\n') < 0)
        return;
    file.close();
    const QString size = QStringLiteral(", %1 calls").arg(calls.size());
    const ChildFigures cli = medianChild(m_settings.runs, [] {}, [&] {
        return ChildRun::run(m_cli, {"resolve"}, m_dir.path(), callsFile);
    });
    BenchTable::Figure rate = figure(QStringLiteral("korva3-cli resolve") + size,
                                     static_cast<double>(calls.size()) / (cli.milliseconds / 1000), "calls/s",
                                     Goal::AtLeast, 20000);
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (!python.isEmpty()) {
        const QString out = path("python.txt");
        std::vector<double> rates;
        for (int i = 0; i < m_settings.runs; ++i) {
            ChildRun::run(python, {"-c", kResolutionScript, "korva3.sqlite3", callsFile}, m_dir.path(), QString(),
                          out);
            QFile result(out);
            if (result.open(QIODevice::ReadOnly))
                rates.push_back(result.readAll().trimmed().toDouble());
        }
        rate = against(rate, QStringLiteral("Python script, one connection, a query per lookup"), median(rates), false);
    }
    m_table.add(rate);

    // One call at a time as the entry form resolves them, after the first call has
    // loaded the tables. Each call counts with its fastest run: a call that is slow in
    // itself is slow every time, while a pause of the scheduler hits one run only.
    CKorva3Doc doc{QString()};
    doc.ResolveCallsign(QStringLiteral("DL1ABC"));
    std::vector<double> fastestMs(calls.size(), std::numeric_limits<double>::max());
    for (int run = 0; run < m_settings.runs; ++run) {
        for (std::size_t i = 0; i < fastestMs.size(); ++i) {
            QElapsedTimer one;
            one.start();
            doc.ResolveCallsign(calls.at(qsizetype(i)));
            fastestMs[i] = std::min(fastestMs[i], static_cast<double>(one.nsecsElapsed()) / 1e6);
        }
    }
    const double slowest = *std::max_element(fastestMs.begin(), fastestMs.end());
    m_table.add(figure(QStringLiteral("slowest single resolution (its fastest run)"), slowest, "ms", Goal::AtMost, 1));

    progress("resolution compared with the program database's queries");
    const StoreCallLookup queries;
    int differing = 0;
    for (const QString &call : calls) {
        if (doc.ResolveCallsign(call) != queries.resolve(call))
            ++differing;
    }
    m_table.add(figure(QStringLiteral("calls resolved unlike the queries"), differing, "calls", Goal::AtMost, 0));
}

// A LoTW report of the logbook's QSOs spread over it, each five minutes off, as LoTW
// writes them; then the download's work: two passes over the file, the QSOs of its
// calls read, every confirmation matched and written in one transaction.
void Bench::confirmations()
{
    progress("LoTW confirmations matched into the logbook");
    const QString report = path("lotwreport.adi");
    QFile file(report);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write("ARRL Logbook of the World Status Report\n<APP_LoTW_LASTQSL:19>2026-12-01 10:00:00<EOH>\n");
    const auto field = [](const char *name, const QByteArray &value) {
        return '<' + QByteArray(name) + ':' + QByteArray::number(value.size()) + '>' + value;
    };
    static const char *const modes[] = {"", "CW", "SSB", "RTTY", "FM", "AM"};
    int written = 0;
    {
        sqlite3 *slot = nullptr;
        SlotConnection db(slot, m_log, SlotConnection::Mode::ReadOnly);
        SqliteStatement rows(db.handle(), "SELECT CALL, DATE, TIME, BAND, MODE FROM QSOS WHERE ROWID % ? = 0 LIMIT ?");
        rows.bind(1, std::max(1, m_settings.qsos / m_settings.confirmations));
        rows.bind(2, m_settings.confirmations);
        rows.forEachRow([&](SqliteStatement &row) {
            QDateTime start = QDateTime::fromString(row.columnText(1) + ' ' + row.columnText(2), "yyyy-MM-dd HH:mm:ss");
            start.setTimeZone(QTimeZone::utc());
            start = start.addSecs(300);
            file.write(field("CALL", row.columnText(0).toUtf8()) + field("BAND", row.columnText(3).toUtf8() + 'M')
                       + field("MODE", modes[std::clamp(row.columnInt(4), 0, 5)])
                       + field("QSO_DATE", start.toString("yyyyMMdd").toLatin1())
                       + field("TIME_ON", start.toString("HHmmss").toLatin1()) + field("QSL_RCVD", "Y")
                       + field("QSLRDATE", "20261201") + field("CQZ", "14") + "<EOR>\n");
            ++written;
        });
    }
    file.write("<APP_LoTW_EOF>\n");
    file.close();

    CKorva3Doc doc(m_log);
    ConfirmationImport import(ConfirmationImport::Kind::LotwQsls, ConfirmationImport::fromFile(report));
    resetPeakResident();
    QElapsedTimer timer;
    timer.start();
    const bool done = doc.WriteConfirmations([&import](ConfirmationWriter &writer) { return import.write(writer); });
    const double ms = static_cast<double>(timer.elapsed());
    const double peak = peakResidentMiB();
    const QString name = QStringLiteral("%1 LoTW confirmations matched and written (%2 matched)%3")
                             .arg(written)
                             .arg(import.summary().matched)
                             .arg(ofQsos());
    m_table.add(figure(name, done ? ms / 1000.0 : 0, "s", Goal::AtMost, 5));
    m_table.add(figure(QStringLiteral("confirmations peak resident memory"), peak, "MiB", Goal::AtMost, 128));
}

void Bench::print() const
{
    if (m_settings.json)
        m_table.printJson();
    else
        m_table.printTable();
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
    Settings settings;
    settings.qsos = std::max(1, argValue(args, QStringLiteral("--qsos"), settings.qsos));
    settings.runs = std::max(1, argValue(args, QStringLiteral("--runs"), settings.runs));
    settings.calls = std::max(1, argValue(args, QStringLiteral("--calls"), settings.calls));
    settings.json = args.contains(QStringLiteral("--json"));
    settings.confirmations = std::max(1, argValue(args, QStringLiteral("--confirmations"), settings.confirmations));
    const int only = args.indexOf(QStringLiteral("--only"));
    if (only >= 0 && only + 1 < args.size())
        settings.only = args.at(only + 1).split(QLatin1Char(','));
    if (args.contains(QStringLiteral("--journal")))
        settings.only = QStringList{QStringLiteral("journal")};
    if (args.contains(QStringLiteral("--confirmations")))
        settings.only = QStringList{QStringLiteral("confirmations")};
    const int last = args.indexOf(QStringLiteral("--last"));
    if (last >= 0 && last + 1 < args.size())
        settings.last = args.at(last + 1);

    const QString previous = QDir::currentPath();
    Bench bench(settings);
    if (!bench.prepare())
        return 1;
    const struct
    {
        const char *name;
        void (Bench::*run)();
    } parts[] = {{"statistics", &Bench::statistics}, {"reports", &Bench::reports},
                 {"export", &Bench::adifExport},     {"import", &Bench::adifImport},
                 {"entities", &Bench::importWithoutEntities}, {"resolution", &Bench::resolution},
                 {"spots", &Bench::spotStatuses},    {"writes", &Bench::writes},
                 {"wsjtx", &Bench::wsjtx},           {"journal", &Bench::journals},
                 {"confirmations", &Bench::confirmations}};
    for (const auto &part : parts) {
        if (settings.includes(part.name))
            (bench.*part.run)();
    }
    Prompter::install(nullptr);
    QDir::setCurrent(previous);
    bench.print();
    return 0;
}
