#include "DxSpotParser.h"

#include <QRegularExpression>

namespace {

// "DX de", the spotter up to its colon, the frequency in kHz (up to 9 digits: 241 GHz is
// 241000000.0), the spotted call, then everything up to the last "HHMMZ" of the line is
// the comment (an over-long one may touch the time), and at most one word after the time,
// which is the spotter's grid when it reads as a locator. The call and the frequency
// are taken whole (possessive), so that a column pushed against the next one does not
// split a word into two fields.
const QRegularExpression &spotPattern()
{
    static const QRegularExpression pattern(QStringLiteral(
        "^\\s*(?i:DX de)\\s+([^\\s:]++)\\s*:\\s*([0-9]{1,9}+(?:\\.[0-9]*+)?)\\s+(\\S++)(.*)"
        "([0-9]{2})([0-9]{2})Z(?:\\s+(\\S+))?\\s*$"));
    return pattern;
}

// Letters, digits and strokes, with at least one letter and one digit: "K1ABC",
// "VP2E/K1ABC", "4U1UN". Keeps a word of a garbled line from passing for a call.
bool looksLikeCall(const QString &call)
{
    static const QRegularExpression pattern(QStringLiteral("^(?=.*[A-Z])(?=.*[0-9])[A-Z0-9/]{3,20}$"));
    return pattern.match(call).hasMatch();
}

bool looksLikeGrid(const QString &word)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Ra-r]{2}[0-9]{2}(?:[A-Xa-x]{2})?$"));
    return pattern.match(word).hasMatch();
}

} // namespace

namespace DxSpotParser {

std::optional<DxSpot> parse(const QString &line)
{
    const QRegularExpressionMatch match = spotPattern().match(line);
    if (!match.hasMatch())
        return std::nullopt;
    const int hour = match.captured(5).toInt();
    const int minute = match.captured(6).toInt();
    const double frequency = match.captured(2).toDouble();
    DxSpot spot;
    spot.dxCall = match.captured(3).toUpper();
    if (hour > 23 || minute > 59 || !(frequency > 0) || !looksLikeCall(spot.dxCall))
        return std::nullopt;
    spot.spotter = match.captured(1).toUpper();
    spot.frequencyKHz = frequency;
    spot.comment = match.captured(4).trimmed();
    spot.time = QTime(hour, minute);
    const QString afterTime = match.captured(7);
    if (looksLikeGrid(afterTime))
        spot.grid = afterTime;
    spot.line = line;
    return spot;
}

LineKind kindOf(const QString &line)
{
    static const QRegularExpression wwv(QStringLiteral("^\\s*WWV de\\s"));
    static const QRegularExpression wcy(QStringLiteral("^\\s*WCY de\\s"));
    static const QRegularExpression announcement(QStringLiteral("^\\s*To (?:ALL|LOCAL) de\\s"));
    if (parse(line))
        return LineKind::Spot;
    if (wwv.match(line).hasMatch())
        return LineKind::Wwv;
    if (wcy.match(line).hasMatch())
        return LineKind::Wcy;
    if (announcement.match(line).hasMatch())
        return LineKind::Announcement;
    return LineKind::Text;
}

} // namespace DxSpotParser
