#include "WsjtxReceiver.h"

#include "NetLog.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QUdpSocket>
#include <QVariant>

namespace {
// Room for a burst (the kernel may grant less: net.core.rmem_max).
constexpr int kReceiveBufferBytes = 4 << 20;
} // namespace

WsjtxReceiver::WsjtxReceiver(QObject *parent)
    : QObject(parent)
{
}

WsjtxReceiver::Opened WsjtxReceiver::open(const WsjtxSettings &settings)
{
    close();
    Opened opened;
    m_socket = openSocket(settings.port, false, opened.error);
    if (m_socket && !settings.multicastGroup.trimmed().isEmpty())
        opened.error = joinGroup(settings);
    if (opened.error.isEmpty() && settings.secondaryEnabled)
        m_adifSocket = openSocket(settings.secondaryPort, true, opened.error);
    if (!opened.error.isEmpty()) {
        close();
        return opened;
    }
    opened.port = m_socket->localPort();
    opened.secondaryPort = m_adifSocket ? m_adifSocket->localPort() : 0;
    return opened;
}

void WsjtxReceiver::close()
{
    delete m_socket;
    delete m_adifSocket;
    m_socket = nullptr;
    m_adifSocket = nullptr;
}

// Shared with the other programs listening on the port (SO_REUSEADDR; on Linux without
// SO_REUSEPORT, which would hand each datagram to only one of them).
QUdpSocket *WsjtxReceiver::openSocket(int port, bool adif, QString &error)
{
    auto *socket = new QUdpSocket(this);
    if (!socket->bind(QHostAddress::AnyIPv4, static_cast<quint16>(port),
                      QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        error = socket->error() == QAbstractSocket::AddressInUseError
                    ? QStringLiteral("UDP port %1 is in use by another program").arg(port)
                    : QStringLiteral("UDP port %1 cannot be opened: %2").arg(port).arg(socket->errorString());
        delete socket;
        return nullptr;
    }
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, kReceiveBufferBytes);
    connect(socket, &QUdpSocket::readyRead, this, [this, socket, adif] { drain(socket, adif); });
    return socket;
}

// On the interface named, or on every interface that is up and takes multicast (and
// the loopback interface, where programs on this machine may send). An error text, or
// an empty one.
QString WsjtxReceiver::joinGroup(const WsjtxSettings &settings)
{
    const QString groupText = settings.multicastGroup.trimmed();
    const QHostAddress group(groupText);
    if (group.protocol() != QAbstractSocket::IPv4Protocol || !group.isMulticast())
        return QStringLiteral("%1 is no IPv4 multicast group").arg(groupText);
    if (!settings.interfaceName.isEmpty()) {
        const QNetworkInterface interface = QNetworkInterface::interfaceFromName(settings.interfaceName);
        if (!interface.isValid())
            return QStringLiteral("There is no network interface %1").arg(settings.interfaceName);
        if (!m_socket->joinMulticastGroup(group, interface))
            return QStringLiteral("Cannot join the multicast group %1 on %2: %3")
                .arg(groupText, settings.interfaceName, m_socket->errorString());
        return QString();
    }
    int joined = 0;
    for (const QNetworkInterface &interface : QNetworkInterface::allInterfaces()) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp)
            || !(flags.testFlag(QNetworkInterface::CanMulticast) || flags.testFlag(QNetworkInterface::IsLoopBack)))
            continue;
        if (m_socket->joinMulticastGroup(group, interface))
            ++joined;
        else
            qCInfo(lcNet) << "Cannot join" << groupText << "on" << interface.name() << m_socket->errorString();
    }
    return joined > 0 ? QString()
                      : QStringLiteral("Cannot join the multicast group %1 on any network interface").arg(groupText);
}

void WsjtxReceiver::drain(QUdpSocket *socket, bool adif)
{
    while (socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket->receiveDatagram();
        emit received(datagram.data(),
                      QStringLiteral("%1:%2").arg(datagram.senderAddress().toString()).arg(datagram.senderPort()), adif);
    }
}
