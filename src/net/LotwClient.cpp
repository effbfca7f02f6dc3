#include "LotwClient.h"

#include "NetLog.h"

LotwClient::LotwClient(QObject *parent)
    : QObject(parent)
    , m_baseUrl(QString::fromLatin1(kDefaultUrl))
{
}

void LotwClient::setBaseUrl(const QUrl &url)
{
    m_baseUrl = url;
}

SecureHttp::FormFields LotwClient::confirmationsQuery(const QString &user, const QString &password,
                                                     const QString &qslSince, const QString &ownCall)
{
    SecureHttp::FormFields query = {{QStringLiteral("login"), user},
                                    {QStringLiteral("password"), password},
                                    {QStringLiteral("qso_query"), QStringLiteral("1")},
                                    {QStringLiteral("qso_qsl"), QStringLiteral("yes")},
                                    {QStringLiteral("qso_qsldetail"), QStringLiteral("yes")}};
    if (!qslSince.isEmpty())
        query.append({QStringLiteral("qso_qslsince"), qslSince});
    if (!ownCall.isEmpty())
        query.append({QStringLiteral("qso_owncall"), ownCall});
    return query;
}

SecureHttp::FormFields LotwClient::ownRecordsQuery(const QString &user, const QString &password,
                                                  const QString &qsoRxSince, const QString &ownCall)
{
    SecureHttp::FormFields query = {{QStringLiteral("login"), user},
                                    {QStringLiteral("password"), password},
                                    {QStringLiteral("qso_query"), QStringLiteral("1")},
                                    {QStringLiteral("qso_qsl"), QStringLiteral("no")}};
    if (!qsoRxSince.isEmpty())
        query.append({QStringLiteral("qso_qsorxsince"), qsoRxSince});
    if (!ownCall.isEmpty())
        query.append({QStringLiteral("qso_owncall"), ownCall});
    return query;
}

void LotwClient::downloadConfirmations(const QString &user, const QString &password, const QString &qslSince,
                                       const QString &ownCall)
{
    download(confirmationsQuery(user, password, qslSince, ownCall));
}

void LotwClient::downloadOwnRecords(const QString &user, const QString &password, const QString &qsoRxSince,
                                    const QString &ownCall)
{
    download(ownRecordsQuery(user, password, qsoRxSince, ownCall));
}

void LotwClient::fetchConfirmations(QIODevice *sink, const QString &user, const QString &password,
                                    const QString &qslSince, const QString &ownCall)
{
    fetch(sink, confirmationsQuery(user, password, qslSince, ownCall));
}

void LotwClient::fetchOwnRecords(QIODevice *sink, const QString &user, const QString &password,
                                 const QString &qsoRxSince, const QString &ownCall)
{
    fetch(sink, ownRecordsQuery(user, password, qsoRxSince, ownCall));
}

QUrl LotwClient::reportUrl(const SecureHttp::FormFields &query) const
{
    return SecureHttp::withQuery(m_baseUrl.resolved(QUrl(QStringLiteral("lotwreport.adi"))), query);
}

void LotwClient::fetch(QIODevice *sink, const SecureHttp::FormFields &query)
{
    m_http.get(reportUrl(query), sink, [this](const SecureHttp::Reply &reply) {
        QString error;
        if (!reply.answered())
            error = QStringLiteral("LoTW: %1").arg(reply.error);
        else if (reply.status != 200)
            error = QStringLiteral("LoTW answered with HTTP status %1").arg(reply.status);
        if (!error.isEmpty())
            qCWarning(lcNet) << error;
        emit fetched(error);
    });
}

void LotwClient::cancel()
{
    m_http.cancel();
}

void LotwClient::download(const SecureHttp::FormFields &query)
{
    m_http.get(reportUrl(query), [this](const SecureHttp::Reply &reply) {
        LotwReport report;
        if (!reply.answered())
            report = LotwReport::failed(QStringLiteral("LoTW: %1").arg(reply.error));
        else if (reply.status != 200)
            report = LotwReport::failed(QStringLiteral("LoTW answered with HTTP status %1").arg(reply.status));
        else
            report = LotwReport::parse(reply.body);
        if (report.ok)
            qCDebug(lcNet) << "LoTW report with" << report.records.size() << "records";
        else
            qCWarning(lcNet) << report.error;
        emit finished(report);
    });
}
