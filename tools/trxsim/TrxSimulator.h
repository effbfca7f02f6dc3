#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// One operating mode as the two transceiver types report it: the FT-897's mode byte and
// the sub-mode of its digital mode (memory byte 0x78, the top three bits: 0 RTTY-L,
// 1 RTTY-U, 2 PSK31-L, 3 PSK31-U, 4 USER-L, 5 USER-U); the FT-1000mp's mode code (the
// low 3 bits of status byte 7) and its mode flags (status byte 8, where 0x80 picks the
// other sideband or variant of the mode: CW instead of CW reverse, for one).
struct TrxMode
{
    quint8 ft897 = 0;
    quint8 ft1000mp = 0;
    quint8 ft897Digital = 0;
    quint8 ft1000mpFlags = 0;
};

// A transceiver that answers the CAT commands of the FT-897 and the FT-1000mp that the
// logbook and Hamlib send to read frequency and mode, for one frequency and mode:
//   FT-897:    00 00 00 00 03 frequency and mode (5 bytes), AA AA 00 00 BB memory read
//              at address AAAA (2 bytes), 00 00 00 00 F7 transmit status (1 byte)
//   FT-1000mp: 00 00 00 02 10 status of the current VFO (16 bytes), 00 00 00 03 10 both
//              VFOs (32 bytes), 00 00 00 00 FA status flags (5 bytes), 00 00 00 00 0E
//              pacing (no answer)
class TrxSimulator
{
public:
    // Full: the whole reply. Short: the reply without its last byte. None: no reply.
    enum class Reply { Full, Short, None };

    TrxSimulator(qint64 frequencyHz, TrxMode mode, Reply reply = Reply::Full);

    // LSB, USB, CW, CWR, AM, FM, FMN (FM narrow), DIG, PKT, RTTY; case does not matter.
    static std::optional<TrxMode> modeByName(const QString &name);
    static QStringList modeNames();

    // 5 bytes: the frequency in 10 Hz units as 8 packed decimal digits, then the mode byte.
    static QByteArray ft897Reply(qint64 frequencyHz, quint8 mode);
    // 16 bytes: the frequency in 0.625 Hz units in bytes 1 to 4, most significant first,
    // the mode code in byte 7, the mode flags in byte 8; the rest zero.
    static QByteArray ft1000mpReply(qint64 frequencyHz, quint8 mode, quint8 flags = 0);

    // Whether `frame` (5 bytes) is one of the commands above.
    static bool knows(const QByteArray &frame);
    // What goes back for one 5-byte command frame: empty for a frame it does not know
    // and for a command the radio does not answer.
    QByteArray answer(const QByteArray &frame) const;

private:
    QByteArray fullAnswer(const QByteArray &frame) const;

    qint64 m_frequencyHz;
    TrxMode m_mode;
    Reply m_reply;
};
