#pragma once

#include "rig/TrxConnection.h"
#include "rig/TrxReading.h"

#include <QString>
#include <QStringList>

#include <optional>

// One frequency query as the main window's "Get TRX freq" runs it, with a single entry
// form to fill: opens the link, queries once and closes it again.
namespace TrxQuery {

struct Outcome
{
    std::optional<TrxReading> reading; // what the entry form received, if anything
    QStringList messages;              // the texts of the boxes the link showed, in order
};

// For the FT-897 and FT-1000mp an empty `devicePath` of the connection is the device of
// "COM port" from the settings.
Outcome run(const TrxConnection &connection);

} // namespace TrxQuery
