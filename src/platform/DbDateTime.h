#pragma once

#include <QDate>
#include <QString>
#include <QTime>

// Dates and times are stored as fixed-width texts (2026-12-06, 14:05:00) so that
// ordering by date then time as text is chronological; lists show 06-12-2026 14:05.
namespace DbDateTime {

QString formatDate(const QDate &date);
QString formatTime(const QTime &time);

// "2026-12-06" to "06-12-2026"; a text not in the stored form comes back unchanged.
QString toListDate(const QString &dbDate);
// "14:05:00" to "14:05"; a text not in the stored form comes back unchanged.
QString toListTime(const QString &dbTime);

} // namespace DbDateTime
