#pragma once

#include <QString>

// What one frequency query read from the transceiver, as the entry form takes it:
// the frequency text for the frequency field, its band, the position in the form's
// mode list (0 CW, 1 SSB, 2 RTTY, 3 FM, 4 AM) and the default reports for that mode.
struct TrxReading
{
    QString frequency;
    QString band;
    int modePosition = 0;
    QString reports;

    bool operator==(const TrxReading &other) const
    {
        return frequency == other.frequency && band == other.band && modePosition == other.modePosition
            && reports == other.reports;
    }
};
