#pragma once

#include "TrxMessage.h"
#include "TrxOutcome.h"

#include <QList>
#include <QString>
#include <QObject>

// One way of reading frequency and mode from a radio: the FT-897 and FT-1000mp over the
// serial port (SerialRigDriver), every other radio through Hamlib (HamlibRigDriver).
// A driver lives on the link's thread and is used only there.
//
// Read opens the line when it is closed (at first, or after it broke), so the next
// "Get TRX freq" after an unplugged cable tries again; every read ends with exactly one
// readDone. A line that breaks while no read waits says so once with `failed`.
//
// A driver that can (CanTune) also sets the radio's frequency and mode: Tune opens the
// line as Read does and ends with exactly one `tuned`, carrying what the radio reads
// afterwards. The serial radios are only read.
class RigDriver : public QObject
{
    Q_OBJECT

public:
    // What the link asks for: the transceiver type in force and the port number whose
    // bytes count (the setup dialog changes both without opening the line again).
    struct Request
    {
        int rig = 0;
        int commPort = 0;
    };
    // Where to tune: the frequency in Hz and the mode by the logbook's name for it ("CW",
    // "SSB", "FT8", ...); an empty mode leaves the radio's own.
    struct TuneRequest
    {
        qint64 hz = 0;
        QString mode;
    };

    explicit RigDriver(QObject *parent = nullptr);

    // The transceiver types this driver reads.
    virtual bool Serves(int rig) const = 0;
    virtual bool IsOpen() const = 0;
    // Opens the line; empty when it is open, else the messages that say why not.
    virtual QList<TrxMessage> Open() = 0;
    virtual void Close() = 0;

    // A type the driver does not serve sends nothing and reads as an empty frequency.
    void Read(const Request &request);

    virtual bool CanTune() const { return false; }
    // A driver that cannot tune sends nothing and ends with an empty outcome.
    void Tune(const TuneRequest &request);

signals:
    void readDone(const TrxOutcome &outcome);
    void tuned(const TrxOutcome &outcome);
    void failed(const TrxMessage &message);

protected:
    // Starts a read on the open line; ends with readDone.
    virtual void StartRead(const Request &request) = 0;
    // Tunes the open line; ends with tuned. Only drivers that CanTune are asked.
    virtual void StartTune(const TuneRequest &request);
};
