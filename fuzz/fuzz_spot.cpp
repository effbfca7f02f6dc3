// Feeds arbitrary bytes to a cluster connection's reading and checks what the cluster
// window and the click to tune rely on:
// - the bytes give the same lines however a read cuts them (at the place the first
//   byte names), and no line holds a line end, a bell or more than the longest length;
// - a line is a spot exactly when its kind says so; a spot's spotter is one word without
//   a colon, its call capitals, digits and strokes, its frequency above 0 and below
//   1e9 kHz, its time valid, its grid a locator or nothing, its comment without blanks
//   around it and its line the line itself;
// - a spot written again in the cluster's columns reads as the same spot;
// - the mode guessed for any frequency (also the first 8 bytes read as a double) is one
//   of the known names, and the band plan gives a mode only inside a band.
#include "FuzzCheck.h"

#include "net/ClusterLineBuffer.h"
#include "net/DxSpotParser.h"
#include "net/SpotModeGuess.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kMaxLine = 512;

void checkMode(double frequencyKHz, const QString &comment)
{
    static const QStringList known{"", "CW", "SSB", "FM", "AM", "RTTY", "FT8", "FT4", "JS8", "PSK31", "PSK63",
                                   "JT65", "JT9", "Q65", "MSK144", "FST4", "SSTV", "OLIVIA"};
    const QString mode = SpotModeGuess::mode(frequencyKHz, comment);
    fuzzCheck(known.contains(mode), "a known mode name", mode.toUtf8());
    fuzzCheck(SpotModeGuess::modeOfFrequency(frequencyKHz).isEmpty() || !SpotModeGuess::band(frequencyKHz).isEmpty(),
              "the band plan names a mode only inside a band", QByteArray::number(frequencyKHz, 'g', 17));
}

void checkSpot(const DxSpot &spot, const QString &line)
{
    static const QRegularExpression call(QStringLiteral("^[A-Z0-9/]{3,20}$"));
    static const QRegularExpression grid(QStringLiteral("^(?:[A-Ra-r]{2}[0-9]{2}(?:[A-Xa-x]{2})?)?$"));
    static const QRegularExpression spotter(QStringLiteral("^[^\\s:]+$"));
    fuzzCheck(spotter.match(spot.spotter).hasMatch(), "the spotter is one word", spot.spotter.toUtf8());
    fuzzCheck(call.match(spot.dxCall).hasMatch(), "the call is capitals, digits and strokes", spot.dxCall.toUtf8());
    fuzzCheck(spot.frequencyKHz > 0 && spot.frequencyKHz < 1e9, "a frequency of up to 9 digits",
              QByteArray::number(spot.frequencyKHz, 'g', 17));
    fuzzCheck(spot.time.isValid(), "a valid time");
    fuzzCheck(grid.match(spot.grid).hasMatch(), "a locator or no grid", spot.grid.toUtf8());
    fuzzCheck(spot.comment == spot.comment.trimmed(), "no blanks around the comment", spot.comment.toUtf8());
    fuzzCheck(spot.line == line, "the line as it came");

    const QString again = QStringLiteral("DX de %1:  %2  %3  %4  %5Z %6")
                              .arg(spot.spotter, QString::number(spot.frequencyKHz, 'g', 17), spot.dxCall,
                                   spot.comment, spot.time.toString(QStringLiteral("HHmm")), spot.grid);
    const std::optional<DxSpot> reread = DxSpotParser::parse(again);
    fuzzCheck(reread.has_value(), "a spot written in columns reads again", again.toUtf8());
    DxSpot expected = spot;
    expected.line = again;
    fuzzCheck(*reread == expected, "a spot written in columns reads as the same spot", again.toUtf8(),
              reread->comment.toUtf8() + '|' + reread->dxCall.toUtf8() + '|' + reread->grid.toUtf8());
}

void checkLine(const QByteArray &bytes)
{
    fuzzCheck(bytes.size() <= kMaxLine && !bytes.contains('\r') && !bytes.contains('\n') && !bytes.contains('\a'),
              "a line without line ends and not too long", bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString line = utf8(bytes);
    if (utf8.hasError())
        line = QString::fromLatin1(bytes);
    const std::optional<DxSpot> spot = DxSpotParser::parse(line);
    fuzzCheck(spot.has_value() == (DxSpotParser::kindOf(line) == DxSpotParser::LineKind::Spot),
              "a spot exactly when the kind says so", bytes);
    if (spot) {
        checkSpot(*spot, line);
        checkMode(spot->frequencyKHz, spot->comment);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    ClusterLineBuffer whole(kMaxLine);
    const QList<QByteArray> lines = whole.feed(bytes);

    ClusterLineBuffer cut(kMaxLine);
    const qsizetype at = bytes.isEmpty() ? 0 : static_cast<uchar>(bytes.front()) % (bytes.size() + 1);
    QList<QByteArray> pieces = cut.feed(bytes.left(at));
    pieces += cut.feed(bytes.mid(at));
    fuzzCheck(pieces == lines && cut.pending() == whole.pending(), "the same lines however a read cuts the bytes");

    for (const QByteArray &line : lines)
        checkLine(line);
    checkLine(whole.pending());

    if (size >= sizeof(double)) {
        double frequency = 0;
        std::memcpy(&frequency, data, sizeof frequency);
        checkMode(frequency, QString::fromLatin1(bytes.mid(sizeof frequency)));
    }
    return 0;
}
