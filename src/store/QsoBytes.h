#pragma once

#include "QsoColumns.h"

#include <QByteArray>

#include <array>

// One QSO as the logbook stores it, without turning its texts into QStrings: the text
// columns as their UTF-8 bytes, the integer columns as numbers, both indexed by
// the column table. The import fills rows of these straight from the file's bytes.
struct QsoBytes
{
    std::array<QByteArray, QsoColumns::kCount> text;
    std::array<qint32, QsoColumns::kCount> number{};

    static QsoBytes from(const Sqlite3DB::UM_RECORD &record);
};
