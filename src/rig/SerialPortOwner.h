#pragma once

#include <QString>

// The owner of a CSerialPort (the serial driver of the link): receives every byte the
// port reads, one at a time and in order, on the port's thread.
class SerialPortOwner
{
public:
    virtual ~SerialPortOwner() = default;
    // Returns 0 when the byte was taken, -1 when it was refused (another port's byte).
    virtual int OnRxByte(unsigned char byte, int portNumber) = 0;
    // Every byte that had arrived has been handed over.
    virtual void OnRxDrained() {}
    // The line broke (the device went away, a read or a write failed) and the port is
    // closed now; `message` is what the operator is told ("ReadFile()", ...). Said once.
    virtual void OnPortFailed(const QString &message) = 0;
};
