#include "WsjtxListener.h"

#include "NetLog.h"
#include "WsjtxMessage.h"
#include "WsjtxRecord.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QUdpSocket>

#include <algorithm>
#include <utility>

namespace {

// How long, and for how many QSOs at most, an announced QSO is remembered.
constexpr qint64 kHeardFor = 15 * 60 * 1000;
constexpr qsizetype kHeardMost = 10000;
// Room for a burst of datagrams while the window thread stores a QSO (the kernel may
// grant less).
constexpr int kReceiveBufferBytes = 4 << 20;

QString senderOf(const QNetworkDatagram &datagram)
{
    return QStringLiteral("%1:%2").arg(datagram.senderAddress().toString()).arg(datagram.senderPort());
}

} // namespace

WsjtxListener::WsjtxListener(QObject *parent)
    : QObject(parent)
{
    m_clock.start();
    m_waitTimer.setSingleShot(true);
    connect(&m_waitTimer, &QTimer::timeout, this, &WsjtxListener::announceDue);
}

// Nothing is announced from here: the receivers may be half destroyed themselves.
WsjtxListener::~WsjtxListener()
{
    if (!m_waiting.isEmpty())
        qCWarning(lcNet) << "Closed while" << m_waiting.size() << "QSO(s) waited for their Logged ADIF";
}

bool WsjtxListener::start(const WsjtxSettings &settings)
{
    stop();
    m_lastError.clear();
    m_socket = openSocket(settings.port);
    if (!m_socket)
        return false;
    if (!settings.multicastGroup.trimmed().isEmpty() && !joinGroup(settings)) {
        stop();
        return false;
    }
    if (settings.secondaryEnabled) {
        m_adifSocket = openSocket(settings.secondaryPort);
        if (!m_adifSocket) {
            stop();
            return false;
        }
        connect(m_adifSocket, &QUdpSocket::readyRead, this, &WsjtxListener::readAdifDatagrams);
    }
    connect(m_socket, &QUdpSocket::readyRead, this, &WsjtxListener::readMessages);
    qCInfo(lcNet) << "Listening for WSJT-X on UDP port" << port() << settings.multicastGroup
                  << (m_adifSocket ? QStringLiteral("and for ADIF on port %1").arg(secondaryPort()) : QString());
    return true;
}

void WsjtxListener::stop()
{
    m_waitTimer.stop();
    const QList<Waiting> waiting = std::exchange(m_waiting, {});
    // A socket may be stopped from a slot its own datagram reached: it goes later.
    for (QUdpSocket *socket : {std::exchange(m_socket, nullptr), std::exchange(m_adifSocket, nullptr)}) {
        if (socket) {
            socket->disconnect(this);
            socket->close();
            socket->deleteLater();
        }
    }
    for (const Waiting &qso : waiting)
        announce(qso);
}

bool WsjtxListener::isListening() const
{
    return m_socket != nullptr;
}

quint16 WsjtxListener::port() const
{
    return m_socket ? m_socket->localPort() : 0;
}

quint16 WsjtxListener::secondaryPort() const
{
    return m_adifSocket ? m_adifSocket->localPort() : 0;
}

QString WsjtxListener::programName(const QString &id)
{
    for (const char *name : {"WSJT-X", "JTDX", "JS8Call"}) {
        if (id.startsWith(QLatin1String(name), Qt::CaseInsensitive))
            return QLatin1String(name);
    }
    return id.isEmpty() ? QStringLiteral("UDP") : id;
}

// Shared with the other programs listening on the port (SO_REUSEADDR; on Linux no
// SO_REUSEPORT, which would hand each datagram to only one of them).
QUdpSocket *WsjtxListener::openSocket(int port)
{
    auto *socket = new QUdpSocket(this);
    if (!socket->bind(QHostAddress::AnyIPv4, static_cast<quint16>(port),
                      QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint)) {
        fail(socket->error() == QAbstractSocket::AddressInUseError
                 ? QStringLiteral("UDP port %1 is in use by another program").arg(port)
                 : QStringLiteral("UDP port %1 cannot be opened: %2").arg(port).arg(socket->errorString()));
        delete socket;
        return nullptr;
    }
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, kReceiveBufferBytes);
    return socket;
}

// On the interface named, or on every interface that is up and takes multicast (and
// the loopback interface, where programs on this machine may send).
bool WsjtxListener::joinGroup(const WsjtxSettings &settings)
{
    const QString groupText = settings.multicastGroup.trimmed();
    const QHostAddress group(groupText);
    if (group.protocol() != QAbstractSocket::IPv4Protocol || !group.isMulticast()) {
        fail(QStringLiteral("%1 is no IPv4 multicast group").arg(groupText));
        return false;
    }
    if (!settings.interfaceName.isEmpty()) {
        const QNetworkInterface interface = QNetworkInterface::interfaceFromName(settings.interfaceName);
        if (!interface.isValid()) {
            fail(QStringLiteral("There is no network interface %1").arg(settings.interfaceName));
            return false;
        }
        if (!m_socket->joinMulticastGroup(group, interface)) {
            fail(QStringLiteral("Cannot join the multicast group %1 on %2: %3")
                     .arg(groupText, settings.interfaceName, m_socket->errorString()));
            return false;
        }
        return true;
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
    if (joined == 0)
        fail(QStringLiteral("Cannot join the multicast group %1 on any network interface").arg(groupText));
    return joined > 0;
}

void WsjtxListener::readMessages()
{
    // Re-checked each time: a receiver may stop the listener.
    while (m_socket && m_socket->hasPendingDatagrams())
        handle(m_socket->receiveDatagram());
}

void WsjtxListener::readAdifDatagrams()
{
    while (m_adifSocket && m_adifSocket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_adifSocket->receiveDatagram();
        const QList<QByteArray> records = WsjtxRecord::recordsOf(datagram.data());
        if (records.isEmpty())
            qCWarning(lcNet) << "Dropped a datagram without ADIF records from" << senderOf(datagram);
        for (const QByteArray &record : records)
            offer(record, adifProgramName(), true);
    }
}

void WsjtxListener::handle(const QNetworkDatagram &datagram)
{
    QString why;
    const std::optional<WsjtxMessage> message = WsjtxMessage::decode(datagram.data(), &why);
    if (!message) {
        qCWarning(lcNet).noquote() << "Dropped a datagram of" << datagram.data().size() << "bytes from"
                                   << senderOf(datagram) << "-" << why;
        return;
    }
    const QString program = programName(message->id);
    switch (message->kind) {
    case WsjtxMessage::Kind::Heartbeat: emit heartbeatReceived(message->id); break;
    case WsjtxMessage::Kind::Status: emit statusReceived(message->status); break;
    case WsjtxMessage::Kind::Close: emit programClosed(message->id); break;
    case WsjtxMessage::Kind::QsoLogged: offer(WsjtxRecord::fromQsoLogged(message->qso), program, false); break;
    case WsjtxMessage::Kind::LoggedAdif: {
        const QList<QByteArray> records = WsjtxRecord::recordsOf(message->adif);
        if (records.isEmpty())
            qCWarning(lcNet) << "Dropped a Logged ADIF message without a record from" << message->id << senderOf(datagram);
        for (const QByteArray &record : records)
            offer(record, program, true);
        break;
    }
    case WsjtxMessage::Kind::Unknown:
        qCDebug(lcNet) << "Ignored a message of type" << message->type << "from" << message->id << senderOf(datagram);
        break;
    }
}

void WsjtxListener::offer(const QByteArray &record, const QString &program, bool preferred)
{
    const QString identity = WsjtxRecord::identity(record);
    const auto heard = m_heard.constFind(identity);
    if (heard != m_heard.constEnd() && m_clock.elapsed() - *heard <= kHeardFor) {
        qCDebug(lcNet) << "Already logged:" << identity << "from" << program;
        return;
    }
    const auto waiting = std::find_if(m_waiting.begin(), m_waiting.end(),
                                      [&identity](const Waiting &qso) { return qso.identity == identity; });
    if (!preferred) {
        if (waiting != m_waiting.end())
            return;
        m_waiting.append(Waiting{identity, record, program, m_clock.elapsed() + m_adifWait});
        if (!m_waitTimer.isActive())
            m_waitTimer.start(m_adifWait);
        return;
    }
    if (waiting != m_waiting.end())
        m_waiting.erase(waiting);
    announce(Waiting{identity, record, program});
}

void WsjtxListener::announceDue()
{
    const qint64 now = m_clock.elapsed();
    QList<Waiting> due;
    qint64 next = -1;
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        if (it->due <= now) {
            due.append(*it);
            it = m_waiting.erase(it);
        } else {
            next = next < 0 ? it->due : std::min(next, it->due);
            ++it;
        }
    }
    if (next >= 0)
        m_waitTimer.start(static_cast<int>(next - now));
    for (const Waiting &qso : due)
        announce(qso);
}

void WsjtxListener::announce(const Waiting &qso)
{
    remember(qso.identity);
    qCInfo(lcNet) << "QSO logged from" << qso.program << ":" << qso.identity;
    emit qsoLogged(qso.record, qso.program);
}

void WsjtxListener::remember(const QString &identity)
{
    const qint64 now = m_clock.elapsed();
    m_heard.insert(identity, now);
    m_heardOrder.enqueue({now, identity});
    while (!m_heardOrder.isEmpty()
           && (now - m_heardOrder.head().first > kHeardFor || m_heardOrder.size() > kHeardMost)) {
        const QPair<qint64, QString> oldest = m_heardOrder.dequeue();
        if (m_heard.value(oldest.second) == oldest.first)
            m_heard.remove(oldest.second);
    }
}

void WsjtxListener::fail(const QString &error)
{
    m_lastError = error;
    qCWarning(lcNet).noquote() << error;
}
