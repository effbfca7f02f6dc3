#pragma once

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

class SerialPortOwner;

// One serial port for the transceiver link: 4800 baud, 8 data bits, no parity, 2 stop
// bits. Lives on one thread, the owner's: QSerialPort's notifications hand every
// received byte to the owner, one at a time and in order, and carry out the writes.
//
// Use: InitPort, then StartMonitoring. The owner fills WriteBuffer() and asks for
// RequestWriteCommand (its first 5 bytes) or RequestWriteText (the zero-terminated
// text); each write first discards unread input and pending output.
//
// A line that breaks (the device goes away, a read or a write fails) is closed at once
// and the owner is told once; nothing more happens on it until InitPort opens it again.
class CSerialPort : public QObject
{
    Q_OBJECT

public:
    static constexpr int kWriteBufferSize = 512;
    static constexpr int kCommandLength = 5;

    explicit CSerialPort(QObject *parent = nullptr);
    ~CSerialPort() override;

    // Opens "COM n" on the device the settings give it (SerialPortNames). A missing or
    // busy device returns false; so does a setting the device refuses, whose message
    // SettingError() then gives. Closes a port opened before.
    bool InitPort(SerialPortOwner *owner, int portNumber);
    // The same on a device chosen by the caller.
    bool InitPort(SerialPortOwner *owner, int portNumber, const QString &devicePath);
    // "SetCommState()" or "BuildCommDCB()" after the last InitPort, else empty.
    QString SettingError() const { return m_settingError; }

    // Discards what is queued and starts handing bytes over; does nothing without a port.
    void StartMonitoring();

    // The owner's bytes to write, kWriteBufferSize long. Fill it before a request.
    char *WriteBuffer() { return m_writeBuffer.data(); }
    // Written at once while monitored, else when monitoring starts.
    void RequestWriteText();
    void RequestWriteCommand();

    void ClosePort();

    bool IsOpen() const { return m_comm->isOpen(); }
    bool IsMonitoring() const { return m_monitoring; }
    int PortNumber() const { return m_portNumber; }
    QString DevicePath() const { return m_devicePath; }

private:
    bool Configure();
    void OnReadyRead();
    void OnError(QSerialPort::SerialPortError error);
    void ServiceRequests();
    void WriteData(qint64 count);
    void Fail(const QString &message);

    QSerialPort *m_comm;
    SerialPortOwner *m_owner = nullptr;
    QByteArray m_writeBuffer;
    bool m_monitoring = false;
    bool m_writeTextRequested = false;
    bool m_writeCommandRequested = false;
    int m_portNumber = 0;
    QString m_devicePath;
    QString m_settingError;
};
