#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>

#include <atomic>
#include <memory>

class CommWorker;
class QObject;
class QSerialPort;
class QThread;
class SerialPortOwner;

// One serial port for the transceiver link: 4800 baud, 8 data bits, no parity, 2 stop
// bits. A worker thread (CommWorker) waits for received bytes and for write requests and
// hands every byte to the owner one at a time, in order, on the owner's thread.
//
// Use: InitPort on the owner's thread, then StartMonitoring. The owner fills
// WriteBuffer() and asks for RequestWriteCommand (its first 5 bytes) or RequestWriteText
// (the zero-terminated text); each write first discards unread input and pending output.
// Destruction ends the worker and closes the port.
class CSerialPort
{
public:
    static constexpr int kWriteBufferSize = 512;
    static constexpr int kCommandLength = 5;

    CSerialPort();
    virtual ~CSerialPort();
    CSerialPort(const CSerialPort &) = delete;
    CSerialPort &operator=(const CSerialPort &) = delete;

    // Opens "COM n" on the device the settings give it (SerialPortNames). A missing or
    // busy device returns false without a message; a setting the device refuses shows
    // its message and returns false. Ends a worker of an earlier InitPort first.
    bool InitPort(SerialPortOwner *owner, int portNumber);
    // The same on a device chosen by the caller.
    bool InitPort(SerialPortOwner *owner, int portNumber, const QString &devicePath);

    // Starts the worker on the open port; does nothing without one or when it runs.
    void StartMonitoring();

    // The owner's bytes to write, kWriteBufferSize long. Fill it before a request.
    char *WriteBuffer() { return m_writeBuffer.data(); }
    void RequestWriteText();
    void RequestWriteCommand();

    bool IsOpen() const { return m_comm != nullptr; }
    bool IsMonitoring() const { return m_threadAlive; }
    int PortNumber() const { return m_portNumber; }
    QString DevicePath() const { return m_devicePath; }

private:
    friend class CommWorker;

    void Shutdown();
    bool Configure(QSerialPort &port);
    void WakeWorker();
    // A stop-icon message on the owner's thread, whichever thread meets the failure.
    void ShowError(const QString &text);

    QThread *m_thread = nullptr;
    CommWorker *m_worker = nullptr;
    std::atomic<bool> m_threadAlive{false};
    std::atomic<bool> m_shutdown{false};
    std::atomic<bool> m_writeTextRequested{false};
    std::atomic<bool> m_writeCommandRequested{false};
    QSerialPort *m_comm = nullptr;      // on the owner's thread until monitored, then the worker's
    SerialPortOwner *m_owner = nullptr;
    std::unique_ptr<QObject> m_ownerContext; // lives on the owner's thread; deliveries go through it
    QByteArray m_writeBuffer;
    QMutex m_lock;                      // held around the port calls
    int m_portNumber = 0;
    QString m_devicePath;
};
