#pragma once

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

// `devicePath` empty: the device of "COM port" from the settings.
Outcome run(int rig, int port, const QString &devicePath);

} // namespace TrxQuery
