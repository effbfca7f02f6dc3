#pragma once

#include "store/Sqlite3DB.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <random>

// Makes logbooks of made-up but realistic QSOs for tests and benchmarks: popular
// entities far more often than rare ones, the usual spread over bands (a few outside
// the report bands), modes and QSL states, some calls that resolved to no entity.
// The same seed gives the same QSOs.
class LogbookGenerator
{
public:
    explicit LogbookGenerator(std::uint32_t seed);

    Sqlite3DB::UM_RECORD next();
    QList<Sqlite3DB::UM_RECORD> take(int count);

    // Creates a logbook at path and fills it with `count` QSOs in one transaction.
    bool writeLogbook(const QString &path, int count);

private:
    QString call();

    std::mt19937 m_random;
    std::discrete_distribution<int> m_entities;
    std::discrete_distribution<int> m_bands;
    std::discrete_distribution<int> m_modes;
    std::discrete_distribution<int> m_qslRcvd;
    qint64 m_seconds = 0;
};
