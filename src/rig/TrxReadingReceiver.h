#pragma once

struct TrxReading;

// Implemented by every entry form: takes the transceiver's frequency, band, mode
// position and reports into its controls (the form's members follow at its next pull).
// Called on the user-interface thread.
class TrxReadingReceiver
{
public:
    virtual ~TrxReadingReceiver() = default;
    virtual void SetTrxReading(const TrxReading &reading) = 0;
};
