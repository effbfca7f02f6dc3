#pragma once

#include "TrxReading.h"
#include "TrxType.h"

#include <QByteArray>
#include <QString>

// Command frames and reply decoding of the two transceiver types, and the frequency
// text of a reading in Hz, without any I/O.
namespace TrxDecoding {

// The 5-byte command that asks the transceiver for frequency and mode (four parameter
// bytes, then the opcode); empty for a type that is not known.
QByteArray commandFrame(int rig);
// The exact length of the reply to that command; 0 for a type that is not known.
int replyLength(int rig);

// FT-897: bytes 0 to 3 are 8 packed decimal digits in units of 10 Hz.
QString ft897FrequencyText(const QByteArray &reply);
// FT-897: the mode byte; its narrow flag (0x80) does not change the mode.
int ft897ModePosition(unsigned char modeCode);

// FT-1000mp: bytes 1 to 4 are a 32-bit count of 0.625 Hz, most significant first.
QString ft1000mpFrequencyText(const QByteArray &reply);
// FT-1000mp: the low 3 bits of byte 7.
int ft1000mpModePosition(unsigned char modeByte);

// A frequency in Hz as the FT-897 path writes it: "14.234.5", "144.000", "1296.000".
QString frequencyTextOfHz(qint64 hz);

// "59" for the phone modes, "599" for CW (position 0) and RTTY (position 2).
QString reportsForModePosition(int position);

// The reading of a frequency text and mode position: with its band and reports.
TrxReading completedReading(const QString &frequency, int modePosition);

// The reading of a complete reply of `rig`; frequency and band empty, position 0 and
// reports "599" for a type that is not known.
TrxReading decodeReply(int rig, const QByteArray &reply);

} // namespace TrxDecoding
