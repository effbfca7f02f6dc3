#include "WsjtxMessage.h"

#include <QTimeZone>
#include <QtEndian>

namespace {

constexpr quint32 kNullLength = 0xffffffff;
constexpr quint32 kMsecsPerDay = 24 * 60 * 60 * 1000;

// Reads the fields of one datagram front to back. Nothing is read past its end: a
// field that does not fit fails the reader, and every later read gives a default.
class WireReader
{
public:
    explicit WireReader(const QByteArray &bytes)
        : m_bytes(bytes)
    {
    }

    bool failed() const { return m_failed; }
    QString why() const { return m_why; }
    // Whether another field starts here.
    bool more() const { return !m_failed && m_pos < m_bytes.size(); }

    void read(quint32 &value) { value = number<quint32>(); }
    void read(quint64 &value) { value = number<quint64>(); }
    void read(bool &value) { value = number<quint8>() != 0; }
    void read(QString &value) { value = QString::fromUtf8(utf8()); }
    void read(QByteArray &value) { value = utf8(); }
    void read(QDateTime &value) { value = dateTime(); }
    // The same for a field that later senders added: read only when there is more.
    template <typename T>
    void readIfMore(T &value)
    {
        if (more())
            read(value);
    }

    void fail(const QString &why)
    {
        if (!m_failed)
            m_why = why;
        m_failed = true;
    }

private:
    // The next `size` bytes, or null (and the reader failed) when fewer are left.
    const char *take(qint64 size)
    {
        if (m_failed || size > m_bytes.size() - m_pos) {
            fail(QString());
            return nullptr;
        }
        const char *at = m_bytes.constData() + m_pos;
        m_pos += size;
        return at;
    }

    template <typename T>
    T number()
    {
        const char *at = take(sizeof(T));
        return at ? qFromBigEndian<T>(at) : T();
    }

    QByteArray utf8()
    {
        const quint32 length = number<quint32>();
        if (length == kNullLength)
            return QByteArray();
        const char *at = take(length);
        return at ? QByteArray(at, length) : QByteArray();
    }

    // A QString: UTF-16 in big-endian order, its length in bytes.
    QString utf16()
    {
        const quint32 length = number<quint32>();
        if (length == kNullLength)
            return QString();
        if (length % 2 != 0) {
            fail(QStringLiteral("a text of an odd number of bytes"));
            return QString();
        }
        const char *at = take(length);
        if (!at)
            return QString();
        QString text(static_cast<qsizetype>(length / 2), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            text[i] = QChar(qFromBigEndian<quint16>(at + 2 * i));
        return text;
    }

    QDateTime dateTime()
    {
        const qint64 julianDay = number<qint64>();
        const quint32 msecs = number<quint32>();
        const quint8 spec = number<quint8>();
        // The clock reading as if it were UTC, then moved by the offset the spec gives.
        const QDate date = QDate::fromJulianDay(julianDay);
        const QTime time = msecs < kMsecsPerDay ? QTime::fromMSecsSinceStartOfDay(static_cast<int>(msecs)) : QTime();
        const bool valid = date.isValid() && time.isValid();
        switch (spec) {
        case 0: // local time: JTDX sends its UTC times so
        case 1:
            return valid ? QDateTime(date, time, Qt::UTC) : QDateTime();
        case 2: {
            const qint32 offsetSeconds = static_cast<qint32>(number<quint32>());
            return valid ? QDateTime(date, time, Qt::UTC).addSecs(-offsetSeconds) : QDateTime();
        }
        case 3:
            return zonedDateTime(date, time, valid);
        default:
            fail(QStringLiteral("a time of unknown time spec %1").arg(spec));
            return QDateTime();
        }
    }

    // The time zone as QTimeZone writes itself: a zone's IANA Id, or "OffsetFromUtc"
    // followed by its Id, offset in seconds, name, abbreviation, territory and comment.
    QDateTime zonedDateTime(QDate date, QTime time, bool valid)
    {
        const QString zoneId = utf16();
        if (zoneId == QLatin1String("OffsetFromUtc")) {
            utf16();
            const qint32 offsetSeconds = static_cast<qint32>(number<quint32>());
            utf16();
            utf16();
            number<quint32>();
            utf16();
            return valid ? QDateTime(date, time, Qt::UTC).addSecs(-offsetSeconds) : QDateTime();
        }
        if (m_failed)
            return QDateTime();
        const QByteArray ianaId = zoneId.toUtf8();
        if (!QTimeZone::isTimeZoneIdAvailable(ianaId)) {
            fail(QStringLiteral("a time in the unknown time zone \"%1\"").arg(zoneId));
            return QDateTime();
        }
        return valid ? QDateTime(date, time, QTimeZone(ianaId)).toUTC() : QDateTime();
    }

    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
    bool m_failed = false;
    QString m_why;
};

QString typeName(quint32 type)
{
    switch (WsjtxMessage::kindOfType(type)) {
    case WsjtxMessage::Kind::Heartbeat: return QStringLiteral("Heartbeat");
    case WsjtxMessage::Kind::Status: return QStringLiteral("Status");
    case WsjtxMessage::Kind::QsoLogged: return QStringLiteral("QSO Logged");
    case WsjtxMessage::Kind::Close: return QStringLiteral("Close");
    case WsjtxMessage::Kind::LoggedAdif: return QStringLiteral("Logged ADIF");
    case WsjtxMessage::Kind::Unknown: break;
    }
    return QStringLiteral("type %1").arg(type);
}

void readHeartbeat(WireReader &reader, WsjtxMessage::Heartbeat &heartbeat)
{
    reader.readIfMore(heartbeat.maxSchema);
    reader.readIfMore(heartbeat.version);
    reader.readIfMore(heartbeat.revision);
}

// The first three fields are what every sender has written; the rest came later.
void readStatus(WireReader &reader, WsjtxStatus &status)
{
    reader.read(status.dialFrequencyHz);
    reader.read(status.mode);
    reader.read(status.dxCall);
    reader.readIfMore(status.report);
    reader.readIfMore(status.txMode);
    reader.readIfMore(status.txEnabled);
    reader.readIfMore(status.transmitting);
    reader.readIfMore(status.decoding);
    reader.readIfMore(status.rxDf);
    reader.readIfMore(status.txDf);
    reader.readIfMore(status.deCall);
    reader.readIfMore(status.deGrid);
    reader.readIfMore(status.dxGrid);
}

void readQsoLogged(WireReader &reader, WsjtxMessage::QsoLogged &qso)
{
    reader.read(qso.timeOff);
    reader.read(qso.dxCall);
    reader.read(qso.dxGrid);
    reader.read(qso.txFrequencyHz);
    reader.read(qso.mode);
    reader.read(qso.reportSent);
    reader.read(qso.reportReceived);
    reader.read(qso.txPower);
    reader.read(qso.comments);
    reader.read(qso.name);
    reader.readIfMore(qso.timeOn);
    reader.readIfMore(qso.operatorCall);
    reader.readIfMore(qso.myCall);
    reader.readIfMore(qso.myGrid);
    reader.readIfMore(qso.exchangeSent);
    reader.readIfMore(qso.exchangeReceived);
    reader.readIfMore(qso.propagationMode);
}

} // namespace

WsjtxMessage::Kind WsjtxMessage::kindOfType(quint32 type)
{
    switch (type) {
    case kHeartbeat: return Kind::Heartbeat;
    case kStatus: return Kind::Status;
    case kQsoLogged: return Kind::QsoLogged;
    case kClose: return Kind::Close;
    case kLoggedAdif: return Kind::LoggedAdif;
    default: return Kind::Unknown;
    }
}

std::optional<WsjtxMessage> WsjtxMessage::decode(const QByteArray &datagram, QString *why)
{
    const auto refuse = [why](const QString &reason) -> std::optional<WsjtxMessage> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    WireReader reader(datagram);
    quint32 magic = 0;
    WsjtxMessage message;
    reader.read(magic);
    if (!reader.failed() && magic != kMagic)
        return refuse(QStringLiteral("not a WSJT-X datagram (magic 0x%1)").arg(magic, 8, 16, QLatin1Char('0')));
    reader.read(message.schema);
    if (!reader.failed() && message.schema != 2 && message.schema != 3)
        return refuse(QStringLiteral("WSJT-X schema %1 is not known").arg(message.schema));
    reader.read(message.type);
    reader.read(message.id);
    if (reader.failed())
        return refuse(QStringLiteral("shorter than a WSJT-X header (%1 bytes)").arg(datagram.size()));

    message.kind = kindOfType(message.type);
    switch (message.kind) {
    case Kind::Heartbeat: readHeartbeat(reader, message.heartbeat); break;
    case Kind::Status:
        readStatus(reader, message.status);
        message.status.id = message.id;
        break;
    case Kind::QsoLogged: readQsoLogged(reader, message.qso); break;
    case Kind::LoggedAdif: reader.read(message.adif); break;
    case Kind::Close:
    case Kind::Unknown: break;
    }
    if (reader.failed()) {
        const QString detail = reader.why().isEmpty() ? QStringLiteral("cut short") : reader.why();
        return refuse(QStringLiteral("a %1 message of %2 bytes: %3").arg(typeName(message.type)).arg(datagram.size()).arg(detail));
    }
    return message;
}

bool WsjtxMessage::QsoLogged::operator==(const QsoLogged &other) const
{
    return timeOff == other.timeOff && dxCall == other.dxCall && dxGrid == other.dxGrid
        && txFrequencyHz == other.txFrequencyHz && mode == other.mode && reportSent == other.reportSent
        && reportReceived == other.reportReceived && txPower == other.txPower && comments == other.comments
        && name == other.name && timeOn == other.timeOn && operatorCall == other.operatorCall && myCall == other.myCall
        && myGrid == other.myGrid && exchangeSent == other.exchangeSent && exchangeReceived == other.exchangeReceived
        && propagationMode == other.propagationMode;
}

bool WsjtxMessage::operator==(const WsjtxMessage &other) const
{
    return kind == other.kind && schema == other.schema && type == other.type && id == other.id
        && heartbeat == other.heartbeat && status == other.status && qso == other.qso && adif == other.adif;
}
