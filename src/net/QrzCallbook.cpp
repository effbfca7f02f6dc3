#include "QrzCallbook.h"

#include "CallbookXml.h"

QString QrzCallbook::name() const
{
    return QStringLiteral("QRZ.com");
}

QUrl QrzCallbook::defaultUrl() const
{
    return QUrl(QStringLiteral("https://xmldata.qrz.com/xml/current/"));
}

QUrlQuery QrzCallbook::loginQuery(const QString &user, const QString &password) const
{
    return queryOf({{QStringLiteral("username"), user},
                    {QStringLiteral("password"), password},
                    {QStringLiteral("agent"), QStringLiteral("Korva3")}});
}

QUrlQuery QrzCallbook::lookupQuery(const QString &sessionKey, const QString &call) const
{
    return queryOf({{QStringLiteral("s"), sessionKey}, {QStringLiteral("callsign"), call}});
}

CallbookReply QrzCallbook::parseReply(const QByteArray &xml) const
{
    return CallbookXml::parseQrz(xml);
}
