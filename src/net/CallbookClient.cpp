#include "CallbookClient.h"

#include "AppCredentials.h"
#include "NetLog.h"

#include <QPointer>

CallbookClient::CallbookClient(QObject *parent)
    : QObject(parent)
{
}

CallbookClient::~CallbookClient() = default;

QString CallbookClient::serviceName() const
{
    return AppCredentials::callbookAccount(m_settings).service;
}

void CallbookClient::reload()
{
    m_settings = CallbookSettings::load();
    m_lookup.reset();
    ++m_generation;
    m_reading = isSetUp();
    if (!m_reading) {
        m_waiting.clear();
        return;
    }
    const QPointer<CallbookClient> self(this);
    const int generation = m_generation;
    AppCredentials::store().readPassword(AppCredentials::callbookAccount(m_settings),
                                         [self, generation](const std::optional<QString> &password) {
                                             if (self && self->m_generation == generation)
                                                 self->passwordRead(password);
                                         });
}

void CallbookClient::passwordRead(const std::optional<QString> &password)
{
    m_reading = false;
    const QStringList waiting = std::exchange(m_waiting, QStringList());
    if (!password) {
        CallbookResult result;
        result.outcome = CallbookResult::Outcome::BadLogin;
        answerAll(waiting, result, QStringLiteral("%1: no password set in Setup").arg(serviceName()));
        return;
    }
    std::unique_ptr<CallbookService> service = m_settings.createService(*password);
    if (!service) {
        qCWarning(lcNet) << "no callbook service is called" << m_settings.service;
        CallbookResult result;
        result.message = QStringLiteral("Callbook: no service \"%1\"").arg(m_settings.service);
        answerAll(waiting, result, result.message);
        return;
    }
    m_lookup = std::make_unique<CallbookLookup>(std::move(service));
    connect(m_lookup.get(), &CallbookLookup::answered, this, &CallbookClient::answered);
    for (const QString &call : waiting)
        m_lookup->lookup(call);
}

void CallbookClient::lookup(const QString &call)
{
    if (!isSetUp() || call.isEmpty())
        return;
    if (m_lookup) {
        m_lookup->lookup(call);
        return;
    }
    if (m_reading) {
        if (!m_waiting.contains(call))
            m_waiting.append(call);
        return;
    }
    // The password could not be had or the service is not known: said again each time.
    m_reading = true;
    m_waiting.append(call);
    reload();
}

void CallbookClient::answerAll(const QStringList &calls, const CallbookResult &result, const QString &status)
{
    for (const QString &call : calls)
        emit answered(call, result, status);
}
