#pragma once

// The owner of a CSerialPort (the main window): receives every byte the port reads, one
// at a time and in order, on the thread that called InitPort. The port's worker waits
// until OnRxByte has returned before it reads the next byte.
class SerialPortOwner
{
public:
    virtual ~SerialPortOwner() = default;
    // Returns 0 when the byte was taken, -1 when it was refused (another port's byte).
    virtual int OnRxByte(unsigned char byte, int portNumber) = 0;
};
