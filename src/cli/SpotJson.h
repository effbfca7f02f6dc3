#pragma once

#include "net/DxSpot.h"
#include "net/SpotStatus.h"

#include <QByteArray>

// A spot with its entity and status as one line of JSON for korva3-cli cluster:
// time (UTC, HH:MM), frequency (kHz), call, entity, country, continent, band, mode,
// status (NEW_DXCC, NEW_BAND, NEW_MODE, WORKED, CONFIRMED; null without a logbook or
// an entity), workedBefore (the call on this band and mode), comment, spotter, grid.
namespace SpotJson {

QByteArray format(const DxSpot &spot, const SpotStatus &status);

} // namespace SpotJson
