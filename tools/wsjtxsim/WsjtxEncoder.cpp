#include "WsjtxEncoder.h"

#include "net/WsjtxRecord.h"

#include <QtEndian>

namespace {

template <typename T>
void appendNumber(QByteArray &out, T value)
{
    char bytes[sizeof(T)];
    qToBigEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

void appendBytes(QByteArray &out, const QByteArray &bytes)
{
    appendNumber<quint32>(out, bytes.isNull() ? 0xffffffff : static_cast<quint32>(bytes.size()));
    out += bytes;
}

void appendText(QByteArray &out, const QString &text)
{
    appendBytes(out, text.isNull() ? QByteArray() : text.toUtf8());
}

void appendBool(QByteArray &out, bool value)
{
    appendNumber<quint8>(out, value ? 1 : 0);
}

} // namespace

WsjtxEncoder::WsjtxEncoder(Times times, qint32 offsetSeconds)
    : m_times(times)
    , m_offsetSeconds(offsetSeconds)
{
}

WsjtxMessage WsjtxEncoder::message(WsjtxMessage::Kind kind, const QString &id, quint32 schema)
{
    // In the order of the kinds; 99 stands for a type no sender uses.
    static const quint32 kTypes[] = {WsjtxMessage::kHeartbeat, WsjtxMessage::kStatus, WsjtxMessage::kQsoLogged,
                                     WsjtxMessage::kClose, WsjtxMessage::kLoggedAdif, 99};
    WsjtxMessage message;
    message.kind = kind;
    message.type = kTypes[static_cast<int>(kind)];
    message.id = id;
    if (kind == WsjtxMessage::Kind::Status)
        message.status.id = id;
    message.schema = schema;
    return message;
}

QByteArray WsjtxEncoder::loggedAdifText(const WsjtxMessage::QsoLogged &qso, const QString &programId)
{
    const QByteArray program = programId.toUtf8();
    return "\n<ADIF_VER:5>3.1.4\n<PROGRAMID:" + QByteArray::number(program.size()) + '>' + program + "\n<EOH>\n"
        + WsjtxRecord::fromQsoLogged(qso) + '\n';
}

void WsjtxEncoder::appendDateTime(QByteArray &out, const QDateTime &utc) const
{
    if (!utc.isValid()) {
        appendNumber<qint64>(out, QDate().toJulianDay());
        appendNumber<quint32>(out, 0xffffffff);
        appendNumber<quint8>(out, 1);
        return;
    }
    const QDateTime clock = m_times == Times::Offset ? utc.addSecs(m_offsetSeconds) : utc;
    appendNumber<qint64>(out, clock.date().toJulianDay());
    appendNumber<quint32>(out, static_cast<quint32>(clock.time().msecsSinceStartOfDay()));
    appendNumber<quint8>(out, m_times == Times::Utc ? 1 : m_times == Times::MarkedLocal ? 0 : 2);
    if (m_times == Times::Offset)
        appendNumber<qint32>(out, m_offsetSeconds);
}

QByteArray WsjtxEncoder::encode(const WsjtxMessage &message) const
{
    QByteArray out;
    appendNumber<quint32>(out, WsjtxMessage::kMagic);
    appendNumber<quint32>(out, message.schema);
    appendNumber<quint32>(out, message.type);
    appendText(out, message.id);
    switch (message.kind) {
    case WsjtxMessage::Kind::Heartbeat: {
        const WsjtxMessage::Heartbeat &heartbeat = message.heartbeat;
        appendNumber<quint32>(out, heartbeat.maxSchema);
        appendText(out, heartbeat.version);
        appendText(out, heartbeat.revision);
        break;
    }
    case WsjtxMessage::Kind::Status: {
        const WsjtxStatus &status = message.status;
        appendNumber<quint64>(out, status.dialFrequencyHz);
        for (const QString *text : {&status.mode, &status.dxCall, &status.report, &status.txMode})
            appendText(out, *text);
        for (const bool flag : {status.txEnabled, status.transmitting, status.decoding})
            appendBool(out, flag);
        appendNumber<quint32>(out, status.rxDf);
        appendNumber<quint32>(out, status.txDf);
        for (const QString *text : {&status.deCall, &status.deGrid, &status.dxGrid})
            appendText(out, *text);
        break;
    }
    case WsjtxMessage::Kind::QsoLogged: {
        const WsjtxMessage::QsoLogged &qso = message.qso;
        appendDateTime(out, qso.timeOff);
        appendText(out, qso.dxCall);
        appendText(out, qso.dxGrid);
        appendNumber<quint64>(out, qso.txFrequencyHz);
        for (const QString *text : {&qso.mode, &qso.reportSent, &qso.reportReceived, &qso.txPower, &qso.comments, &qso.name})
            appendText(out, *text);
        appendDateTime(out, qso.timeOn);
        for (const QString *text : {&qso.operatorCall, &qso.myCall, &qso.myGrid, &qso.exchangeSent,
                                    &qso.exchangeReceived, &qso.propagationMode})
            appendText(out, *text);
        break;
    }
    case WsjtxMessage::Kind::LoggedAdif: appendBytes(out, message.adif); break;
    case WsjtxMessage::Kind::Close:
    case WsjtxMessage::Kind::Unknown: break;
    }
    return out;
}
