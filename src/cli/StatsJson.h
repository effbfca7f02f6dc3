#pragma once

#include "store/CqZoneGrid.h"
#include "store/DxccTotals.h"

#include <QByteArray>

// The statistics of a logbook as one JSON object on one line:
// {"qsos": N, "bands": {"160": {"cw":[w,c], "ssb":[w,c], "rtty":[w,c], "total":[w,c]}, ...},
//  "modes": {"cw":[w,c], "ssb":[w,c], "rtty":[w,c]}, "mixed":[w,c], "cqzones": {"160": "<40 marks>", ...}}
namespace StatsJson {

QByteArray format(const DxccTotals &totals, const CqZoneGrid &grid);

} // namespace StatsJson
