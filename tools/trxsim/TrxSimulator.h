#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// One operating mode as the two transceiver types report it: the FT-897's mode byte and
// the FT-1000mp's mode code (the low 3 bits of status byte 7).
struct TrxMode
{
    quint8 ft897 = 0;
    quint8 ft1000mp = 0;
};

// A transceiver that answers the frequency-and-mode read commands of the FT-897
// (00 00 00 00 03) and the FT-1000mp (00 00 00 02 10) for one frequency and mode.
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
    // the mode code in byte 7; the rest zero.
    static QByteArray ft1000mpReply(qint64 frequencyHz, quint8 mode);

    // What goes back for one 5-byte command frame: empty for a frame it does not know.
    QByteArray answer(const QByteArray &frame) const;

private:
    qint64 m_frequencyHz;
    TrxMode m_mode;
    Reply m_reply;
};
