#include "SecureHttp.h"

#include "CredentialUrl.h"
#include "NetLog.h"

#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSslConfiguration>
#include <QTimer>

#include <memory>

namespace {

const char *const kSecretNames[] = {"password", "eqsl_pswd", "api"};

QStringList secretValues(const SecureHttp::FormFields &fields)
{
    QStringList values;
    for (const auto &field : fields) {
        if (SecureHttp::isSecretName(field.first) && !field.second.isEmpty())
            values.append(field.second);
    }
    return values;
}

QStringList secretValues(const QUrl &url)
{
    SecureHttp::FormFields fields;
    const auto items = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
    for (const auto &item : items)
        fields.append({item.first, item.second});
    return secretValues(fields);
}

QByteArray formEncoded(const SecureHttp::FormFields &fields)
{
    QByteArray body;
    for (const auto &field : fields) {
        if (!body.isEmpty())
            body += '&';
        body += QUrl::toPercentEncoding(field.first) + '=' + QUrl::toPercentEncoding(field.second);
    }
    return body;
}

} // namespace

SecureHttp::SecureHttp(QObject *parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
{
    m_manager->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

SecureHttp::~SecureHttp()
{
    // The replies' owners go with the manager; their `done` is not called any more.
    for (QNetworkReply *reply : std::as_const(m_running))
        reply->disconnect(this);
}

void SecureHttp::setTimeout(int milliseconds)
{
    m_timeoutMs = milliseconds;
}

void SecureHttp::addTrustedAuthority(const QSslCertificate &authority)
{
    m_authorities.append(authority);
}

QUrl SecureHttp::withQuery(QUrl url, const FormFields &items)
{
    // QUrlQuery takes a "%" in a value as the start of an escape and leaves "+" alone,
    // which a service reads as a blank: the values go in percent-encoded.
    QUrlQuery query;
    for (const auto &item : items)
        query.addQueryItem(item.first, QString::fromLatin1(QUrl::toPercentEncoding(item.second)));
    url.setQuery(query);
    return url;
}

bool SecureHttp::isSecretName(const QString &name)
{
    for (const char *secret : kSecretNames) {
        if (name.compare(QLatin1String(secret), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString SecureHttp::redacted(const QUrl &url)
{
    QUrlQuery query(url);
    const auto items = query.queryItems(QUrl::FullyDecoded);
    QUrlQuery shown;
    for (const auto &item : items)
        shown.addQueryItem(item.first, isSecretName(item.first) ? QStringLiteral("***") : item.second);
    QUrl safe = url.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveQuery);
    if (!items.isEmpty())
        safe.setQuery(shown);
    return safe.toDisplayString();
}

QString SecureHttp::scrubbed(QString text, const QStringList &secrets)
{
    for (const QString &secret : secrets) {
        if (secret.isEmpty())
            continue;
        const QString percent = QString::fromLatin1(QUrl::toPercentEncoding(secret));
        QString formEncoded = percent;
        formEncoded.replace(QLatin1String("%20"), QLatin1String("+"));
        for (const QString &written : {secret, percent, formEncoded})
            text.replace(written, QLatin1String("***"), Qt::CaseInsensitive);
    }
    return text;
}

QNetworkRequest SecureHttp::requestFor(const QUrl &url) const
{
    QNetworkRequest request(url);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    if (!m_authorities.isEmpty())
        tls.addCaCertificates(m_authorities);
    request.setSslConfiguration(tls);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Korva3"));
    return request;
}

// Credentials go nowhere else: the request ends at once, and says why.
bool SecureHttp::refuse(const QUrl &url, const Done &done)
{
    QString why;
    if (CredentialUrl::mayCarryCredentials(url, &why))
        return false;
    qCWarning(lcNet) << "not sent:" << why;
    QTimer::singleShot(0, this, [done, why] { done(Reply{0, QByteArray(), why}); });
    return true;
}

void SecureHttp::get(const QUrl &url, Done done)
{
    if (refuse(url, done))
        return;
    qCDebug(lcNet) << "GET" << redacted(url);
    watch(m_manager->get(requestFor(url)), url, secretValues(url), std::move(done));
}

void SecureHttp::get(const QUrl &url, QIODevice *sink, Done done)
{
    if (refuse(url, done))
        return;
    qCDebug(lcNet) << "GET" << redacted(url) << "into a file";
    watch(m_manager->get(requestFor(url)), url, secretValues(url), std::move(done), sink);
}

void SecureHttp::postForm(const QUrl &url, const FormFields &fields, Done done)
{
    if (refuse(url, done))
        return;
    qCDebug(lcNet) << "POST" << redacted(url);
    QNetworkRequest request = requestFor(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    watch(m_manager->post(request, formEncoded(fields)), url, secretValues(fields) + secretValues(url), std::move(done));
}

void SecureHttp::postMultipart(const QUrl &url, const FormFields &fields, const FilePart &file, Done done)
{
    if (refuse(url, done))
        return;
    qCDebug(lcNet) << "POST" << redacted(url) << "with" << file.fileName << file.bytes.size() << "bytes";
    auto *multipart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    for (const auto &field : fields) {
        QHttpPart part;
        part.setHeader(QNetworkRequest::ContentDispositionHeader,
                       QStringLiteral("form-data; name=\"%1\"").arg(field.first));
        part.setBody(field.second.toUtf8());
        multipart->append(part);
    }
    QHttpPart filePart;
    filePart.setHeader(QNetworkRequest::ContentDispositionHeader,
                       QStringLiteral("form-data; name=\"%1\"; filename=\"%2\"").arg(file.field, file.fileName));
    filePart.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/octet-stream"));
    filePart.setBody(file.bytes);
    multipart->append(filePart);
    QNetworkReply *reply = m_manager->post(requestFor(url), multipart);
    multipart->setParent(reply);
    watch(reply, url, secretValues(fields) + secretValues(url), std::move(done));
}

void SecureHttp::cancel()
{
    const QList<QNetworkReply *> running = m_running;
    for (QNetworkReply *reply : running) {
        reply->setProperty("korva3Cancelled", true);
        reply->abort();
    }
}

void SecureHttp::watch(QNetworkReply *reply, const QUrl &url, const QStringList &secrets, Done done, QIODevice *sink)
{
    m_running.append(reply);
    if (sink) {
        connect(reply, &QIODevice::readyRead, this, [reply, sink] {
            const QByteArray bytes = reply->readAll();
            if (sink->write(bytes) != bytes.size()) {
                reply->setProperty("korva3SinkFailed", sink->errorString());
                reply->abort();
            }
        });
    }
    connect(reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        if (m_onProgress)
            m_onProgress(received, total);
    });
    auto *timer = new QTimer(reply);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, reply, [reply] {
        reply->setProperty("korva3TimedOut", true);
        reply->abort();
    });
    timer->start(m_timeoutMs);
    connect(reply, &QNetworkReply::finished, this, [this, reply, url, secrets, sink, done = std::move(done)] {
        m_running.removeOne(reply);
        reply->deleteLater();
        Reply result;
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (reply->property("korva3Cancelled").toBool()) {
            result.error = QStringLiteral("cancelled");
        } else if (reply->property("korva3SinkFailed").isValid()) {
            result.error = QStringLiteral("the reply could not be written: %1").arg(reply->property("korva3SinkFailed").toString());
        } else if (reply->property("korva3TimedOut").toBool()) {
            result.error = QStringLiteral("%1 gave no answer within %2 s").arg(url.host()).arg(m_timeoutMs / 1000.0);
        } else if (status.isValid()) {
            result.status = status.toInt();
            result.body = reply->readAll();
            if (sink && !result.body.isEmpty()) {
                if (sink->write(result.body) != result.body.size())
                    result.error = QStringLiteral("the reply could not be written: %1").arg(sink->errorString());
                result.body.clear();
            }
        } else {
            result.error = QStringLiteral("no answer from %1: %2").arg(url.host(), scrubbed(reply->errorString(), secrets));
        }
        if (result.answered())
            qCDebug(lcNet) << result.status << "from" << redacted(url) << result.body.size() << "bytes";
        else
            qCWarning(lcNet) << redacted(url) << result.error;
        done(result);
    });
}
