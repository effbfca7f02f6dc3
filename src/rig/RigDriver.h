#pragma once

#include "TrxMessage.h"
#include "TrxOutcome.h"

#include <QList>
#include <QObject>

// One way of reading frequency and mode from a radio: the FT-897 and FT-1000mp over the
// serial port (SerialRigDriver), every other radio through Hamlib (HamlibRigDriver).
// A driver lives on the link's thread and is used only there.
//
// Read opens the line when it is closed (at first, or after it broke), so the next
// "Get TRX freq" after an unplugged cable tries again; every read ends with exactly one
// readDone. A line that breaks while no read waits says so once with `failed`.
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

    explicit RigDriver(QObject *parent = nullptr);

    // The transceiver types this driver reads.
    virtual bool Serves(int rig) const = 0;
    virtual bool IsOpen() const = 0;
    // Opens the line; empty when it is open, else the messages that say why not.
    virtual QList<TrxMessage> Open() = 0;
    virtual void Close() = 0;

    // A type the driver does not serve sends nothing and reads as an empty frequency.
    void Read(const Request &request);

signals:
    void readDone(const TrxOutcome &outcome);
    void failed(const TrxMessage &message);

protected:
    // Starts a read on the open line; ends with readDone.
    virtual void StartRead(const Request &request) = 0;
};
