#pragma once

#include "WsjtxSettings.h"

#include <QByteArray>
#include <QObject>
#include <QString>

class QUdpSocket;

// The UDP sockets of the WSJT-X listener, on a thread of their own: each datagram is
// taken from its socket as soon as it arrives and handed on, so that a burst of QSOs
// does not overflow the socket's buffer while the window thread stores the ones before.
class WsjtxReceiver : public QObject
{
    Q_OBJECT

public:
    struct Opened
    {
        QString error; // empty when listening
        quint16 port = 0;
        quint16 secondaryPort = 0;
    };

    explicit WsjtxReceiver(QObject *parent = nullptr);

    // Called on the receiver's thread. Binds the port (and the secondary port when
    // enabled) on every IPv4 address, shared with other listeners, and joins the
    // multicast group; closes everything again when one of them fails.
    Opened open(const WsjtxSettings &settings);
    void close();

signals:
    // A datagram of the port, or of the secondary port (`adif`), from `sender` ("address:port").
    void received(const QByteArray &data, const QString &sender, bool adif);

private:
    QUdpSocket *openSocket(int port, bool adif, QString &error);
    QString joinGroup(const WsjtxSettings &settings);
    void drain(QUdpSocket *socket, bool adif);

    QUdpSocket *m_socket = nullptr;
    QUdpSocket *m_adifSocket = nullptr;
};
