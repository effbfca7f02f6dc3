#include "ClubLogClient.h"

#include "NetLog.h"
#include "adif/AdifQsoMapping.h"

ClubLogClient::ClubLogClient(QObject *parent)
    : QObject(parent)
    , m_baseUrl(QString::fromLatin1(kDefaultUrl))
{
}

void ClubLogClient::setBaseUrl(const QUrl &url)
{
    m_baseUrl = url;
}

void ClubLogClient::cancel()
{
    m_http.cancel();
}

QString ClubLogClient::bandId(const QString &band)
{
    QString id = QString::fromLatin1(AdifQsoMapping::storedBand(band.trimmed().toLatin1()));
    if (id.endsWith(QLatin1String("cm")))
        id.chop(2);
    return id;
}

SecureHttp::FormFields ClubLogClient::accountFields(const Account &account)
{
    return {{QStringLiteral("email"), account.email},
            {QStringLiteral("password"), account.password},
            {QStringLiteral("callsign"), account.callsign},
            {QStringLiteral("api"), account.apiKey}};
}

SecureHttp::Done ClubLogClient::answerTo(qint64 id, const Account &account, bool deleting)
{
    const QStringList secrets = {account.password, account.apiKey};
    return [this, id, secrets, deleting](const SecureHttp::Reply &reply) {
        ClubLogAnswer answer = reply.answered() ? ClubLogAnswer::classify(reply.status, reply.body, deleting)
                                                : ClubLogAnswer::noConnection(reply.error);
        answer.text = SecureHttp::scrubbed(answer.text, secrets);
        if (answer.kind == ClubLogAnswer::Done)
            qCDebug(lcNet) << answer.words();
        else
            qCWarning(lcNet) << answer.words();
        emit answered(id, answer);
    };
}

void ClubLogClient::sendQso(qint64 id, const Account &account, const QByteArray &adifRecord)
{
    SecureHttp::FormFields fields = accountFields(account);
    fields.append({QStringLiteral("adif"), QString::fromUtf8(adifRecord)});
    m_http.postForm(m_baseUrl.resolved(QUrl(QStringLiteral("realtime.php"))), fields, answerTo(id, account, false));
}

void ClubLogClient::deleteQso(qint64 id, const Account &account, const QString &dxCall, const QDateTime &startUtc,
                              const QString &band)
{
    SecureHttp::FormFields fields = accountFields(account);
    fields.append({QStringLiteral("dxcall"), dxCall});
    fields.append({QStringLiteral("datetime"), startUtc.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))});
    fields.append({QStringLiteral("bandid"), bandId(band)});
    m_http.postForm(m_baseUrl.resolved(QUrl(QStringLiteral("delete.php"))), fields, answerTo(id, account, true));
}

void ClubLogClient::uploadLog(qint64 id, const Account &account, const QByteArray &adif, const QString &fileName,
                              bool clear)
{
    SecureHttp::FormFields fields = accountFields(account);
    if (clear)
        fields.append({QStringLiteral("clear"), QStringLiteral("1")});
    m_http.postMultipart(m_baseUrl.resolved(QUrl(QStringLiteral("putlogs.php"))), fields,
                         {QStringLiteral("file"), fileName, adif}, answerTo(id, account, false));
}
