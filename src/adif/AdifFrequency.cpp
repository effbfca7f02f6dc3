#include "AdifFrequency.h"

#include "store/BandPlan.h"

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
bool isAdifNumber(const QByteArray &text)
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

// "14074" gives "14.074", "3550.5" gives "3.5505". Only called for numbers of at
// least four digits before the point (the lowest band starts at 1800 kHz).
QByteArray kHzToMHz(const QByteArray &number)
{
    const qsizetype point = number.indexOf('.');
    const QByteArray whole = point < 0 ? number : number.left(point);
    const QByteArray fraction = point < 0 ? QByteArray() : number.mid(point + 1);
    return whole.left(whole.size() - 3) + '.' + whole.right(3) + fraction;
}

} // namespace

namespace AdifFrequency {

QByteArray exportValue(const QByteArray &stored)
{
    const QByteArray number = withoutExtraPoints(stored.trimmed());
    if (!isAdifNumber(number))
        return QByteArray();
    if (BandPlan::bandOfMHz(BandPlan::readMHz(number)).isEmpty()
        && !BandPlan::bandOfKHz(BandPlan::readKHz(number)).isEmpty())
        return kHzToMHz(number);
    return number;
}

} // namespace AdifFrequency
