// Feeds arbitrary bytes to the readers of the QRZ.com and HamQTH replies and checks what
// the lookup relies on:
// - a session reply carries a key; an error reply names its error; a reply that does not
//   read carries nothing; a record's call is in capitals and no text has blanks around it;
// - the bytes as a text (escaped as XML) in a record of either service come back as the
//   record's QTH exactly, without the blanks around it.
#include "FuzzCheck.h"

#include "net/CallbookXml.h"

#include <cstddef>
#include <cstdint>

namespace {

void checkReply(const CallbookReply &reply, const char *service)
{
    using Kind = CallbookReply::Kind;
    const CallbookRecord &record = reply.record;
    fuzzCheck(reply.kind != Kind::Session || !reply.sessionKey.isEmpty(), "a session carries a key", service);
    const bool error = reply.kind == Kind::NotFound || reply.kind == Kind::SessionExpired
                    || reply.kind == Kind::BadLogin || reply.kind == Kind::Error;
    fuzzCheck(!error || !reply.message.isEmpty(), "an error names itself", service);
    fuzzCheck(reply.kind != Kind::Unreadable
                  || (reply.sessionKey.isEmpty() && reply.message.isEmpty() && record == CallbookRecord()),
              "a reply that does not read carries nothing", service);
    fuzzCheck(reply.kind == Kind::Record || record == CallbookRecord(), "only a record has a record", service);
    fuzzCheck(record.call == record.call.toUpper(), "the call in capitals", record.call.toUtf8());
    for (const QString &text : {record.call, record.name, record.fullName, record.qth, record.grid, record.qslManager,
                                record.country, record.state, record.iota, record.email, reply.sessionKey,
                                reply.message})
        fuzzCheck(text == text.trimmed(), "no blanks around a text", text.toUtf8());
}

// Whether XML 1.0 can hold every character of the text.
bool xmlCanHold(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 ? !(u == 0x9 || u == 0xA || u == 0xD) : (u == 0xFFFE || u == 0xFFFF))
            return false;
    }
    return true;
}

QByteArray escaped(const QString &text)
{
    QString out = text.toHtmlEscaped();
    out.replace(QLatin1Char('\r'), QLatin1String("&#13;"));
    return out.toUtf8();
}

void checkEmbedded(const QByteArray &bytes)
{
    const QString text = QString::fromUtf8(bytes);
    if (!xmlCanHold(text))
        return;
    const QByteArray qth = escaped(text);
    const CallbookReply qrz = CallbookXml::parseQrz("<QRZDatabase xmlns=\"http://xmldata.qrz.com\"><Callsign><call>"
                                                    "K1ABC</call><addr2>" + qth + "</addr2></Callsign></QRZDatabase>");
    fuzzCheck(qrz.kind == CallbookReply::Kind::Record && qrz.record.qth == text.trimmed(),
              "QRZ.com: the text comes back as the QTH", qrz.record.qth.toUtf8(), text.trimmed().toUtf8());
    const CallbookReply hamQth = CallbookXml::parseHamQth("<HamQTH><search><callsign>k1abc</callsign><qth>" + qth
                                                          + "</qth></search></HamQTH>");
    fuzzCheck(hamQth.kind == CallbookReply::Kind::Record && hamQth.record.qth == text.trimmed(),
              "HamQTH: the text comes back as the QTH", hamQth.record.qth.toUtf8(), text.trimmed().toUtf8());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    checkReply(CallbookXml::parseQrz(bytes), "QRZ.com");
    checkReply(CallbookXml::parseHamQth(bytes), "HamQTH");
    checkEmbedded(bytes);
    return 0;
}
