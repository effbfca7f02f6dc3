#pragma once

#include <QString>

// The mode of a spot, guessed the way an operator reads the cluster: first from the
// words of the comment ("FT8", "CW", "USB", a skimmer's "23 dB 24 WPM"), else from where
// the frequency lies in its band (the CW segment at the bottom, the FT8 and FT4 dial
// frequencies, phone above the usual boundary). Pure functions, no state.
namespace SpotModeGuess {

// The mode as the logbook's mode field takes it: "CW", "SSB", "FM", "AM", "RTTY", "FT8",
// "FT4", "JS8", "PSK31", ...; empty when neither the comment nor the band plan tells.
QString mode(double frequencyKHz, const QString &comment);

// The mode the comment names, or empty.
QString modeOfComment(const QString &comment);

// The mode the band plan suggests for the frequency, or empty outside the bands.
QString modeOfFrequency(double frequencyKHz);

// The band label of the frequency ("20", "2", "70"), as the logbook labels bands; empty
// outside the bands.
QString band(double frequencyKHz);

} // namespace SpotModeGuess
