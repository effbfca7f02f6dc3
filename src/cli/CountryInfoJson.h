#pragma once

#include "store/ProgramDb.h"
#include "store/Sqlite3DB.h"

#include <QByteArray>

// One country information record as a JSON object on one line, fields in record order:
// {"rowId": 95, "countryPrefix": "DL", "country": "Fed. Rep. of Germany", "dxccId": 230,
//  "continent": "EU", "cqZone": "14", "ituZone": "28", "latitude": 51, "longitude": -10,
//  "gmtDiff": -1}
namespace CountryInfoJson {

QByteArray format(const ProgramDb::UM_COUNTRYINFO &info);

} // namespace CountryInfoJson
