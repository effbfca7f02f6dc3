#include "AdifFrequency.h"

#include "store/BandPlan.h"

#include <charconv>

namespace {

QByteArray withoutExtraPoints(const QByteArray &text)
{
    const qsizetype first = text.indexOf('.');
    if (first < 0)
        return text;
    QByteArray out = text.left(first + 1);
    for (qsizetype i = first + 1; i < text.size(); ++i) {
        if (text[i] != '.')
            out += text[i];
    }
    return out;
}

// An ADIF number: an optional minus, digits with at most one point, at least one digit.
bool isAdifNumber(QByteArrayView text)
{
    qsizetype i = text.startsWith('-') ? 1 : 0;
    bool digit = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digit = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digit;
}

// "14074" gives "14.074", "3550.5" gives "3.5505", "136" gives "0.136".
QByteArray kHzToMHz(const QByteArray &number)
{
    const qsizetype point = number.indexOf('.');
    QByteArray whole = point < 0 ? number : number.left(point);
    const QByteArray fraction = point < 0 ? QByteArray() : number.mid(point + 1);
    const bool negative = whole.startsWith('-');
    if (negative)
        whole.remove(0, 1);
    whole = whole.rightJustified(4, '0');
    return (negative ? "-" : "") + whole.left(whole.size() - 3) + '.' + whole.right(3) + fraction;
}

enum class Unit { None, MHz, kHz };

// Drops a trailing unit (and the blanks before it) and says which it was.
Unit takeUnit(QByteArray &text)
{
    for (const auto &[name, unit] : {std::pair{"mhz", Unit::MHz}, std::pair{"khz", Unit::kHz}}) {
        if (text.toLower().endsWith(name)) {
            text.chop(3);
            text = text.trimmed();
            return unit;
        }
    }
    return Unit::None;
}

// A decimal comma, as in "7,074", is a point; next to a point it separates nothing.
QByteArray withDecimalPoint(QByteArray text)
{
    if (text.contains('.'))
        return text.replace(',', QByteArray());
    return text.replace(',', '.');
}

} // namespace

namespace AdifFrequency {

QByteArray exportValue(const QByteArray &stored, QByteArrayView band)
{
    QByteArray text = stored.trimmed();
    const Unit unit = takeUnit(text);
    const QByteArray number = withoutExtraPoints(withDecimalPoint(text));
    if (!isAdifNumber(number))
        return QByteArray();
    if (unit == Unit::kHz)
        return kHzToMHz(number);
    if (unit == Unit::MHz || !BandPlan::bandOfMHz(BandPlan::readMHz(number)).isEmpty())
        return number;
    const QString kHzBand = BandPlan::bandOfKHz(BandPlan::readKHz(number));
    const bool inQsoBand = band.isEmpty() ? !kHzBand.isEmpty()
                                          : kHzBand.compare(QLatin1String(band.data(), band.size()), Qt::CaseInsensitive) == 0;
    return inQsoBand ? kHzToMHz(number) : number;
}

void appendExportValue(QByteArray &out, QByteArrayView stored, QByteArrayView band)
{
    // An ADIF number is read in MHz the way BandPlan::readMHz reads it: as the nearest
    // double, then as a float.
    double mhz = 0;
    if (isAdifNumber(stored) && std::from_chars(stored.data(), stored.data() + stored.size(), mhz).ec == std::errc()
        && BandPlan::isInBandMHz(static_cast<float>(mhz))) {
        out += stored;
        return;
    }
    out += exportValue(stored.toByteArray(), band);
}

} // namespace AdifFrequency
