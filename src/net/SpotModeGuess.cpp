#include "SpotModeGuess.h"

#include "store/BandPlan.h"

#include <QRegularExpression>
#include <QStringList>

#include <climits>

namespace {

// A frequency as whole kHz for the band plan, or -1 when it is no frequency an int holds.
int wholeKHz(double frequencyKHz)
{
    if (!(frequencyKHz >= 0 && frequencyKHz < double(INT_MAX)))
        return -1;
    return static_cast<int>(frequencyKHz);
}

struct ModeWord
{
    const char *word;
    const char *mode;
};

// Words of a comment that name a mode, and the mode they mean.
const ModeWord kModeWords[] = {
    {"CW", "CW"},       {"SSB", "SSB"},       {"USB", "SSB"},       {"LSB", "SSB"},     {"FM", "FM"},
    {"AM", "AM"},       {"RTTY", "RTTY"},     {"FT8", "FT8"},       {"FT4", "FT4"},     {"JS8", "JS8"},
    {"JS8CALL", "JS8"}, {"PSK31", "PSK31"},   {"BPSK31", "PSK31"},  {"PSK63", "PSK63"}, {"JT65", "JT65"},
    {"JT9", "JT9"},     {"Q65", "Q65"},       {"MSK144", "MSK144"}, {"FST4", "FST4"},   {"SSTV", "SSTV"},
    {"OLIVIA", "OLIVIA"},
};

// Where the modes sit in each band, in kHz. Below cwEnd: CW; from phoneStart on: SSB,
// and from fmStart on (0: none): FM; between cwEnd and phoneStart: the digital modes,
// which the logbook counts with RTTY. A band without phone has phoneStart above its top.
struct BandSegments
{
    int low;
    int cwEnd;
    int phoneStart;
    int fmStart;
};

const BandSegments kSegments[] = {
    {1800, 1838, 1843, 0},         {3500, 3570, 3600, 0},          {5300, 5354, 5354, 0},
    {7000, 7040, 7060, 0},         {10100, 10130, 10151, 0},       {14000, 14070, 14100, 0},
    {18000, 18095, 18110, 0},      {21000, 21070, 21150, 0},       {24800, 24915, 24930, 0},
    {28000, 28070, 28300, 29500},  {50000, 50100, 50100, 51000},   {70000, 70100, 70100, 70250},
    {144000, 144150, 144150, 145000}, {420000, 432100, 432100, 433000}, {1200000, 1296150, 1296150, 1297000},
};

// The dial frequencies of FT8 and FT4: their signals lie within 3 kHz above the dial.
struct DialFrequency
{
    double dialKHz;
    const char *mode;
};

const DialFrequency kDials[] = {
    {1840, "FT8"},   {3573, "FT8"},   {3575, "FT4"},   {5357, "FT8"},     {7047.5, "FT4"},  {7074, "FT8"},
    {10136, "FT8"},  {10140, "FT4"},  {14074, "FT8"},  {14080, "FT4"},    {18100, "FT8"},   {18104, "FT4"},
    {21074, "FT8"},  {21140, "FT4"},  {24915, "FT8"},  {24919, "FT4"},    {28074, "FT8"},   {28180, "FT4"},
    {50313, "FT8"},  {50318, "FT4"},  {144170, "FT4"}, {144174, "FT8"},
};
constexpr double kDialWidthKHz = 3.0;

// A skimmer's comment: the signal strength and the speed, "23 dB 24 WPM".
bool isSkimmerCw(const QStringList &words)
{
    return words.contains(QLatin1String("DB")) && words.contains(QLatin1String("WPM"));
}

} // namespace

namespace SpotModeGuess {

QString modeOfComment(const QString &comment)
{
    static const QRegularExpression separators(QStringLiteral("[^A-Z0-9]+"));
    const QStringList words = comment.toUpper().split(separators, Qt::SkipEmptyParts);
    for (const QString &word : words) {
        for (const ModeWord &known : kModeWords) {
            if (word == QLatin1String(known.word))
                return QString::fromLatin1(known.mode);
        }
    }
    return isSkimmerCw(words) ? QStringLiteral("CW") : QString();
}

QString modeOfFrequency(double frequencyKHz)
{
    const int khz = wholeKHz(frequencyKHz);
    if (BandPlan::bandOfKHz(khz).isEmpty())
        return QString();
    for (const DialFrequency &dial : kDials) {
        if (frequencyKHz >= dial.dialKHz && frequencyKHz <= dial.dialKHz + kDialWidthKHz)
            return QString::fromLatin1(dial.mode);
    }
    const BandSegments *segments = nullptr;
    for (const BandSegments &candidate : kSegments) {
        if (candidate.low <= khz)
            segments = &candidate;
    }
    if (!segments)
        return QString();
    if (khz < segments->cwEnd)
        return QStringLiteral("CW");
    if (segments->fmStart > 0 && khz >= segments->fmStart)
        return QStringLiteral("FM");
    if (khz >= segments->phoneStart)
        return QStringLiteral("SSB");
    return QStringLiteral("RTTY");
}

QString mode(double frequencyKHz, const QString &comment)
{
    const QString named = modeOfComment(comment);
    return named.isEmpty() ? modeOfFrequency(frequencyKHz) : named;
}

QString band(double frequencyKHz)
{
    return BandPlan::bandOfKHz(wholeKHz(frequencyKHz));
}

} // namespace SpotModeGuess
