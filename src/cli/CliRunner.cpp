#include "CliRunner.h"

#include "RecordedMessages.h"
#include "ServiceCommand.h"

#include "CallbookRecordJson.h"
#include "CountryInfoJson.h"
#include "SpotJson.h"
#include "StatsJson.h"
#include "StopSignals.h"
#include "TrxQuery.h"
#include "TrxReadingJson.h"
#include "document/CKorva3Doc.h"
#include "document/LocatorMath.h"
#include "document/LogbookBackups.h"
#include "net/CallbookLookup.h"
#include "net/CallbookSettings.h"
#include "net/ClusterClient.h"
#include "net/SpotStatusCalculator.h"
#include "net/WsjtxLogging.h"
#include "platform/ProgramVersion.h"
#include "platform/WorkingFolder.h"
#include "rig/HamlibModels.h"
#include "rig/TrxType.h"
#include "store/ProgramDb.h"
#include "store/SlotConnection.h"
#include "store/Sqlite3DB.h"

#include <QDir>
#include <QEventLoop>
#include <QHash>
#include <QTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTextStream>
#include <QTimer>

namespace {

const char kUsage[] =
    "usage: korva3-cli [--verbose] [-C DIR] COMMAND ARGS...\n"
    "       korva3-cli --help | --version\n"
    "  --verbose          also say which program database is used, and log why an operation failed\n"
    "                     (SQLite's message, the file's, the radio's), on the error stream\n"
    "  -C DIR             change into DIR first (its korva3.sqlite3 is the program database)\n"
    "without -C the program database is korva3.sqlite3 in the current folder, else the one in\n"
    "Korva3's home folder ($KORVA3_HOME, else $XDG_DATA_HOME/Korva3 or ~/.local/share/Korva3)\n"
    "commands:\n"
    "  new LOGBOOK        create a logbook file with its tables\n"
    "  rebuild LOGBOOK    rebuild the DXCC statistics from the QSOs\n"
    "  stats LOGBOOK      print the DXCC and CQ zone statistics as JSON\n"
    "  resolve [CALL...]  print CALL<TAB>DXCCID for each call, or for each line of standard input\n"
    "  info DXCCID CALL   print the country information of the entity for the call as JSON\n"
    "  locator OWN OTHER  print the distance and beam headings from locator OWN to locator OTHER as the\n"
    "                     logbook window shows them, or \" No valid locator\"\n"
    "  import LOGBOOK FILE\n"
    "                     add the records of the ADIF file FILE to the logbook\n"
    "  export LOGBOOK FILE [--period CODE]\n"
    "                     write the QSOs of the export period to the ADIF file FILE; CODE 1 one year,\n"
    "                     2 six months, 3 three months, 4 one month, 5 one week, other all; without\n"
    "                     --period the parameter adifexport of the program database decides\n"
    "  backup LOGBOOK [DIR]\n"
    "                     write a copy of the logbook, named by it and the time, into DIR (else the\n"
    "                     backup folder of the settings), keeping its newest 10 copies there\n"
    "  listen LOGBOOK [--port N] [--multicast GROUP] [--seconds S] [--count N]\n"
    "                     log the QSOs WSJT-X, JTDX and JS8Call send to UDP port N (2237), also to the\n"
    "                     multicast group GROUP, into the logbook until S seconds pass, N QSOs are\n"
    "                     stored or it is interrupted; print \"CALL logged\" for each, then the count\n"
    "  trx --rig 1|2 (--port N | --device PATH)\n"
    "                     read frequency and mode from the transceiver (1 FT-897, 2 FT-1000mp) on\n"
    "                     port COM N or on the serial device PATH, and print them as JSON\n"
    "  trx --hamlib MODEL (--device PATH [--speed BAUD] | --rigctld HOST:PORT)\n"
    "                     the same through Hamlib: radio model MODEL on the serial device PATH (at\n"
    "                     the model's speed unless BAUD is given), or the radio of a running rigctld\n"
    "  trx --list-models  print Hamlib's radio models: NUMBER<TAB>MAKER<TAB>NAME\n"
    "  lotw download LOGBOOK [--user USER] --password-stdin [--url URL] [--call CALL]\n"
    "                     mark the QSOs LoTW holds as sent, then confirm the QSOs of LoTW's QSLs\n"
    "                     since the last download; QSLs that match no QSO are listed in the logbook\n"
    "  lotw upload LOGBOOK [--location LOCATION] [--call CALL] [--tqsl PROGRAM]\n"
    "                     sign and upload the QSOs not yet sent through TQSL with the station\n"
    "                     location LOCATION (else the active station profile's)\n"
    "  eqsl download|upload LOGBOOK [--user USER] --password-stdin [--url URL] [--qth NICKNAME]\n"
    "                     confirm the QSOs of eQSL's inbox, or upload the QSOs not yet sent\n"
    "  clublog upload LOGBOOK [--user EMAIL] --password-stdin [--call CALL] [--api-key KEY]\n"
    "         [--url URL] [--all]\n"
    "                     send the QSOs waiting in the logbook's Club Log outbox, or with --all the\n"
    "                     whole log\n"
    "  The password is the first line of standard input, never an argument. Each prints what\n"
    "  was matched, unmatched, sent and refused; users and addresses not given come from Setup.\n"
    "  cluster HOST:PORT --call MYCALL [--logbook LOGBOOK] [--count N] [--seconds S] [--password-stdin]\n"
    "                     log in to the DX cluster node as MYCALL and print each spot as one line of\n"
    "                     JSON with its entity and, with LOGBOOK, its status; ends after N spots or\n"
    "                     S seconds (else when interrupted); the node's password, if it asks for\n"
    "                     one, is the first line of standard input\n"
    "  lookup CALL [--service qrz|hamqth] [--url URL] --user U --password-stdin\n"
    "                     look CALL up in the callbook (QRZ.com unless hamqth; URL instead of the\n"
    "                     service's own address) as user U, the password the first line of\n"
    "                     standard input, and print the record as JSON\n";

constexpr int kAnyCount = -1;
const QStringList kTrxOptions{QStringLiteral("--rig"),    QStringLiteral("--port"),  QStringLiteral("--device"),
                              QStringLiteral("--hamlib"), QStringLiteral("--speed"), QStringLiteral("--rigctld")};
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

// A positive number of an option, 0 when the option is not given, -1 when its value is
// no positive number.
int positiveOption(const QHash<QString, QString> &options, const QString &name)
{
    if (!options.contains(name))
        return 0;
    bool isNumber = false;
    const int value = options.value(name).toInt(&isNumber);
    return isNumber && value > 0 ? value : -1;
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
    m_verbose = !arguments.isEmpty() && arguments.first() == QLatin1String("--verbose");
    if (m_verbose) {
        arguments.removeFirst();
        // The failures the layers log beneath their messages, on the error stream.
        QLoggingCategory::setFilterRules(QStringLiteral("korva3.*=true"));
    }
    const bool folderGiven = !arguments.isEmpty() && arguments.first() == QLatin1String("-C");
    if (folderGiven) {
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
    if (arguments.first() == QLatin1String("--version")) {
        m_out << "korva3-cli " << ProgramVersion::kText << '\n';
        return Success;
    }

    chooseProgramDatabase(folderGiven);
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
        {"locator", 2, "OWN OTHER", &CliRunner::locator},
        {"trx", kAnyCount, "", &CliRunner::trx},
        {"import", 2, "LOGBOOK FILE", &CliRunner::importAdif},
        {"export", kAnyCount, "", &CliRunner::exportAdif},
        {"backup", kAnyCount, "", &CliRunner::backup},
        {"lotw", kAnyCount, "", &CliRunner::lotw},
        {"eqsl", kAnyCount, "", &CliRunner::eqsl},
        {"clublog", kAnyCount, "", &CliRunner::clubLog},
        {"cluster", kAnyCount, "", &CliRunner::cluster},
        {"lookup", kAnyCount, "", &CliRunner::lookup},
        {"listen", kAnyCount, "", &CliRunner::listen},
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
    CKorva3Doc document(path);
    if (document.isReadOnly() || !document.isLogbook())
        return fail(document.openMessage());
    RecordedMessages messages;
    const bool rebuilt = document.OnRebuildDxccStat();
    return reportMessages(messages.texts(), rebuilt);
}

int CliRunner::backup(const QStringList &arguments)
{
    if (arguments.isEmpty() || arguments.size() > 2)
        return usage(QStringLiteral("backup takes LOGBOOK [DIR]"));
    const QString &path = arguments.first();
    if (!logbookExists(path))
        return Failed;
    if (const CKorva3Doc document(path); !document.isLogbook())
        return fail(document.openMessage());
    const LogbookBackups::Outcome outcome =
        LogbookBackups::write(path, arguments.size() == 2 ? arguments.at(1) : LogbookBackups::folder());
    if (!outcome.written)
        return fail(QStringLiteral("No backup written: %1").arg(outcome.error));
    m_out << "Backup written: " << outcome.path << '\n';
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
    const std::optional<ProgramDb::UM_COUNTRYINFO> country = doc.GetCountryInfo(dxccId, normalisedCall(arguments.at(1)));
    // Entity 0 is none: its record holds the zones of the call alone. Any other entity
    // the program database does not know has no record at all.
    if (!country || (dxccId != 0 && country->dxccId != dxccId))
        return fail(QStringLiteral("No country information found for this call..."));
    m_out << CountryInfoJson::format(*country) << '\n';
    return Success;
}

// The line the Grid field gives: OTHER is taken as the field takes it, in upper case; the
// own locator as stored, so a lower-case one counts as invalid (position 0, 0).
int CliRunner::locator(const QStringList &arguments)
{
    m_out << LocatorMath::GridLine(arguments.at(0), arguments.at(1).toUpper()) << '\n';
    return Success;
}

// The same import as the document's command, its messages on the output stream, or all
// of them on the error stream when anything failed.
int CliRunner::importAdif(const QStringList &arguments)
{
    const QString &logbook = arguments.at(0);
    const QString &file = arguments.at(1);
    if (!logbookExists(logbook))
        return Failed;
    CKorva3Doc document(logbook);
    if (document.isReadOnly() || !document.isLogbook())
        return fail(document.openMessage());
    RecordedMessages messages;
    const AdifImporter::Result result = document.ImportAdifFile(file);
    if (result.status == AdifImporter::Status::NoHeader)
        return fail(QStringLiteral("No end of the ADIF header (<EOH>) in %1: nothing imported").arg(file));
    return reportMessages(messages.texts(), result.status == AdifImporter::Status::Imported
                                                && result.failedWrites == 0 && result.unreadRest.isEmpty());
}

int CliRunner::exportAdif(const QStringList &arguments)
{
    const QString exportUsage = QStringLiteral("export takes LOGBOOK FILE [--period CODE]");
    QStringList files = arguments;
    bool periodGiven = false;
    int period = 0;
    const qsizetype option = files.indexOf(QStringLiteral("--period"));
    if (option >= 0) {
        if (option + 1 >= files.size())
            return usage(exportUsage);
        bool isNumber = false;
        period = files.at(option + 1).toInt(&isNumber);
        if (!isNumber)
            return usage(QStringLiteral("CODE must be a number: %1").arg(files.at(option + 1)));
        periodGiven = true;
        files.remove(option, 2);
    }
    if (files.size() != 2)
        return usage(exportUsage);
    if (!logbookExists(files.at(0)))
        return Failed;
    CKorva3Doc document(files.at(0));
    if (periodGiven)
        document.m_adifPeriod = period;
    RecordedMessages messages;
    const bool exported = document.ExportAdifFile(files.at(1));
    if (!exported && messages.texts().isEmpty())
        return fail(QStringLiteral("Cannot read the logbook %1: nothing exported").arg(files.at(0)));
    return reportMessages(messages.texts(), exported);
}

// The options come in pairs after the logbook.
int CliRunner::listen(const QStringList &arguments)
{
    const QString listenUsage =
        QStringLiteral("listen takes LOGBOOK [--port N] [--multicast GROUP] [--seconds S] [--count N]");
    if (arguments.isEmpty() || arguments.size() % 2 != 1)
        return usage(listenUsage);
    WsjtxSettings settings;
    settings.enabled = true;
    double seconds = 0;
    int count = 0;
    for (qsizetype i = 1; i < arguments.size(); i += 2) {
        const QString &option = arguments.at(i);
        const QString &value = arguments.at(i + 1);
        bool valid = false;
        if (option == QLatin1String("--port")) {
            settings.port = value.toInt(&valid);
            valid = valid && settings.port > 0 && settings.port <= 65535;
        } else if (option == QLatin1String("--multicast")) {
            settings.multicastGroup = value;
            valid = !value.isEmpty();
        } else if (option == QLatin1String("--seconds")) {
            seconds = value.toDouble(&valid);
            valid = valid && seconds > 0;
        } else if (option == QLatin1String("--count")) {
            count = value.toInt(&valid);
            valid = valid && count > 0;
        }
        if (!valid)
            return usage(QStringLiteral("listen: bad option %1 %2").arg(option, value));
    }
    const QString &path = arguments.first();
    if (!logbookExists(path))
        return Failed;
    CKorva3Doc document(path);
    if (document.openState() != CKorva3Doc::OpenState::Ready)
        return fail(document.openMessage());
    return listenInto(document, settings, seconds, count);
}

int CliRunner::listenInto(CKorva3Doc &document, const WsjtxSettings &settings, double seconds, int count)
{
    WsjtxLogging logging([&document](QString &) { return &document; });
    QEventLoop loop;
    int logged = 0;
    bool failed = false;
    QObject::connect(&logging, &WsjtxLogging::qsoHandled, &loop, [&](const WsjtxLogging::Outcome &outcome) {
        switch (outcome.kind) {
        case WsjtxLogging::Outcome::Kind::Logged:
            m_out << outcome.call << " logged\n";
            if (++logged == count)
                loop.quit();
            break;
        case WsjtxLogging::Outcome::Kind::AlreadyLogged: m_out << outcome.text << '\n'; break;
        case WsjtxLogging::Outcome::Kind::NotLogged:
            m_err << outcome.text << '\n';
            m_err.flush();
            failed = true;
            break;
        }
        m_out.flush();
    });
    if (!logging.apply(settings))
        return fail(logging.lastError());
    if (seconds > 0)
        QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    const StopSignals stopSignals;
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &loop, &QEventLoop::quit);
    loop.exec();
    // A QSO that still waits for its Logged ADIF is stored and counted too.
    logging.stop();
    m_out << logged << (logged == 1 ? " QSO logged\n" : " QSOs logged\n");
    return failed ? Failed : Success;
}

int CliRunner::reportMessages(const QStringList &messages, bool succeeded)
{
    QTextStream &stream = succeeded ? m_out : m_err;
    for (const QString &message : messages)
        stream << message << '\n';
    return succeeded ? Success : Failed;
}

// The options come in pairs (but --list-models); a radio of the logbook takes --rig with
// --port or --device, a Hamlib radio --hamlib with --device (and --speed) or --rigctld.
int CliRunner::trx(const QStringList &arguments)
{
    if (arguments == QStringList{QStringLiteral("--list-models")}) {
        for (const HamlibModel &model : HamlibModels::all())
            m_out << model.number << '\t' << model.maker << '\t' << model.name << '\n';
        return Success;
    }
    QHash<QString, QString> options;
    for (int i = 0; i + 1 < arguments.size(); i += 2) {
        const QString &option = arguments.at(i);
        const QString &value = arguments.at(i + 1);
        if (!kTrxOptions.contains(option) || value.isEmpty() || options.contains(option))
            return usage(QStringLiteral("trx: bad option %1 %2").arg(option, value));
        options.insert(option, value);
    }
    if (arguments.size() % 2 != 0)
        return usage(QStringLiteral("trx: %1 needs a value").arg(arguments.last()));
    TrxConnection connection;
    const QString problem = options.contains(QStringLiteral("--hamlib")) ? hamlibConnection(options, connection)
                                                                         : serialConnection(options, connection);
    if (!problem.isEmpty())
        return usage(problem);
    const TrxQuery::Outcome outcome = TrxQuery::run(connection);
    if (outcome.reading) {
        m_out << TrxReadingJson::format(*outcome.reading) << '\n';
        return Success;
    }
    return fail(outcome.messages.isEmpty() ? QStringLiteral("Check configuration or\nserial cable to trx...")
                                           : outcome.messages.join(QLatin1Char('\n')));
}

// An empty text when the options make a connection to an FT-897 or FT-1000mp.
QString CliRunner::serialConnection(const QHash<QString, QString> &options, TrxConnection &connection)
{
    const QString rig = options.value(QStringLiteral("--rig"));
    const int port = options.value(QStringLiteral("--port")).toInt();
    const QString device = options.value(QStringLiteral("--device"));
    const bool portGiven = options.contains(QStringLiteral("--port"));
    const bool onePort = portGiven == device.isEmpty() && (!portGiven || port > 0);
    if ((rig != QLatin1String("1") && rig != QLatin1String("2")) || !onePort || options.contains(QStringLiteral("--speed"))
        || options.contains(QStringLiteral("--rigctld")))
        return QStringLiteral("trx takes --rig 1|2 and one of --port N, --device PATH");
    connection.rig = rig.toInt();
    connection.commPort = device.isEmpty() ? port : 1;
    connection.devicePath = device;
    return QString();
}

// An empty text when the options make a connection to a Hamlib radio.
QString CliRunner::hamlibConnection(const QHash<QString, QString> &options, TrxConnection &connection)
{
    const QString usageText = QStringLiteral("trx takes --hamlib MODEL and one of --device PATH [--speed BAUD], "
                                             "--rigctld HOST:PORT");
    bool isNumber = false;
    const int model = options.value(QStringLiteral("--hamlib")).toInt(&isNumber);
    const QString device = options.value(QStringLiteral("--device"));
    const QString address = options.value(QStringLiteral("--rigctld"));
    const QString speed = options.value(QStringLiteral("--speed"));
    bool speedIsNumber = speed.isEmpty();
    const int baud = speed.isEmpty() ? 0 : speed.toInt(&speedIsNumber);
    if (options.contains(QStringLiteral("--rig")) || options.contains(QStringLiteral("--port"))
        || device.isEmpty() == address.isEmpty() || (!speed.isEmpty() && (device.isEmpty() || !speedIsNumber || baud <= 0)))
        return usageText;
    if (!isNumber || !HamlibModels::find(model))
        return QStringLiteral("trx: Hamlib has no model %1 (see trx --list-models)").arg(options.value(QStringLiteral("--hamlib")));
    connection.rig = TrxHamlib;
    connection.settings.hamlibModel = model;
    connection.settings.hamlibPort = device;
    connection.settings.hamlibSpeed = baud;
    connection.settings.rigctldAddress = address;
    return QString();
}

// The program database of the current folder (the one -C named), else that of the folder
// `Korva3 --home` works in. Without either, the current folder's is kept, so that a
// failure names the file looked for.
void CliRunner::chooseProgramDatabase(bool folderGiven)
{
    ProgramDb::useFolder(QString());
    const QString here = QFileInfo(ProgramDb::location()).absoluteFilePath();
    QString home;
    if (!folderGiven && !QFileInfo(here).isFile()) {
        home = QDir(WorkingFolder::home()).filePath(QLatin1String(ProgramDb::kProgramDatabase));
        if (QFileInfo(home).isFile())
            ProgramDb::useFolder(WorkingFolder::home());
    }
    if (!m_verbose)
        return;
    const QString used = QFileInfo(ProgramDb::location()).absoluteFilePath();
    if (QFileInfo(used).isFile())
        m_err << "Program database: " << QDir::toNativeSeparators(used) << '\n';
    else if (home.isEmpty())
        m_err << "Program database: none at " << QDir::toNativeSeparators(here) << '\n';
    else
        m_err << "Program database: none at " << QDir::toNativeSeparators(here) << " nor at "
              << QDir::toNativeSeparators(home) << '\n';
}

// Options of the form "--name VALUE" (those in `valued`) and "--name" (those in `flags`),
// each at most once, in any order among the positional arguments. False for any other
// option, a missing value or one given twice.
bool CliRunner::takeOptions(const QStringList &arguments, const QStringList &valued, const QStringList &flags,
                            QHash<QString, QString> &options, QStringList &positional)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!argument.startsWith(QLatin1String("--"))) {
            positional.append(argument);
            continue;
        }
        if (options.contains(argument))
            return false;
        if (flags.contains(argument)) {
            options.insert(argument, QString());
        } else if (valued.contains(argument) && i + 1 < arguments.size()) {
            options.insert(argument, arguments.at(++i));
        } else {
            return false;
        }
    }
    return true;
}

// The first line of standard input, as it was typed: a password never comes from the
// command line, where other users of the machine could read it.
bool CliRunner::readPassword(QString &password)
{
    if (!m_in)
        return false;
    password = m_in->readLine();
    if (password.endsWith(QLatin1Char('\r')))
        password.chop(1);
    return true;
}

int CliRunner::cluster(const QStringList &arguments)
{
    const QString usageText = QStringLiteral("cluster takes HOST:PORT --call MYCALL [--logbook LOGBOOK] [--count N] "
                                             "[--seconds S] [--password-stdin]");
    QHash<QString, QString> options;
    QStringList positional;
    if (!takeOptions(arguments, {"--call", "--logbook", "--count", "--seconds"}, {"--password-stdin"}, options,
                     positional)
        || positional.size() != 1 || normalisedCall(options.value(QStringLiteral("--call"))).isEmpty())
        return usage(usageText);
    const QString &address = positional.first();
    const qsizetype colon = address.lastIndexOf(QLatin1Char(':'));
    bool portIsNumber = false;
    const int port = address.mid(colon + 1).toInt(&portIsNumber);
    const int count = positiveOption(options, QStringLiteral("--count"));
    const int seconds = positiveOption(options, QStringLiteral("--seconds"));
    if (colon <= 0 || !portIsNumber || port < 1 || port > 65535 || count < 0 || seconds < 0)
        return usage(usageText);
    QString password;
    if (options.contains(QStringLiteral("--password-stdin")) && !readPassword(password))
        return usage(QStringLiteral("cluster: no standard input to read the password from"));
    if (!programDatabaseExists())
        return Failed;
    std::unique_ptr<CKorva3Doc> logbook;
    if (options.contains(QStringLiteral("--logbook"))) {
        const QString path = options.value(QStringLiteral("--logbook"));
        if (!logbookExists(path))
            return Failed;
        logbook = std::make_unique<CKorva3Doc>(path);
        if (!logbook->isLogbook())
            return fail(logbook->openMessage());
    }
    SpotStatusCalculator statuses;
    statuses.setLogbook(logbook.get());

    ClusterSettings settings;
    settings.host = address.left(colon);
    settings.port = static_cast<quint16>(port);
    settings.call = normalisedCall(options.value(QStringLiteral("--call")));
    ClusterClient client;
    QEventLoop loop;
    int printed = 0;
    bool loggedIn = false;
    int exitCode = Success;
    QObject::connect(&client, &ClusterClient::spotReceived, &loop, [&](const DxSpot &spot) {
        // Spots of one read all come before the loop ends: those past the count are not printed.
        if (count > 0 && printed >= count)
            return;
        m_out << SpotJson::format(spot, statuses.statusOf(spot)) << '\n';
        m_out.flush();
        if (count > 0 && ++printed >= count)
            loop.quit();
    });
    // A node that cannot be reached at first ends the command; one that drops later is
    // tried again, as the window does.
    QObject::connect(&client, &ClusterClient::stateChanged, &loop, [&](ClusterClient::State state) {
        if (state == ClusterClient::State::Connected)
            loggedIn = true;
        if (state == ClusterClient::State::WaitingToReconnect && !loggedIn) {
            exitCode = fail(QStringLiteral("Cannot connect to %1: %2").arg(address, client.lastError()));
            loop.quit();
        }
    });
    if (seconds > 0)
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    client.connectToCluster(settings, password);
    loop.exec();
    client.disconnectFromCluster();
    return exitCode;
}

int CliRunner::lookup(const QStringList &arguments)
{
    const QString usageText =
        QStringLiteral("lookup takes CALL [--service qrz|hamqth] [--url URL] --user U --password-stdin");
    QHash<QString, QString> options;
    QStringList positional;
    if (!takeOptions(arguments, {"--service", "--url", "--user"}, {"--password-stdin"}, options, positional)
        || positional.size() != 1 || normalisedCall(positional.first()).isEmpty()
        || options.value(QStringLiteral("--user")).isEmpty() || !options.contains(QStringLiteral("--password-stdin")))
        return usage(usageText);
    CallbookSettings settings;
    settings.service = options.value(QStringLiteral("--service"), QStringLiteral("qrz"));
    settings.user = options.value(QStringLiteral("--user"));
    settings.url = QUrl(options.value(QStringLiteral("--url")));
    QString password;
    if (!readPassword(password))
        return usage(QStringLiteral("lookup: no standard input to read the password from"));
    std::unique_ptr<CallbookService> service = settings.createService(password);
    if (!service)
        return usage(usageText);
    const QString call = normalisedCall(positional.first());
    QEventLoop loop;
    std::optional<CallbookResult> result;
    QObject::connect(service.get(), &CallbookService::finished, &loop,
                     [&](const QString &, const CallbookResult &finished) {
                         result = finished;
                         loop.quit();
                     });
    service->lookup(call);
    if (!result) // an answer that cannot even be asked for comes at once
        loop.exec();
    if (result->outcome != CallbookResult::Outcome::Found)
        return fail(CallbookLookup::statusText(service->name(), call, *result));
    m_out << CallbookRecordJson::format(result->record) << '\n';
    return Success;
}

// Opening a missing program database would make an empty one and find nothing in it.
bool CliRunner::programDatabaseExists()
{
    if (QFileInfo(ProgramDb::location()).isFile())
        return true;
    fail(QStringLiteral("Program database not found: %1").arg(QLatin1String(ProgramDb::kProgramDatabase)));
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

int CliRunner::lotw(const QStringList &arguments)
{
    return ServiceCommand(m_out, m_err, m_in).run(QStringLiteral("lotw"), arguments);
}

int CliRunner::eqsl(const QStringList &arguments)
{
    return ServiceCommand(m_out, m_err, m_in).run(QStringLiteral("eqsl"), arguments);
}

int CliRunner::clubLog(const QStringList &arguments)
{
    return ServiceCommand(m_out, m_err, m_in).run(QStringLiteral("clublog"), arguments);
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
