#include "ServiceCommand.h"

#include "RecordedMessages.h"
#include "document/CKorva3Doc.h"
#include "net/ClubLogSender.h"
#include "net/ConfirmationSettings.h"
#include "net/EqslSync.h"
#include "net/LotwSync.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTextStream>

namespace {

// Runs `start` and the event loop until `sender` emits `signal` with its outcome.
template<typename Sender, typename Signal>
ServiceOutcome waitFor(Sender &sender, Signal signal, const std::function<void()> &start)
{
    ServiceOutcome outcome;
    QEventLoop loop;
    QObject::connect(&sender, signal, &loop, [&](const ServiceOutcome &result) {
        outcome = result;
        loop.quit();
    });
    start();
    loop.exec();
    return outcome;
}

} // namespace

ServiceCommand::ServiceCommand(QTextStream &out, QTextStream &err, QTextStream *in)
    : m_out(out)
    , m_err(err)
    , m_in(in)
{
}

const QHash<QString, QStringList> &ServiceCommand::serviceOptions()
{
    static const QHash<QString, QStringList> options = {
        {QStringLiteral("lotw"), {QStringLiteral("--call"), QStringLiteral("--location"), QStringLiteral("--tqsl")}},
        {QStringLiteral("eqsl"), {QStringLiteral("--qth")}},
        {QStringLiteral("clublog"), {QStringLiteral("--call"), QStringLiteral("--api-key")}},
    };
    return options;
}

int ServiceCommand::run(const QString &service, const QStringList &arguments)
{
    QStringList plain;
    const QStringList valued = serviceOptions().value(service) + QStringList{QStringLiteral("--url"), QStringLiteral("--user")};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--password-stdin")) {
            m_passwordFromStdin = true;
        } else if (argument == QLatin1String("--all") && service == QLatin1String("clublog")) {
            m_all = true;
        } else if (argument.startsWith(QLatin1String("--password"))) {
            return usage(QStringLiteral("a password is read only from standard input (--password-stdin)"));
        } else if (valued.contains(argument)) {
            if (i + 1 >= arguments.size())
                return usage(QStringLiteral("%1 needs a value").arg(argument));
            m_options.insert(argument, arguments.at(++i));
        } else if (argument.startsWith(QLatin1String("--"))) {
            return usage(QStringLiteral("%1 takes no option %2").arg(service, argument));
        } else {
            plain.append(argument);
        }
    }
    const QStringList actions = service == QLatin1String("clublog") ? QStringList{QStringLiteral("upload")}
                                                                     : QStringList{QStringLiteral("download"), QStringLiteral("upload")};
    if (plain.size() != 2 || !actions.contains(plain.at(0)))
        return usage(QStringLiteral("%1 takes %2 LOGBOOK").arg(service, actions.join(QLatin1Char('|'))));
    if (!QFileInfo(plain.at(1)).isFile()) {
        m_err << "Logbook not found: " << plain.at(1) << '\n';
        return Failed;
    }
    if (service == QLatin1String("lotw"))
        return lotw(plain.at(0), plain.at(1));
    if (service == QLatin1String("eqsl"))
        return eqsl(plain.at(0), plain.at(1));
    return clubLog(plain.at(0), plain.at(1));
}

bool ServiceCommand::readPassword(QString &password)
{
    if (!m_passwordFromStdin || !m_in) {
        m_err << "korva3-cli: the account's password is needed: give it on standard input with --password-stdin\n";
        return false;
    }
    password = m_in->readLine();
    if (password.isEmpty()) {
        m_err << "korva3-cli: no password on standard input\n";
        return false;
    }
    return true;
}

int ServiceCommand::lotw(const QString &action, const QString &logbook)
{
    const ConfirmationSettings settings = ConfirmationSettings::load();
    CKorva3Doc doc(logbook);
    if (doc.isReadOnly() || !doc.isLogbook()) {
        m_err << doc.openMessage() << '\n';
        return Failed;
    }
    RecordedMessages messages;
    const std::optional<StationProfile> profile = doc.ActiveStationProfile();
    const QString call = m_options.value(QStringLiteral("--call"),
                                         profile ? profile->value("STATION_CALLSIGN") : QString());
    LotwSync sync(doc);
    sync.client().setBaseUrl(QUrl(m_options.value(QStringLiteral("--url"), settings.lotwUrl)));
    if (action == QLatin1String("upload")) {
        const QString location = m_options.value(QStringLiteral("--location"),
                                                 profile ? profile->value("APP_KORVA3_LOTW_LOCATION") : QString());
        sync.tqsl().setProgram(m_options.value(QStringLiteral("--tqsl"), settings.tqslProgram));
        return report(QStringLiteral("LoTW upload"),
                      waitFor(sync, &LotwSync::finished, [&] { sync.upload(location, call); }));
    }
    LotwSync::Account account{m_options.value(QStringLiteral("--user"), settings.lotwUser), QString(), call};
    if (account.user.isEmpty())
        return usage(QStringLiteral("lotw download needs --user (or a LoTW user in Setup)"));
    if (!readPassword(account.password))
        return Usage;
    // The account's own records first: what LoTW shows of the QSOs uploaded becomes sent.
    const int seen = report(QStringLiteral("LoTW own records"),
                            waitFor(sync, &LotwSync::finished, [&] { sync.readBack(account); }));
    if (seen != Success)
        return seen;
    return report(QStringLiteral("LoTW QSLs"), waitFor(sync, &LotwSync::finished, [&] { sync.download(account); }));
}

int ServiceCommand::eqsl(const QString &action, const QString &logbook)
{
    const ConfirmationSettings settings = ConfirmationSettings::load();
    EqslSync::Account account{m_options.value(QStringLiteral("--user"), settings.eqslUser), QString(),
                              m_options.value(QStringLiteral("--qth"))};
    if (account.user.isEmpty())
        return usage(QStringLiteral("eqsl needs --user (or an eQSL user in Setup)"));
    if (!readPassword(account.password))
        return Usage;
    CKorva3Doc doc(logbook);
    if (doc.isReadOnly() || !doc.isLogbook()) {
        m_err << doc.openMessage() << '\n';
        return Failed;
    }
    RecordedMessages messages;
    EqslSync sync(doc);
    sync.client().setBaseUrl(QUrl(m_options.value(QStringLiteral("--url"), settings.eqslUrl)));
    const bool upload = action == QLatin1String("upload");
    return report(upload ? QStringLiteral("eQSL upload") : QStringLiteral("eQSL inbox"),
                  waitFor(sync, &EqslSync::finished, [&] { upload ? sync.upload(account) : sync.download(account); }));
}

// Without --all, what waits in the logbook's outbox; with it, the whole log at once.
int ServiceCommand::clubLog(const QString &, const QString &logbook)
{
    const ConfirmationSettings settings = ConfirmationSettings::load();
    ClubLogClient::Account account{m_options.value(QStringLiteral("--user"), settings.clubLogEmail), QString(),
                                   m_options.value(QStringLiteral("--call"), settings.clubLogCallsign),
                                   m_options.value(QStringLiteral("--api-key"), settings.clubLogApiKey)};
    if (account.email.isEmpty() || account.callsign.isEmpty())
        return usage(QStringLiteral("clublog upload needs --user and --call (or a Club Log account in Setup)"));
    if (!readPassword(account.password))
        return Usage;
    CKorva3Doc doc(logbook);
    if (doc.isReadOnly() || !doc.isLogbook()) {
        m_err << doc.openMessage() << '\n';
        return Failed;
    }
    RecordedMessages messages;
    ClubLogSender sender(doc);
    sender.client().setBaseUrl(QUrl(m_options.value(QStringLiteral("--url"), settings.clubLogUrl)));
    sender.setAccount(account);
    if (m_all)
        return report(QStringLiteral("Club Log whole log"),
                      waitFor(sender, &ClubLogSender::finished, [&] { sender.uploadLog(); }));
    // The outbox until it is empty, Club Log stops it, or an entry must wait for a retry.
    ServiceOutcome outcome;
    outcome.ok = true;
    QEventLoop loop;
    QObject::connect(&sender, &ClubLogSender::answered, &loop, [&](qint64, const ClubLogAnswer &answer) {
        if (answer.kind == ClubLogAnswer::Done)
            ++outcome.sent;
        else if (answer.kind == ClubLogAnswer::Rejected)
            ++outcome.refused;
        if (answer.kind == ClubLogAnswer::Rejected || answer.kind == ClubLogAnswer::RetryLater)
            m_err << "Club Log: " << answer.words() << '\n';
        if (answer.kind == ClubLogAnswer::RetryLater) {
            outcome.note = QStringLiteral("%1 left for later").arg(sender.policy().entries().size());
            loop.quit();
        }
    });
    QObject::connect(&sender, &ClubLogSender::stopped, &loop, [&](const QString &reason) {
        outcome = ServiceOutcome::failed(QStringLiteral("Club Log stopped the sending: %1").arg(reason));
        loop.quit();
    });
    QObject::connect(&sender, &ClubLogSender::empty, &loop, &QEventLoop::quit);
    sender.start();
    if (!sender.policy().entries().isEmpty())
        loop.exec();
    return report(QStringLiteral("Club Log outbox"), outcome);
}

int ServiceCommand::report(const QString &what, const ServiceOutcome &outcome)
{
    if (!outcome.ok) {
        m_err << what << ": " << outcome.error << '\n';
        return Failed;
    }
    m_out << what << ": " << outcome.words() << '\n';
    m_out.flush();
    return Success;
}

int ServiceCommand::usage(const QString &problem)
{
    m_err << "korva3-cli: " << problem << '\n';
    return Usage;
}
