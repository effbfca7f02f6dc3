#include "ClusterLineBuffer.h"

#include <utility>

namespace {

constexpr unsigned char kIac = 255;  // "interpret as command"
constexpr unsigned char kSb = 250;   // subnegotiation begins
constexpr unsigned char kSe = 240;   // subnegotiation ends
constexpr unsigned char kWill = 251; // WILL, WONT, DO, DONT (251 to 254) name one option

bool endsLine(char byte)
{
    return byte == '\r' || byte == '\n' || byte == '\a';
}

} // namespace

ClusterLineBuffer::ClusterLineBuffer(int maxLineLength)
    : m_maxLineLength(maxLineLength > 0 ? maxLineLength : kMaxLineLength)
{
}

void ClusterLineBuffer::clear()
{
    m_pending.clear();
    m_telnet = Telnet::Data;
}

// True when the byte belongs to a telnet command and is no text.
bool ClusterLineBuffer::takeTelnet(unsigned char byte)
{
    switch (m_telnet) {
    case Telnet::Data:
        if (byte != kIac)
            return false;
        m_telnet = Telnet::Command;
        return true;
    case Telnet::Command:
        if (byte == kIac) { // IAC IAC is the byte 255 itself
            m_telnet = Telnet::Data;
            return false;
        }
        m_telnet = byte == kSb ? Telnet::Subnegotiation : byte >= kWill ? Telnet::Option : Telnet::Data;
        return true;
    case Telnet::Option:
        m_telnet = Telnet::Data;
        return true;
    case Telnet::Subnegotiation:
        if (byte == kIac)
            m_telnet = Telnet::SubnegotiationCommand;
        return true;
    case Telnet::SubnegotiationCommand:
        m_telnet = byte == kSe ? Telnet::Data : Telnet::Subnegotiation;
        return true;
    }
    return false;
}

QList<QByteArray> ClusterLineBuffer::feed(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    for (const char byte : bytes) {
        if (takeTelnet(static_cast<unsigned char>(byte)))
            continue;
        if (endsLine(byte)) {
            if (!m_pending.isEmpty())
                lines.append(std::exchange(m_pending, QByteArray()));
            continue;
        }
        m_pending.append(byte);
        if (m_pending.size() >= m_maxLineLength)
            lines.append(std::exchange(m_pending, QByteArray()));
    }
    return lines;
}
