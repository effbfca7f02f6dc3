#include "TrxDecoding.h"

#include "store/BandPlan.h"
#include "store/QsoModes.h"

#include <QtEndian>

namespace TrxDecoding {

namespace {

constexpr int kFt897ReplyLength = 5;
constexpr int kFt1000mpReplyLength = 16;
constexpr int kMaxFt897Text = 8;
constexpr unsigned char kNarrowFlag = 0x80;
constexpr int kUnitsPer100Hz = 160; // 0.625 Hz units

// MFC-style insert: an index before the start inserts at the start.
void insertAt(QString &text, int index, QChar c)
{
    text.insert(qMax(0, index), c);
}

// MHz.kHz.100 Hz digits as the FT-897 path shows them: no leading "0" or ".", and at
// most 8 characters, without a "." at the end.
QString trimmedFrequencyText(QString text)
{
    int lead = 0;
    while (lead < text.size() && (text.at(lead) == QLatin1Char('0') || text.at(lead) == QLatin1Char('.')))
        ++lead;
    text.remove(0, lead);
    if (text.size() > kMaxFt897Text) {
        text.truncate(kMaxFt897Text);
        while (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

} // namespace

QByteArray commandFrame(int rig)
{
    switch (rig) {
    case TrxFt897:
        return QByteArray::fromHex("0000000003");
    case TrxFt1000mp:
        return QByteArray::fromHex("0000000210");
    default:
        return QByteArray();
    }
}

int replyLength(int rig)
{
    switch (rig) {
    case TrxFt897:
        return kFt897ReplyLength;
    case TrxFt1000mp:
        return kFt1000mpReplyLength;
    default:
        return 0;
    }
}

QString ft897FrequencyText(const QByteArray &reply)
{
    QString text = QString::fromLatin1(reply.left(4).toHex()); // 8 digits, lower case
    text.remove(7, 1);                                          // the 10 Hz digit
    text.insert(3, QLatin1Char('.'));
    text.insert(7, QLatin1Char('.'));
    return trimmedFrequencyText(text);
}

int ft897ModePosition(unsigned char modeCode)
{
    switch (modeCode & ~kNarrowFlag) {
    case 0x00:
    case 0x01:
        return 1;
    case 0x04:
        return 4;
    case 0x06:
    case 0x08:
        return 3;
    case 0x0A:
    case 0x0C:
        return 2;
    default: // 2 and 3 (CW) and every code the table does not know
        return 0;
    }
}

QString ft1000mpFrequencyText(const QByteArray &reply)
{
    const auto *bytes = reinterpret_cast<const uchar *>(reply.constData()) + 1;
    const qint32 units = qFromBigEndian<qint32>(bytes);
    QString text = QString::number(units / kUnitsPer100Hz);
    insertAt(text, text.size() - 1, QLatin1Char('.'));
    insertAt(text, text.size() - 5, QLatin1Char('.'));
    return text;
}

int ft1000mpModePosition(unsigned char modeByte)
{
    static const int positions[8] = {1, 1, 0, 4, 3, 2, 2, 0};
    return positions[modeByte & 0x07];
}

// The 100 Hz units with at least the FT-897's 7 digits, points before the last 4 and the
// last digit; 1 GHz and more keep their leading digit.
QString frequencyTextOfHz(qint64 hz)
{
    QString text = QString::number(qMax<qint64>(0, hz) / 100).rightJustified(7, QLatin1Char('0'));
    text.insert(text.size() - 1, QLatin1Char('.'));
    text.insert(text.size() - 5, QLatin1Char('.'));
    return trimmedFrequencyText(text);
}

QString reportsForModePosition(int position)
{
    // The form's mode list holds the modes in code order.
    return QsoModes::defaultReport(position + 1);
}

TrxReading decodeReply(int rig, const QByteArray &reply)
{
    TrxReading reading;
    if (rig == TrxFt897 && reply.size() >= kFt897ReplyLength) {
        reading.frequency = ft897FrequencyText(reply);
        reading.modePosition = ft897ModePosition(static_cast<uchar>(reply.at(4)));
    } else if (rig == TrxFt1000mp && reply.size() >= kFt1000mpReplyLength) {
        reading.frequency = ft1000mpFrequencyText(reply);
        reading.modePosition = ft1000mpModePosition(static_cast<uchar>(reply.at(7)));
    }
    return completedReading(reading.frequency, reading.modePosition);
}

TrxReading completedReading(const QString &frequency, int modePosition)
{
    TrxReading reading;
    reading.frequency = frequency;
    reading.band = BandPlan::bandOf(frequency.toLatin1());
    reading.modePosition = modePosition;
    reading.reports = reportsForModePosition(modePosition);
    return reading;
}

} // namespace TrxDecoding
