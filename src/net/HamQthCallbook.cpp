#include "HamQthCallbook.h"

#include "CallbookXml.h"

QString HamQthCallbook::name() const
{
    return QStringLiteral("HamQTH");
}

QUrl HamQthCallbook::defaultUrl() const
{
    return QUrl(QStringLiteral("https://www.hamqth.com/xml.php"));
}

QUrlQuery HamQthCallbook::loginQuery(const QString &user, const QString &password) const
{
    return queryOf({{QStringLiteral("u"), user}, {QStringLiteral("p"), password}});
}

QUrlQuery HamQthCallbook::lookupQuery(const QString &sessionKey, const QString &call) const
{
    return queryOf({{QStringLiteral("id"), sessionKey},
                    {QStringLiteral("callsign"), call},
                    {QStringLiteral("prg"), QStringLiteral("Korva3")}});
}

CallbookReply HamQthCallbook::parseReply(const QByteArray &xml) const
{
    return CallbookXml::parseHamQth(xml);
}
