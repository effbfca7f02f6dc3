// Feeds arbitrary bytes to the reply decoding of the FT-897 and the FT-1000mp, as the
// serial driver hands it a complete reply, and checks what the entry form relies on:
// - a mode position of the form's list (0 to 4), with the reports of that position and
//   the band of the frequency text;
// - FT-897: a text of at most 8 characters, hexadecimal digits and points, without a
//   leading "0" or "." and without a "." at the end when it was cut;
// - FT-1000mp: a decimal number with its two points, the last one before one digit;
// - a reply too short for its type, or a type without a serial reply, reads as nothing.
// The bytes are also read as a frequency in Hz, as the Hamlib path gives one, and as a
// frequency text of the band plan.
#include "FuzzCheck.h"

#include "rig/TrxDecoding.h"
#include "store/BandPlan.h"

#include <QtEndian>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

namespace {

constexpr int kModePositions = 5;

void checkReading(const TrxReading &reading, const char *type)
{
    fuzzCheck(reading.modePosition >= 0 && reading.modePosition < kModePositions, type,
              QByteArray::number(reading.modePosition), "0 to 4");
    fuzzCheck(reading.reports == TrxDecoding::reportsForModePosition(reading.modePosition),
              "the reports go with the mode", reading.reports.toLatin1());
    fuzzCheck(reading.band == BandPlan::bandOf(reading.frequency.toLatin1()), "the band goes with the frequency",
              reading.band.toLatin1(), reading.frequency.toLatin1());
}

bool onlyOf(const QString &text, const char *characters)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7f || !std::strchr(characters, c.toLatin1()))
            return false;
    }
    return true;
}

// The reply decoded for the type, checked as every reading; nothing for a reply too
// short for the type, which must read as nothing.
std::optional<TrxReading> wholeReading(int rig, const QByteArray &reply)
{
    const TrxReading reading = TrxDecoding::decodeReply(rig, reply);
    checkReading(reading, rig == TrxFt897 ? "FT-897 mode position" : "FT-1000mp mode position");
    if (reply.size() >= TrxDecoding::replyLength(rig))
        return reading;
    fuzzCheck(reading.frequency.isEmpty() && reading.modePosition == 0, "a short reply reads as nothing",
              QByteArray::number(rig));
    return std::nullopt;
}

void checkFt897(const QByteArray &reply)
{
    const std::optional<TrxReading> reading = wholeReading(TrxFt897, reply);
    if (!reading)
        return;
    const QString &text = reading->frequency;
    fuzzCheck(text.size() <= 8 && onlyOf(text, "0123456789abcdef."), "FT-897 text: 8 digits and points at most",
              text.toLatin1());
    fuzzCheck(!text.startsWith(QLatin1Char('0')) && !text.startsWith(QLatin1Char('.')),
              "FT-897 text: no leading zero or point", text.toLatin1());
    fuzzCheck(text.count(QLatin1Char('.')) <= 2, "FT-897 text: two points at most", text.toLatin1());
    fuzzCheck(reading->modePosition == TrxDecoding::ft897ModePosition(static_cast<uchar>(reply.at(4))),
              "FT-897 mode from byte 4");
}

void checkFt1000mp(const QByteArray &reply)
{
    const std::optional<TrxReading> reading = wholeReading(TrxFt1000mp, reply);
    if (!reading)
        return;
    const QString &text = reading->frequency;
    fuzzCheck(onlyOf(text, "-0123456789.") && text.count(QLatin1Char('.')) == 2,
              "FT-1000mp text: a number with two points", text.toLatin1());
    fuzzCheck(text.size() >= 3 && text.at(text.size() - 2) == QLatin1Char('.'),
              "FT-1000mp text: the 100 Hz digit after the last point", text.toLatin1());
    fuzzCheck(reading->modePosition == TrxDecoding::ft1000mpModePosition(static_cast<uchar>(reply.at(7))),
              "FT-1000mp mode from byte 7");
}

void checkOtherTypes(const QByteArray &reply)
{
    for (const int rig : {int(TrxNone), int(TrxHamlib), -1, 99}) {
        const TrxReading reading = TrxDecoding::decodeReply(rig, reply);
        fuzzCheck(reading.frequency.isEmpty() && reading.modePosition == 0 && reading.reports == QLatin1String("599"),
                  "a type without serial replies reads as nothing");
        fuzzCheck(TrxDecoding::commandFrame(rig).isEmpty() && TrxDecoding::replyLength(rig) == 0,
                  "a type without serial replies has no command");
    }
}

// The first 8 bytes as a frequency in Hz.
void checkHzText(const QByteArray &bytes)
{
    if (bytes.size() < 8)
        return;
    const qint64 hz = qFromBigEndian<qint64>(bytes.constData());
    const QString text = TrxDecoding::frequencyTextOfHz(hz);
    fuzzCheck(onlyOf(text, "0123456789.") && !text.startsWith(QLatin1Char('0')) && !text.endsWith(QLatin1Char('.')),
              "a frequency in Hz as the FT-897 writes it", text.toLatin1());
    checkReading(TrxDecoding::completedReading(text, 0), "completed reading");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray reply(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    checkFt897(reply);
    checkFt1000mp(reply);
    checkOtherTypes(reply);
    checkHzText(reply);
    BandPlan::bandOf(reply);
    return 0;
}
