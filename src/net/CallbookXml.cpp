#include "CallbookXml.h"

#include <QHash>
#include <QXmlStreamReader>

namespace {

using Fields = QHash<QString, QString>;
using Sections = QHash<QString, Fields>;

// The elements two levels below the root, by section and field name, each text without
// the blanks around it; the first of a repeated name counts. False when the reply is no
// well-formed XML (a reply cut short included).
bool readSections(const QByteArray &xml, Sections &sections)
{
    QXmlStreamReader reader(xml);
    if (!reader.readNextStartElement())
        return false;
    while (reader.readNextStartElement()) {
        const QString section = reader.name().toString();
        const bool first = !sections.contains(section);
        Fields &fields = sections[section];
        while (reader.readNextStartElement()) {
            const QString field = reader.name().toString();
            const QString text = reader.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
            if (first && !fields.contains(field))
                fields.insert(field, text);
        }
    }
    return !reader.hasError();
}

// Both services name their errors in plain words: "Not found: K1ABC" and "Callsign not
// found"; "Session Timeout", "Invalid session key" and "Session does not exist or
// expired"; "Username/password incorrect" and "Wrong user name or password".
CallbookReply::Kind kindOfError(const QString &error)
{
    if (error.contains(QLatin1String("not found"), Qt::CaseInsensitive))
        return CallbookReply::Kind::NotFound;
    if (error.contains(QLatin1String("session"), Qt::CaseInsensitive))
        return CallbookReply::Kind::SessionExpired;
    if (error.contains(QLatin1String("password"), Qt::CaseInsensitive)
        || error.contains(QLatin1String("user"), Qt::CaseInsensitive))
        return CallbookReply::Kind::BadLogin;
    return CallbookReply::Kind::Error;
}

// The kind of a reply from its session key, its error and whether it holds a record.
CallbookReply::Kind kindOf(const QString &key, const QString &error, bool hasRecord)
{
    if (hasRecord)
        return CallbookReply::Kind::Record;
    if (!error.isEmpty())
        return kindOfError(error);
    return key.isEmpty() ? CallbookReply::Kind::Unreadable : CallbookReply::Kind::Session;
}

QString firstOf(const QString &text, const QString &otherwise)
{
    return text.isEmpty() ? otherwise : text;
}

} // namespace

namespace CallbookXml {

CallbookReply parseQrz(const QByteArray &xml)
{
    CallbookReply reply;
    Sections sections;
    if (!readSections(xml, sections))
        return reply;
    const Fields session = sections.value(QStringLiteral("Session"));
    reply.sessionKey = session.value(QStringLiteral("Key"));
    reply.message = session.value(QStringLiteral("Error"));
    const auto callsign = sections.constFind(QStringLiteral("Callsign"));
    reply.kind = kindOf(reply.sessionKey, reply.message, callsign != sections.constEnd());
    if (reply.kind != CallbookReply::Kind::Record)
        return reply;
    const auto field = [&callsign](const char *name) { return callsign->value(QLatin1String(name)); };
    CallbookRecord &record = reply.record;
    record.call = field("call").toUpper();
    record.name = firstOf(field("nickname"), field("fname"));
    record.fullName = (field("fname") + QLatin1Char(' ') + field("name")).trimmed();
    record.qth = field("addr2");
    record.grid = field("grid");
    record.qslManager = field("qslmgr");
    record.country = firstOf(field("land"), field("country"));
    record.state = field("state");
    record.iota = field("iota");
    record.email = field("email");
    record.dxcc = field("dxcc").toInt();
    record.cqZone = field("cqzone").toInt();
    record.ituZone = field("ituzone").toInt();
    return reply;
}

CallbookReply parseHamQth(const QByteArray &xml)
{
    CallbookReply reply;
    Sections sections;
    if (!readSections(xml, sections))
        return reply;
    const Fields session = sections.value(QStringLiteral("session"));
    reply.sessionKey = session.value(QStringLiteral("session_id"));
    reply.message = session.value(QStringLiteral("error"));
    const auto search = sections.constFind(QStringLiteral("search"));
    reply.kind = kindOf(reply.sessionKey, reply.message, search != sections.constEnd());
    if (reply.kind != CallbookReply::Kind::Record)
        return reply;
    const auto field = [&search](const char *name) { return search->value(QLatin1String(name)); };
    CallbookRecord &record = reply.record;
    record.call = field("callsign").toUpper();
    record.name = field("nick");
    record.fullName = field("adr_name");
    record.qth = firstOf(field("qth"), field("adr_city"));
    record.grid = field("grid");
    record.qslManager = field("qsl_via");
    record.country = field("country");
    record.state = field("us_state");
    record.iota = field("iota");
    record.email = field("email");
    record.dxcc = field("adif").toInt();
    record.cqZone = field("cq").toInt();
    record.ituZone = field("itu").toInt();
    return reply;
}

} // namespace CallbookXml
