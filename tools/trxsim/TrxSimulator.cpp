#include "TrxSimulator.h"

#include <QtEndian>

namespace {

struct NamedMode
{
    const char *name;
    TrxMode mode;
};

constexpr quint8 kOtherSideband = 0x80; // FT-1000mp status byte 8
constexpr quint8 kRttyLower = 0x00;     // FT-897 digital sub-modes, memory byte 0x78
constexpr quint8 kUserUpper = 0xA0;

const NamedMode kModes[] = {
    {"LSB", {0x00, 0, 0, 0}},
    {"USB", {0x01, 1, 0, 0}},
    {"CW", {0x02, 2, 0, kOtherSideband}},
    {"CWR", {0x03, 2, 0, 0}},
    {"AM", {0x04, 3, 0, 0}},
    {"FM", {0x08, 4, 0, 0}},
    {"FMN", {0x88, 4, 0, 0}},
    {"DIG", {0x0A, 5, kUserUpper, 0}},
    {"PKT", {0x0C, 6, 0, 0}},
    {"RTTY", {0x0A, 5, kRttyLower, 0}},
};

constexpr char kFt897Read = 0x03;
constexpr char kFt897MemoryRead = char(0xBB);
constexpr char kFt897TxStatus = char(0xF7);
constexpr char kFt1000mpUpdate = 0x10;
constexpr char kFt1000mpFlags = char(0xFA);
constexpr char kFt1000mpPacing = 0x0E;
constexpr char kCurrentVfo = 0x02;
constexpr char kBothVfos = 0x03;
constexpr quint16 kDigitalModeAddress = 0x78;
// Transmit status: bit 7 set while the transmitter is off.
constexpr char kReceiving = char(0x80);
constexpr int kFlagBytes = 5;

bool zeroParameters(const QByteArray &frame, int count)
{
    for (int i = 0; i < count; ++i) {
        if (frame.at(i) != 0)
            return false;
    }
    return true;
}

} // namespace

TrxSimulator::TrxSimulator(qint64 frequencyHz, TrxMode mode, Reply reply)
    : m_frequencyHz(frequencyHz)
    , m_mode(mode)
    , m_reply(reply)
{
}

std::optional<TrxMode> TrxSimulator::modeByName(const QString &name)
{
    for (const NamedMode &entry : kModes) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return entry.mode;
    }
    return std::nullopt;
}

QStringList TrxSimulator::modeNames()
{
    QStringList names;
    for (const NamedMode &entry : kModes)
        names.append(QLatin1String(entry.name));
    return names;
}

QByteArray TrxSimulator::ft897Reply(qint64 frequencyHz, quint8 mode)
{
    const QByteArray digits = QByteArray::number(frequencyHz / 10 % 100000000).rightJustified(8, '0');
    QByteArray reply;
    for (int i = 0; i < 8; i += 2)
        reply.append(static_cast<char>(((digits.at(i) - '0') << 4) | (digits.at(i + 1) - '0')));
    reply.append(static_cast<char>(mode));
    return reply;
}

QByteArray TrxSimulator::ft1000mpReply(qint64 frequencyHz, quint8 mode, quint8 flags)
{
    QByteArray reply(16, '\0');
    const auto units = static_cast<quint32>(frequencyHz * 8 / 5);
    qToBigEndian(units, reply.data() + 1);
    reply[7] = static_cast<char>(mode);
    reply[8] = static_cast<char>(flags);
    return reply;
}

bool TrxSimulator::knows(const QByteArray &frame)
{
    if (frame.size() != 5)
        return false;
    switch (frame.at(4)) {
    case kFt897Read:
    case kFt897TxStatus:
    case kFt1000mpFlags:
    case kFt1000mpPacing:
        return zeroParameters(frame, 4);
    case kFt897MemoryRead:
        return frame.at(2) == 0 && frame.at(3) == 0;
    case kFt1000mpUpdate:
        return zeroParameters(frame, 3) && (frame.at(3) == kCurrentVfo || frame.at(3) == kBothVfos);
    default:
        return false;
    }
}

QByteArray TrxSimulator::answer(const QByteArray &frame) const
{
    const QByteArray reply = knows(frame) ? fullAnswer(frame) : QByteArray();
    switch (m_reply) {
    case Reply::Full:
        return reply;
    case Reply::Short:
        return reply.left(reply.size() - 1);
    case Reply::None:
        break;
    }
    return QByteArray();
}

QByteArray TrxSimulator::fullAnswer(const QByteArray &frame) const
{
    switch (frame.at(4)) {
    case kFt897Read:
        return ft897Reply(m_frequencyHz, m_mode.ft897);
    case kFt897MemoryRead: {
        const quint16 address = qFromBigEndian<quint16>(frame.constData());
        QByteArray memory(2, '\0');
        if (address == kDigitalModeAddress)
            memory[0] = static_cast<char>(m_mode.ft897Digital);
        return memory;
    }
    case kFt897TxStatus:
        return QByteArray(1, kReceiving);
    case kFt1000mpUpdate: {
        const QByteArray vfo = ft1000mpReply(m_frequencyHz, m_mode.ft1000mp, m_mode.ft1000mpFlags);
        return frame.at(3) == kBothVfos ? vfo + vfo : vfo;
    }
    case kFt1000mpFlags:
        return QByteArray(kFlagBytes, '\0');
    default: // pacing
        return QByteArray();
    }
}
