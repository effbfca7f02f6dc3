#pragma once

#include <QObject>
#include <QSerialPort>

class CSerialPort;

// The worker of a CSerialPort, living on the port's own thread: reads every received byte
// and hands it to the owner, waiting until the owner has taken it; carries out the write
// requests. A pending write request is served before the next byte is read, so a write
// discards every byte not yet handed over.
class CommWorker : public QObject
{
    Q_OBJECT

public:
    explicit CommWorker(CSerialPort &port);

public slots:
    void Start();
    void ServiceRequests();
    void Finish();

private:
    void OnReadyRead();
    void OnError(QSerialPort::SerialPortError error);
    bool RequestsPending() const;
    void WriteData(qint64 count);
    // False when the port is shutting down before the owner took the byte.
    bool Deliver(unsigned char byte);

    CSerialPort &m_port;
};
