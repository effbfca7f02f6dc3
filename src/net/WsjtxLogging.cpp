#include "WsjtxLogging.h"

#include "NetLog.h"
#include "WsjtxListener.h"
#include "WsjtxRecord.h"
#include "document/CKorva3Doc.h"

namespace {

bool samePorts(const WsjtxSettings &a, const WsjtxSettings &b)
{
    return a.port == b.port && a.multicastGroup == b.multicastGroup && a.interfaceName == b.interfaceName
        && a.secondaryEnabled == b.secondaryEnabled && (!a.secondaryEnabled || a.secondaryPort == b.secondaryPort);
}

// Why the importer stored nothing of the record, or an empty text when nothing failed.
QString failureOf(const AdifImporter::Result &result)
{
    if (result.status == AdifImporter::Status::CannotOpenDatabase)
        return QStringLiteral("Error open database");
    if (result.status != AdifImporter::Status::Imported || result.failedWrites > 0)
        return QStringLiteral("Error writing to database...");
    if (result.read == 0)
        return QStringLiteral("no QSO in the record");
    return QString();
}

} // namespace

WsjtxLogging::WsjtxLogging(Target target, QObject *parent)
    : QObject(parent)
    , m_target(std::move(target))
{
    qRegisterMetaType<WsjtxLogging::Outcome>();
}

// A QSO still waiting for its Logged ADIF is stored before the logbook may go.
WsjtxLogging::~WsjtxLogging()
{
    stop();
}

bool WsjtxLogging::apply(const WsjtxSettings &settings)
{
    const bool reopen = !isListening() || !samePorts(settings, m_settings);
    m_settings = settings;
    if (!settings.enabled) {
        stop();
        return true;
    }
    if (!reopen)
        return true;
    if (!m_listener) {
        m_listener = std::make_unique<WsjtxListener>();
        connect(m_listener.get(), &WsjtxListener::qsoLogged, this, &WsjtxLogging::onQsoLogged);
        connect(m_listener.get(), &WsjtxListener::statusReceived, this, &WsjtxLogging::statusReceived);
    }
    const bool started = m_listener->start(settings);
    m_lastError = m_listener->lastError();
    return started;
}

QString WsjtxLogging::notListeningText() const
{
    return QStringLiteral("Korva3 does not listen for WSJT-X: %1").arg(m_lastError);
}

void WsjtxLogging::stop()
{
    if (m_listener)
        m_listener->stop();
}

bool WsjtxLogging::isListening() const
{
    return m_listener && m_listener->isListening();
}

void WsjtxLogging::onQsoLogged(const QByteArray &record, const QString &program)
{
    QString why;
    CKorva3Doc *logbook = m_target(why);
    emit qsoHandled(store(logbook, why, record, program));
}

WsjtxLogging::Outcome WsjtxLogging::store(CKorva3Doc *logbook, const QString &why, const QByteArray &record,
                                          const QString &program)
{
    Outcome outcome;
    outcome.call = QString::fromUtf8(WsjtxRecord::fieldValue(record, "CALL")).toUpper();
    outcome.program = program;
    QString failure = why;
    if (logbook && logbook->openState() != CKorva3Doc::OpenState::Ready)
        failure = logbook->openMessage();
    else if (logbook) {
        const AdifImporter::Result result =
            logbook->AddAdifRecord(WsjtxRecord::withMissingFields(record, logbook->StationFields()));
        failure = failureOf(result);
        // Read, not stored, and nothing failed: the logbook holds this QSO already.
        outcome.kind = !failure.isEmpty()  ? Outcome::Kind::NotLogged
                       : result.added > 0 ? Outcome::Kind::Logged
                                          : Outcome::Kind::AlreadyLogged;
    }
    if (failure.isEmpty() && !logbook)
        failure = QStringLiteral("no logbook is open");
    switch (outcome.kind) {
    case Outcome::Kind::Logged:
        outcome.text = QStringLiteral("%1 logged from %2").arg(outcome.call, program);
        break;
    case Outcome::Kind::AlreadyLogged:
        outcome.text = QStringLiteral("%1 already logged").arg(outcome.call);
        break;
    case Outcome::Kind::NotLogged:
        outcome.text = QStringLiteral("%1 not logged: %2").arg(outcome.call, failure);
        qCWarning(lcNet).noquote() << "A QSO from" << program << "was not stored:" << outcome.text;
        break;
    }
    return outcome;
}
