#include "DbDateTime.h"

#include <cstdlib>

namespace DbDateTime {

QString formatDate(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString formatTime(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

namespace {

// The number written in text[from, from + length) with digits only, or -1.
int digitsAt(const QString &text, int from, int length)
{
    if (text.size() < from + length)
        return -1;
    int value = 0;
    for (int i = from; i < from + length; ++i) {
        if (!text.at(i).isDigit())
            return -1;
        value = value * 10 + text.at(i).digitValue();
    }
    return value;
}

} // namespace

ListTexts listTexts(const QString &storedDate, const QString &storedTime)
{
    // Year, month and day stand at fixed places, hours and minutes too; the seconds are
    // not shown.
    const int year = digitsAt(storedDate, 0, 4);
    const int month = digitsAt(storedDate, 5, 2);
    const int day = digitsAt(storedDate, 8, 2);
    const int hours = digitsAt(storedTime, 0, 2);
    const int minutes = digitsAt(storedTime, 3, 2);
    const bool inStoredForm = year >= 0 && month >= 0 && day >= 0 && hours >= 0 && minutes >= 0
                              && storedDate.at(4) == QLatin1Char('-') && storedDate.at(7) == QLatin1Char('-')
                              && storedTime.at(2) == QLatin1Char(':');
    const QDate date(year, month, day);
    const QTime time(hours, minutes);
    if (!inStoredForm || !date.isValid() || !time.isValid())
        return {storedDate, storedTime};
    return {date.toString(QStringLiteral("dd-MM-yyyy")), time.toString(QStringLiteral("HH:mm"))};
}

QString utcOffsetText(int secondsEastOfUtc)
{
    if (secondsEastOfUtc == 0)
        return QStringLiteral("UTC");
    const int minutes = std::abs(secondsEastOfUtc) / 60;
    QString text = QStringLiteral("UTC%1%2").arg(secondsEastOfUtc < 0 ? QLatin1Char('-') : QLatin1Char('+')).arg(minutes / 60);
    if (minutes % 60 != 0)
        text += QStringLiteral(":%1").arg(minutes % 60, 2, 10, QLatin1Char('0'));
    return text;
}

} // namespace DbDateTime
