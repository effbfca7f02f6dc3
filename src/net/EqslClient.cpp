#include "EqslClient.h"

#include "ConfirmationFile.h"
#include "NetLog.h"

EqslClient::EqslClient(QObject *parent)
    : QObject(parent)
    , m_baseUrl(QString::fromLatin1(kDefaultUrl))
{
}

void EqslClient::setBaseUrl(const QUrl &url)
{
    m_baseUrl = url;
}

void EqslClient::cancel()
{
    m_http.cancel();
}

void EqslClient::upload(const QString &user, const QString &password, const QByteArray &adif, const QString &fileName)
{
    const SecureHttp::FormFields fields = {{QStringLiteral("EQSL_USER"), user}, {QStringLiteral("EQSL_PSWD"), password}};
    const QUrl url = m_baseUrl.resolved(QUrl(QStringLiteral("ImportADIF.cfm")));
    m_http.postMultipart(url, fields, {QStringLiteral("Filename"), fileName, adif},
                         [this, password](const SecureHttp::Reply &reply) {
                             EqslReply::Upload result;
                             if (!reply.answered())
                                 result.error = QStringLiteral("eQSL: %1").arg(reply.error);
                             else if (reply.status != 200)
                                 result.error = QStringLiteral("eQSL answered with HTTP status %1").arg(reply.status);
                             else
                                 result = EqslReply::parseUpload(reply.body);
                             // What eQSL wrote is shown; it never repeats a password that way.
                             result.error = SecureHttp::scrubbed(result.error, {password});
                             for (QString &line : result.errors)
                                 line = SecureHttp::scrubbed(line, {password});
                             if (!result.error.isEmpty())
                                 qCWarning(lcNet) << result.error;
                             emit uploaded(result);
                         });
}

void EqslClient::downloadInbox(const QString &user, const QString &password, const QString &receivedSince,
                               const QString &qthNickname)
{
    SecureHttp::FormFields query = {{QStringLiteral("UserName"), user}, {QStringLiteral("Password"), password}};
    if (!receivedSince.isEmpty())
        query.append({QStringLiteral("RcvdSince"), receivedSince});
    if (!qthNickname.isEmpty())
        query.append({QStringLiteral("QTHNickname"), qthNickname});
    const QUrl page = SecureHttp::withQuery(m_baseUrl.resolved(QUrl(QStringLiteral("DownloadInBox.cfm"))), query);
    m_http.get(page, [this, page, password](const SecureHttp::Reply &reply) {
        Inbox inbox;
        if (!reply.answered()) {
            inbox.error = QStringLiteral("eQSL: %1").arg(reply.error);
        } else if (reply.status != 200) {
            inbox.error = QStringLiteral("eQSL answered with HTTP status %1").arg(reply.status);
        } else {
            const QUrl file = EqslReply::inboxFile(reply.body, page.adjusted(QUrl::RemoveQuery), &inbox.error);
            if (file.isValid() && file.host().compare(page.host(), Qt::CaseInsensitive) != 0)
                inbox.error = QStringLiteral("eQSL's inbox page names a file elsewhere: %1").arg(file.host());
            else if (file.isValid())
                return fetchFile(file, {password});
        }
        inbox.error = SecureHttp::scrubbed(inbox.error, {password});
        finishDownload(inbox);
    });
}

void EqslClient::fetchFile(const QUrl &file, const QStringList &secrets)
{
    m_http.get(file, [this, secrets](const SecureHttp::Reply &reply) {
        Inbox inbox;
        if (!reply.answered()) {
            inbox.error = QStringLiteral("eQSL: %1").arg(reply.error);
        } else if (reply.status != 200) {
            inbox.error = QStringLiteral("eQSL answered the inbox file with HTTP status %1").arg(reply.status);
        } else {
            const ConfirmationFile read = ConfirmationFile::read(reply.body);
            if (read.openRecord) {
                inbox.error = QStringLiteral("eQSL's inbox file ends inside a record: nothing of it was taken");
            } else {
                inbox.ok = true;
                inbox.records = read.records;
            }
        }
        inbox.error = SecureHttp::scrubbed(inbox.error, secrets);
        finishDownload(inbox);
    });
}

void EqslClient::finishDownload(Inbox inbox)
{
    if (inbox.ok)
        qCDebug(lcNet) << "eQSL inbox with" << inbox.records.size() << "records";
    else
        qCWarning(lcNet) << inbox.error;
    emit downloaded(inbox);
}
