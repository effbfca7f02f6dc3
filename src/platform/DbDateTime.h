#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// Dates and times are stored as fixed-width texts (2026-12-06, 14:05:00) so that
// ordering by date then time as text is chronological; lists show 06-12-2026 14:05.
namespace DbDateTime {

QString formatDate(const QDate &date);
QString formatTime(const QTime &time);

struct ListTexts
{
    QString date;
    QString time;
};

// A stored date (2024-03-15) and time (14:05:00) as every list shows them: "15-03-2024"
// and "14:05". Texts that do not form a real calendar date and time of day are shown as
// stored.
ListTexts listTexts(const QString &storedDate, const QString &storedTime);

// An offset from UTC as operators read it: "UTC", "UTC+1", "UTC-3:30", "UTC+5:45".
QString utcOffsetText(int secondsEastOfUtc);

} // namespace DbDateTime
