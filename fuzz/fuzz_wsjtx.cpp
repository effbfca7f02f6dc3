// Feeds arbitrary bytes to the decoding of WSJT-X datagrams, as the listener receives
// them on its port, and as plain ADIF text, as the secondary port receives it. Checks:
// - decoding reads nothing beyond the datagram: the bytes stay in the fuzzer's own
//   buffer, exactly as long as the input, where AddressSanitizer sees any read past it;
// - a message written again by the simulator's encoder decodes to the same message;
// - the ADIF record of a QSO Logged message, read back by AdifReader, holds the call,
//   the start and end as dates and times of the message's times, and the frequency
//   in Hz again;
// - every record of an ADIF text ends in "<EOR>".
#include "FuzzCheck.h"

#include "adif/AdifReader.h"
#include "net/WsjtxMessage.h"
#include "net/WsjtxRecord.h"
#include "wsjtxsim/WsjtxEncoder.h"

#include <QBuffer>
#include <QHash>

#include <cstddef>
#include <cstdint>

namespace {

// The first value of each field of the record, by its name in capitals.
QHash<QByteArray, QByteArray> fieldsOf(const QByteArray &record)
{
    QByteArray bytes = record;
    QBuffer source(&bytes);
    source.open(QIODevice::ReadOnly);
    AdifReader reader(source);
    QHash<QByteArray, QByteArray> fields;
    AdifReader::Field field;
    while (reader.next(field)) {
        const QByteArray name = field.name.toByteArray().toUpper();
        if (field.hasLength && !fields.contains(name))
            fields.insert(name, field.value.toByteArray());
    }
    return fields;
}

// The date and time fields hold the time to the second, or are absent for a time that
// has no 4-digit year.
void checkTime(const QHash<QByteArray, QByteArray> &fields, const char *dateName, const char *timeName,
               const QDateTime &time)
{
    const bool written = time.isValid() && time.date().year() >= 1 && time.date().year() <= 9999;
    fuzzCheck(fields.contains(dateName) == written && fields.contains(timeName) == written,
              "a date and time field for each valid time", dateName);
    if (!written)
        return;
    const QDate date = QDate::fromString(QString::fromLatin1(fields.value(dateName)), QStringLiteral("yyyyMMdd"));
    const QTime clock = QTime::fromString(QString::fromLatin1(fields.value(timeName)), QStringLiteral("HHmmss"));
    fuzzCheck(date == time.date() && clock.msecsSinceStartOfDay() == time.time().msecsSinceStartOfDay() / 1000 * 1000,
              "the record's date and time are the message's", fields.value(dateName) + ' ' + fields.value(timeName),
              time.toString(Qt::ISODateWithMs).toLatin1());
}

void checkRecord(const WsjtxMessage::QsoLogged &qso)
{
    const QByteArray record = WsjtxRecord::fromQsoLogged(qso);
    fuzzCheck(record.endsWith("<EOR>"), "a record ends in <EOR>", record);
    const QHash<QByteArray, QByteArray> fields = fieldsOf(record);
    QString call = qso.dxCall;
    for (QChar &c : call) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char(' ');
    }
    fuzzCheck(fields.value("CALL") == call.trimmed().toUtf8(), "the record's CALL is the message's", fields.value("CALL"),
              call.toUtf8());
    checkTime(fields, "QSO_DATE", "TIME_ON", qso.timeOn.isValid() ? qso.timeOn : qso.timeOff);
    checkTime(fields, "QSO_DATE_OFF", "TIME_OFF", qso.timeOff);

    const QByteArray frequency = fields.value("FREQ");
    const qsizetype point = frequency.indexOf('.');
    bool wholeOk = false;
    bool fractionOk = false;
    const quint64 mhz = frequency.left(point).toULongLong(&wholeOk);
    const QByteArray fraction = frequency.mid(point + 1);
    const quint64 hz = fraction.leftJustified(6, '0').toULongLong(&fractionOk);
    fuzzCheck(qso.txFrequencyHz == 0 ? frequency.isEmpty()
                                     : point > 0 && wholeOk && fractionOk && fraction.size() >= 3 && fraction.size() <= 6
                                           && mhz * 1000000 + hz == qso.txFrequencyHz,
              "FREQ is the frequency in MHz", frequency, QByteArray::number(qso.txFrequencyHz));
}

void checkRecordsOf(const QByteArray &text)
{
    for (const QByteArray &record : WsjtxRecord::recordsOf(text)) {
        fuzzCheck(record.endsWith("<EOR>"), "a record ends in <EOR>", record);
        WsjtxRecord::identity(record);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray datagram = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    checkRecordsOf(datagram);
    QString why;
    const std::optional<WsjtxMessage> message = WsjtxMessage::decode(datagram, &why);
    fuzzCheck(message.has_value() == why.isEmpty(), "a reason exactly for a datagram refused", why.toUtf8());
    if (!message)
        return 0;
    fuzzCheck(message->kind == WsjtxMessage::kindOfType(message->type), "the kind of the type");

    const QByteArray again = WsjtxEncoder().encode(*message);
    const std::optional<WsjtxMessage> decodedAgain = WsjtxMessage::decode(again, &why);
    fuzzCheck(decodedAgain && *decodedAgain == *message, "written again, the message decodes the same", why.toUtf8());

    if (message->kind == WsjtxMessage::Kind::QsoLogged)
        checkRecord(message->qso);
    if (message->kind == WsjtxMessage::Kind::LoggedAdif)
        checkRecordsOf(message->adif);
    return 0;
}
