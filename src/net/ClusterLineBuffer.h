#pragma once

#include <QByteArray>
#include <QList>

// Cuts the byte stream of a cluster connection into lines, however the bytes arrive.
// A line ends at CR, LF or BEL (clusters ring the bell after a spot), so "\r\n", "\a\a"
// and the like end one line and make no empty ones. The telnet protocol's own commands
// (IAC sequences, option negotiation) are no text and are dropped, even when a read
// splits them. A line without its end is kept until the end arrives; one that grows
// beyond maxLineLength is handed out in pieces of that length, so a peer that never
// ends a line cannot fill the memory.
class ClusterLineBuffer
{
public:
    static constexpr int kMaxLineLength = 4096;

    explicit ClusterLineBuffer(int maxLineLength = kMaxLineLength);

    // The lines the bytes complete, in order, without their ends.
    QList<QByteArray> feed(const QByteArray &bytes);
    // What has come of the line not yet ended (a prompt such as "login: " waits here).
    const QByteArray &pending() const { return m_pending; }
    // Forgets the pending line (a prompt that has been answered).
    void dropPending() { m_pending.clear(); }
    // Forgets the pending line and any half-read telnet command (a new connection).
    void clear();

private:
    enum class Telnet { Data, Command, Option, Subnegotiation, SubnegotiationCommand };

    bool takeTelnet(unsigned char byte);

    int m_maxLineLength;
    QByteArray m_pending;
    Telnet m_telnet = Telnet::Data;
};
