#pragma once

#include <QString>

// The texts of the QSL window's list: code numbers as letters, stored dates and times
// as the list shows them.
namespace QslListTexts {

// 1 "CW", 2 "SSB", 3 "RTTY", 4 "FM", 5 "AM"; any other number gives an empty text.
QString ModeText(int mode);
// 1 "L", 2 "N", 3 "Y", 4 "D".
QString QslSentText(int qslSent);
// 1 "N", 2 "Y".
QString QslRcvdText(int qslRcvd);

struct DateTimeTexts
{
    QString date;
    QString time;
};

// A stored date (2024-03-15) and time (14:05:00) as the filled list shows them:
// "15-03-2024" and "14:05". Texts that do not form a real calendar date and time of day
// are shown as stored.
DateTimeTexts ListDateTime(const QString &storedDate, const QString &storedTime);

} // namespace QslListTexts
