#pragma once

#include "TrxReading.h"

#include <QtGlobal>

// What Hamlib reads (frequency in Hz, one of its mode bits) as the entry form takes it.
namespace HamlibReading {

// The position in the form's mode list (0 CW, 1 SSB, 2 RTTY, 3 FM, 4 AM): CW and its
// reverse and narrow forms are CW; the sidebands SSB; AM and the synchronous AM modes
// AM; FM, wide and narrow FM are FM; RTTY, packet and the other data and digital-voice
// modes RTTY. A mode it cannot tell, or none, is CW as for the two serial radios.
int modePosition(quint64 mode);

// The frequency as the FT-897 path writes it, its band, the mode position and reports.
TrxReading reading(double hz, quint64 mode);

} // namespace HamlibReading
