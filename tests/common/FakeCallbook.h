#pragma once

#include "common/FakeHttpServer.h"

#include <QString>
#include <QStringList>

// A callbook of the test's own in the dialect of QRZ.com or of HamQTH. Logins with the
// right password get a new key each; a lookup with the key in force finds K1ABC and no
// other call. Its rules for a row: keys that expire once or always after the first
// lookup, a number of requests it leaves unanswered, an HTTP status.
struct FakeCallbook
{
    static inline const QString kUser = QStringLiteral("k1abc-user");
    static inline const QString kPassword = QStringLiteral("p+ss&w=rd %41 ä");

    enum class Keys { Valid, ExpireOnce, ExpireAlways };

    bool qrz = true;
    Keys keys = Keys::Valid;
    int silentRequests = 0;
    int status = 200;
    int logins = 0;
    int lookups = 0;
    QString validKey;
    QStringList issuedKeys;

    FakeHttpServer::Reply answer(const FakeHttpServer::Request &request)
    {
        const auto value = [&request](const char *name) {
            return request.query.queryItemValue(QLatin1String(name), QUrl::FullyDecoded);
        };
        const bool login = request.query.hasQueryItem(QLatin1String(qrz ? "username" : "u"));
        logins += login;
        if (silentRequests-- > 0)
            return {200, QByteArray(), "text/xml", true};
        if (status != 200)
            return {status, "<html>error</html>", "text/html", false};
        if (login) {
            if (value(qrz ? "password" : "p") != kPassword || value(qrz ? "username" : "u") != kUser)
                return xml(error(qrz ? "Username/password incorrect" : "Wrong user name or password"));
            validKey = QStringLiteral("key-%1").arg(logins);
            issuedKeys << validKey;
            return xml(session(validKey));
        }
        const QString key = value(qrz ? "s" : "id");
        const bool expired = key != validKey || (keys == Keys::ExpireAlways && lookups > 0)
                          || (keys == Keys::ExpireOnce && lookups == 1);
        if (expired) {
            validKey.clear();
            keys = keys == Keys::ExpireOnce ? Keys::Valid : keys;
            return xml(error(qrz ? "Session Timeout" : "Session does not exist or expired"));
        }
        ++lookups;
        if (value("callsign") != QLatin1String("K1ABC"))
            return xml(error(qrz ? "Not found: " + value("callsign").toLatin1() : "Callsign not found"));
        return xml(qrz ? "<Callsign><call>k1abc</call><fname>Fred</fname><name>Lloyd</name><addr2>Newington</addr2>"
                         "<grid>FN31pr</grid><qslmgr>W1XYZ</qslmgr><land>United States</land></Callsign>"
                       : "<search><callsign>k1abc</callsign><nick>Fred</nick><adr_name>Fred Lloyd</adr_name>"
                         "<qth>Newington</qth><grid>FN31pr</grid><qsl_via>W1XYZ</qsl_via>"
                         "<country>United States</country></search>");
    }

    QByteArray session(const QString &key) const
    {
        return qrz ? "<Session><Key>" + key.toLatin1() + "</Key></Session>"
                   : "<session><session_id>" + key.toLatin1() + "</session_id></session>";
    }
    QByteArray error(const QByteArray &text) const
    {
        return qrz ? "<Session><Error>" + text + "</Error></Session>" : "<session><error>" + text + "</error></session>";
    }
    FakeHttpServer::Reply xml(const QByteArray &body) const
    {
        return {200,
                qrz ? "<?xml version=\"1.0\"?><QRZDatabase version=\"1.34\" xmlns=\"http://xmldata.qrz.com\">" + body
                          + "</QRZDatabase>"
                    : "<?xml version=\"1.0\"?><HamQTH version=\"2.7\" xmlns=\"https://www.hamqth.com\">" + body
                          + "</HamQTH>",
                "text/xml", false};
    }
};
