#pragma once

#include "rig/TrxReading.h"

#include <QByteArray>

// One transceiver reading as a JSON object on one line:
// {"freq": "14.234.5", "band": "20", "mode": 2, "reports": "599"}
// where mode is the position in the entry form's mode list.
namespace TrxReadingJson {

QByteArray format(const TrxReading &reading);

} // namespace TrxReadingJson
