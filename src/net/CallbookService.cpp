#include "CallbookService.h"

#include "CredentialUrl.h"
#include "NetLog.h"

#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

QString displayUrl(const QUrl &url)
{
    return url.toDisplayString(QUrl::RemoveUserInfo | QUrl::RemoveQuery);
}

} // namespace

CallbookService::CallbookService(QObject *parent)
    : QObject(parent)
{
}

CallbookService::~CallbookService()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

void CallbookService::setCredentials(const QString &user, const QString &password)
{
    m_user = user;
    m_password = password;
    m_sessionKey.clear();
    m_loginRefused = false;
}

void CallbookService::setBaseUrl(const QUrl &url)
{
    m_baseUrl = url;
    m_sessionKey.clear();
}

QUrl CallbookService::baseUrl() const
{
    return m_baseUrl.isEmpty() ? defaultUrl() : m_baseUrl;
}

QUrlQuery CallbookService::queryOf(std::initializer_list<std::pair<QString, QString>> items)
{
    QUrlQuery query;
    for (const auto &[key, value] : items)
        query.addQueryItem(key, QString::fromLatin1(QUrl::toPercentEncoding(value)));
    return query;
}

void CallbookService::lookup(const QString &call)
{
    m_queue.append(call);
    startNext();
}

void CallbookService::cancel(const QString &call)
{
    m_queue.removeAll(call);
    if (m_current != call)
        return;
    if (m_reply) {
        QNetworkReply *reply = std::exchange(m_reply, nullptr);
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    m_current.clear();
    startNext();
}

void CallbookService::startNext()
{
    if (!m_current.isEmpty() || m_queue.isEmpty())
        return;
    m_current = m_queue.takeFirst();
    m_loginsLeft = 1;
    QString why;
    if (!CredentialUrl::mayCarryCredentials(baseUrl(), &why)) {
        qCWarning(lcNet) << name() << why;
        finish(CallbookResult::Outcome::Failed, why);
    }
    else if (m_user.isEmpty() || m_password.isEmpty())
        finish(CallbookResult::Outcome::Failed, QStringLiteral("No user name or password is set"));
    else if (m_loginRefused) // asking again with the same credentials would only be refused again
        finish(CallbookResult::Outcome::BadLogin);
    else if (m_sessionKey.isEmpty())
        login();
    else
        requestLookup();
}

void CallbookService::login()
{
    --m_loginsLeft;
    qCInfo(lcNet) << name() << "login as" << m_user;
    get(Step::Login, loginQuery(m_user, m_password));
}

void CallbookService::requestLookup()
{
    qCInfo(lcNet) << name() << "lookup of" << m_current;
    get(Step::Lookup, lookupQuery(m_sessionKey, m_current));
}

void CallbookService::get(Step step, const QUrlQuery &query)
{
    m_step = step;
    QUrl url = baseUrl();
    url.setQuery(query);
    QNetworkRequest request(url);
    request.setSslConfiguration(m_tls);
    // A redirect would carry the credentials of the address to wherever it points.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(kTransferTimeoutMs);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Korva3"));
    m_reply = m_network.get(request);
    QNetworkReply *reply = m_reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { onReply(reply); });
}

void CallbookService::onReply(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply != m_reply)
        return;
    m_reply = nullptr;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 300) {
        qCWarning(lcNet) << name() << displayUrl(reply->url()) << "answered HTTP" << status;
        finish(CallbookResult::Outcome::Failed, QStringLiteral("The service answered HTTP %1").arg(status));
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        const QString error = withoutSecrets(reply->errorString(), reply->url());
        qCWarning(lcNet) << name() << displayUrl(reply->url()) << error;
        // The transfer timeout ends a silent reply as cancelled.
        const bool silent = reply->error() == QNetworkReply::TimeoutError
                         || reply->error() == QNetworkReply::OperationCanceledError;
        finish(silent ? CallbookResult::Outcome::NoAnswer : CallbookResult::Outcome::Failed, error);
        return;
    }
    const CallbookReply parsed = parseReply(reply->readAll());
    if (parsed.kind == CallbookReply::Kind::Unreadable)
        qCWarning(lcNet) << name() << displayUrl(reply->url()) << "sent a reply that does not read";
    if (m_step == Step::Login)
        onLoginReply(parsed);
    else
        onLookupReply(parsed);
}

void CallbookService::onLoginReply(const CallbookReply &reply)
{
    if (reply.kind == CallbookReply::Kind::Session) {
        m_sessionKey = reply.sessionKey;
        requestLookup();
    } else if (reply.kind == CallbookReply::Kind::BadLogin) {
        qCWarning(lcNet) << name() << "refused the login of" << m_user << ":"
                         << withoutSecrets(reply.message, QUrl());
        m_loginRefused = true;
        finish(CallbookResult::Outcome::BadLogin, reply.message);
    } else {
        finish(CallbookResult::Outcome::Failed, reply.message.isEmpty()
                                                    ? QStringLiteral("The login gave no session")
                                                    : reply.message);
    }
}

void CallbookService::onLookupReply(const CallbookReply &reply)
{
    if (!reply.sessionKey.isEmpty())
        m_sessionKey = reply.sessionKey;
    switch (reply.kind) {
    case CallbookReply::Kind::Record:
        finish(CallbookResult::Outcome::Found, QString(), reply.record);
        return;
    case CallbookReply::Kind::NotFound:
        finish(CallbookResult::Outcome::NotFound, reply.message);
        return;
    case CallbookReply::Kind::SessionExpired:
        m_sessionKey.clear();
        qCInfo(lcNet) << name() << "session expired:" << withoutSecrets(reply.message, QUrl());
        if (m_loginsLeft > 0)
            login();
        else
            finish(CallbookResult::Outcome::Failed, QStringLiteral("The session expired again"));
        return;
    case CallbookReply::Kind::BadLogin:
        m_loginRefused = true;
        finish(CallbookResult::Outcome::BadLogin, reply.message);
        return;
    case CallbookReply::Kind::Session:
    case CallbookReply::Kind::Error:
    case CallbookReply::Kind::Unreadable:
        break;
    }
    finish(CallbookResult::Outcome::Failed,
           reply.message.isEmpty() ? QStringLiteral("The reply could not be read") : reply.message);
}

void CallbookService::finish(CallbookResult::Outcome outcome, const QString &message, const CallbookRecord &record)
{
    CallbookResult result;
    result.outcome = outcome;
    result.message = withoutSecrets(message, QUrl());
    result.record = record;
    const QString call = std::exchange(m_current, QString());
    emit finished(call, result);
    startNext();
}

// Qt's network errors may name the whole address, query and all; a service's own
// message could repeat what it was sent.
QString CallbookService::withoutSecrets(QString text, const QUrl &url) const
{
    if (!url.isEmpty()) {
        const QString safe = displayUrl(url);
        for (const QString &form : {url.toString(), url.toDisplayString(), QString::fromUtf8(url.toEncoded())})
            text.replace(form, safe);
    }
    for (const QString &secret : {m_password, QString::fromLatin1(QUrl::toPercentEncoding(m_password)), m_sessionKey}) {
        if (!secret.isEmpty())
            text.replace(secret, QStringLiteral("***"));
    }
    return text;
}
