#pragma once

#include "rig/SerialPortOwner.h"
#include "rig/TrxReading.h"
#include "rig/TrxReadingReceiver.h"

#include <QByteArray>
#include <QList>
#include <QThread>

#include <functional>

// Stands in for the main window: keeps every byte with its port number and the thread
// it was handed over on; optionally acts on the first byte.
class RecordingOwner : public SerialPortOwner
{
public:
    int OnRxByte(unsigned char byte, int portNumber) override
    {
        bytes.append(static_cast<char>(byte));
        ports.append(portNumber);
        threads.append(QThread::currentThread());
        if (bytes.size() == 1 && onFirstByte)
            onFirstByte();
        return 0;
    }

    QByteArray bytes;
    QList<int> ports;
    QList<QThread *> threads;
    std::function<void()> onFirstByte;
};

// Stands in for one entry form.
class RecordingForm : public TrxReadingReceiver
{
public:
    void SetTrxReading(const TrxReading &reading) override { readings.append(reading); }
    QList<TrxReading> readings;
};

inline char *toString(const TrxReading &reading)
{
    return qstrdup(QStringLiteral("{%1, %2, %3, %4}")
                       .arg(reading.frequency, reading.band)
                       .arg(reading.modePosition)
                       .arg(reading.reports)
                       .toUtf8()
                       .constData());
}
