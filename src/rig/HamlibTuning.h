#pragma once

#include <QString>
#include <QtGlobal>

// The mode a Hamlib radio is tuned to for a mode of the logbook.
namespace HamlibTuning {

// Hamlib's mode bit for the logbook's mode name at `hz`: CW; the phone modes on the
// sideband of the band (lower below 10 MHz but on 60 m, upper above), FM, AM; RTTY;
// every other digital mode as upper-sideband data (PKTUSB). 0 (no mode) for an empty
// name, which leaves the radio's mode as it is.
quint64 modeOf(const QString &mode, qint64 hz);

} // namespace HamlibTuning
