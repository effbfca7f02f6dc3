#include "DbDateTime.h"

namespace DbDateTime {

QString formatDate(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

QString formatTime(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString toListDate(const QString &dbDate)
{
    if (dbDate.size() != 10 || dbDate[4] != QLatin1Char('-') || dbDate[7] != QLatin1Char('-'))
        return dbDate;
    return dbDate.mid(8, 2) + QLatin1Char('-') + dbDate.mid(5, 2) + QLatin1Char('-') + dbDate.left(4);
}

QString toListTime(const QString &dbTime)
{
    if (dbTime.size() != 8 || dbTime[2] != QLatin1Char(':') || dbTime[5] != QLatin1Char(':'))
        return dbTime;
    return dbTime.left(5);
}

} // namespace DbDateTime
