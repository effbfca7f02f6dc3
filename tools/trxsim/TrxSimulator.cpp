#include "TrxSimulator.h"

#include <QtEndian>

namespace {

struct NamedMode
{
    const char *name;
    TrxMode mode;
};

const NamedMode kModes[] = {
    {"LSB", {0x00, 0}}, {"USB", {0x01, 1}}, {"CW", {0x02, 2}},  {"CWR", {0x03, 2}}, {"AM", {0x04, 3}},
    {"FM", {0x08, 4}},  {"FMN", {0x88, 4}}, {"DIG", {0x0A, 5}}, {"PKT", {0x0C, 6}}, {"RTTY", {0x0A, 5}},
};

const QByteArray kFt897Read = QByteArray::fromHex("0000000003");
const QByteArray kFt1000mpStatus = QByteArray::fromHex("0000000210");

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

QByteArray TrxSimulator::ft1000mpReply(qint64 frequencyHz, quint8 mode)
{
    QByteArray reply(16, '\0');
    const auto units = static_cast<quint32>(frequencyHz * 8 / 5);
    qToBigEndian(units, reply.data() + 1);
    reply[7] = static_cast<char>(mode);
    return reply;
}

QByteArray TrxSimulator::answer(const QByteArray &frame) const
{
    QByteArray reply;
    if (frame == kFt897Read)
        reply = ft897Reply(m_frequencyHz, m_mode.ft897);
    else if (frame == kFt1000mpStatus)
        reply = ft1000mpReply(m_frequencyHz, m_mode.ft1000mp);
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
