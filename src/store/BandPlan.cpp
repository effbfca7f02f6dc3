#include "BandPlan.h"

#include "platform/Numbers.h"

#include <QRegularExpression>

#include <algorithm>
#include <iterator>

namespace {

struct BandRange
{
    const char *band;
    float lowMHz;
    float highMHz;
    int lowKHz;
    int highKHz;
};

// Searched in order. The MHz bounds are single precision like the reading they are
// compared with, so a text that names a bound ("1.8") lies on it.
const BandRange kBandRanges[] = {
    {"160", 1.8f, 2.0f, 1800, 2000},
    {"80", 3.5f, 4.0f, 3500, 4000},
    {"60", 5.3f, 5.4f, 5300, 5400},
    {"40", 7.0f, 7.3f, 7000, 7300},
    {"30", 10.1f, 10.15f, 10100, 10150},
    {"20", 14.0f, 14.5f, 14000, 14500},
    {"17", 18.0f, 18.5f, 18000, 18500},
    {"15", 21.0f, 21.5f, 21000, 21500},
    {"12", 24.8f, 25.0f, 24800, 25000},
    {"10", 28.0f, 30.0f, 28000, 30000},
    {"6", 50.0f, 54.0f, 50000, 54000},
    {"6", 70.0f, 71.0f, 70000, 71000},
    {"2", 144.0f, 148.0f, 144000, 148000},
    {"70", 420.0f, 450.0f, 420000, 450000},
    {"23", 1200.0f, 1300.0f, 1200000, 1300000},
};

bool inMHz(const BandRange &range, float mhz)
{
    return mhz >= range.lowMHz && mhz <= range.highMHz;
}

bool inKHz(const BandRange &range, int khz)
{
    return khz >= range.lowKHz && khz <= range.highKHz;
}

} // namespace

namespace BandPlan {

QString bandOfMHz(float mhz)
{
    for (const BandRange &range : kBandRanges) {
        if (inMHz(range, mhz))
            return QString::fromLatin1(range.band);
    }
    return QString();
}

bool isInBandMHz(float mhz)
{
    return std::any_of(std::begin(kBandRanges), std::end(kBandRanges),
                       [mhz](const BandRange &range) { return inMHz(range, mhz); });
}

QString bandOfKHz(int khz)
{
    for (const BandRange &range : kBandRanges) {
        if (inKHz(range, khz))
            return QString::fromLatin1(range.band);
    }
    return QString();
}

float readMHz(const QByteArray &text)
{
    // Always a point as the decimal separator, whatever the locale.
    static const QRegularExpression number(
        QStringLiteral("^\\s*([+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?)"));
    const QRegularExpressionMatch match = number.match(QString::fromLatin1(text));
    return match.hasMatch() ? match.captured(1).toFloat() : 0.0f;
}

int readKHz(const QByteArray &text)
{
    return Numbers::atoi(text);
}

QStringList bands()
{
    QStringList labels;
    for (const BandRange &range : kBandRanges) {
        if (!labels.contains(QLatin1String(range.band)))
            labels.append(QLatin1String(range.band));
    }
    return labels;
}

QString matchBand(const QString &typed)
{
    QString label = typed.trimmed().toUpper();
    if (label.endsWith(QLatin1String("CM")))
        label.chop(2);
    else if (label.endsWith(QLatin1Char('M')))
        label.chop(1);
    return bands().contains(label) ? label : QString();
}

QString bandOf(const QByteArray &text)
{
    const float mhz = readMHz(text);
    const int khz = readKHz(text);
    for (const BandRange &range : kBandRanges) {
        if (inMHz(range, mhz) || inKHz(range, khz))
            return QString::fromLatin1(range.band);
    }
    return QString();
}

} // namespace BandPlan
