#include "CallbookLookup.h"

#include "NetLog.h"

#include <QTimer>

namespace {

QString normalCall(const QString &call)
{
    return call.simplified().remove(QLatin1Char(' ')).toUpper();
}

} // namespace

CallbookLookup::CallbookLookup(std::unique_ptr<CallbookService> service, QObject *parent)
    : QObject(parent)
    , m_service(std::move(service))
{
    connect(m_service.get(), &CallbookService::finished, this, &CallbookLookup::onFinished);
}

CallbookLookup::~CallbookLookup()
{
    m_service->disconnect(this);
}

void CallbookLookup::lookup(const QString &call)
{
    const QString key = normalCall(call);
    if (key.isEmpty() || m_waiting.contains(key))
        return;
    if (const auto kept = m_cache.constFind(key); kept != m_cache.constEnd()) {
        answer(key, *kept);
        return;
    }
    auto *timer = new QTimer(this);
    timer->setSingleShot(true);
    // A coarse timer may end the wait up to a twentieth early: the service gets its
    // whole time.
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, key] { onTimeout(key); });
    m_waiting.insert(key, timer);
    timer->start(m_timeoutMs);
    m_service->lookup(key); // may answer at once
}

std::optional<CallbookResult> CallbookLookup::cached(const QString &call) const
{
    const auto kept = m_cache.constFind(normalCall(call));
    return kept == m_cache.constEnd() ? std::nullopt : std::optional<CallbookResult>(*kept);
}

void CallbookLookup::onFinished(const QString &call, const CallbookResult &result)
{
    QTimer *timer = m_waiting.take(call);
    if (!timer)
        return;
    timer->deleteLater();
    if (result.outcome == CallbookResult::Outcome::Found || result.outcome == CallbookResult::Outcome::NotFound)
        m_cache.insert(call, result);
    answer(call, result);
}

void CallbookLookup::onTimeout(const QString &call)
{
    QTimer *timer = m_waiting.take(call);
    if (!timer)
        return;
    timer->deleteLater();
    m_service->cancel(call);
    qCWarning(lcNet) << m_service->name() << "gave no answer for" << call << "within" << m_timeoutMs << "ms";
    CallbookResult result;
    result.outcome = CallbookResult::Outcome::NoAnswer;
    answer(call, result);
}

void CallbookLookup::answer(const QString &call, const CallbookResult &result)
{
    emit answered(call, result, statusText(m_service->name(), call, result));
}

QString CallbookLookup::statusText(const QString &serviceName, const QString &call, const CallbookResult &result)
{
    switch (result.outcome) {
    case CallbookResult::Outcome::Found:
        return QStringLiteral("%1: %2 found").arg(serviceName, call);
    case CallbookResult::Outcome::NotFound:
        return QStringLiteral("%1: %2 not found").arg(serviceName, call);
    case CallbookResult::Outcome::BadLogin:
        return QStringLiteral("%1: user name or password refused").arg(serviceName);
    case CallbookResult::Outcome::NoAnswer:
        return QStringLiteral("%1: no answer").arg(serviceName);
    case CallbookResult::Outcome::Failed:
        break;
    }
    return QStringLiteral("%1: %2").arg(serviceName, result.message);
}
