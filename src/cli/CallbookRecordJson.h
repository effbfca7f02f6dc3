#pragma once

#include "net/CallbookRecord.h"

#include <QByteArray>

// A callbook record as one JSON object for korva3-cli lookup: call, name, fullName,
// qth, grid, qslManager, country, state, iota, email, dxcc, cqZone, ituZone.
namespace CallbookRecordJson {

QByteArray format(const CallbookRecord &record);

} // namespace CallbookRecordJson
