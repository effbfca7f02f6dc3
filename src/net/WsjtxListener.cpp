#include "WsjtxListener.h"

#include "NetLog.h"
#include "WsjtxMessage.h"
#include "WsjtxReceiver.h"
#include "WsjtxRecord.h"

#include <QMetaObject>
#include <QThread>

#include <algorithm>
#include <utility>

namespace {
// How long, and for how many QSOs at most, an announced QSO is remembered.
constexpr qint64 kHeardFor = 15 * 60 * 1000;
constexpr qsizetype kHeardMost = 10000;
} // namespace

WsjtxListener::WsjtxListener(QObject *parent)
    : QObject(parent)
    , m_thread(new QThread)
    , m_receiver(new WsjtxReceiver)
{
    m_clock.start();
    m_waitTimer.setSingleShot(true);
    connect(&m_waitTimer, &QTimer::timeout, this, &WsjtxListener::announceDue);
    m_thread->setObjectName(QStringLiteral("korva3 WSJT-X receiver"));
    m_receiver->moveToThread(m_thread);
    connect(m_receiver, &WsjtxReceiver::received, this, &WsjtxListener::handle);
    m_thread->start();
}

// Nothing is announced from here: the receivers may be half destroyed themselves.
WsjtxListener::~WsjtxListener()
{
    if (!m_waiting.isEmpty())
        qCWarning(lcNet) << "Closed while" << m_waiting.size() << "QSO(s) waited for their Logged ADIF";
    QMetaObject::invokeMethod(
        m_receiver,
        [receiver = m_receiver] {
            receiver->close();
            receiver->thread()->quit();
        },
        Qt::QueuedConnection);
    m_thread->wait();
    delete m_receiver;
    delete m_thread;
}

bool WsjtxListener::start(const WsjtxSettings &settings)
{
    stop();
    WsjtxReceiver::Opened opened;
    QMetaObject::invokeMethod(
        m_receiver, [this, &opened, &settings] { opened = m_receiver->open(settings); }, Qt::BlockingQueuedConnection);
    m_lastError = opened.error;
    if (!m_lastError.isEmpty()) {
        qCWarning(lcNet).noquote() << m_lastError;
        return false;
    }
    m_listening = true;
    m_port = opened.port;
    m_secondaryPort = opened.secondaryPort;
    qCInfo(lcNet) << "Listening for WSJT-X on UDP port" << m_port << settings.multicastGroup
                  << (m_secondaryPort ? QStringLiteral("and for ADIF on port %1").arg(m_secondaryPort) : QString());
    return true;
}

void WsjtxListener::stop()
{
    if (m_listening)
        QMetaObject::invokeMethod(m_receiver, &WsjtxReceiver::close, Qt::BlockingQueuedConnection);
    m_listening = false;
    m_port = 0;
    m_secondaryPort = 0;
    m_waitTimer.stop();
    for (const Waiting &qso : std::exchange(m_waiting, {}))
        announce(qso);
}

QString WsjtxListener::programName(const QString &id)
{
    for (const char *name : {"WSJT-X", "JTDX", "JS8Call"}) {
        if (id.startsWith(QLatin1String(name), Qt::CaseInsensitive))
            return QLatin1String(name);
    }
    return id.isEmpty() ? QStringLiteral("UDP") : id;
}

// Datagrams the receiver handed on before a stop are dropped.
void WsjtxListener::handle(const QByteArray &data, const QString &sender, bool adif)
{
    if (!m_listening)
        return;
    if (!adif) {
        handleMessage(data, sender);
        return;
    }
    const QList<QByteArray> records = WsjtxRecord::recordsOf(data);
    if (records.isEmpty())
        qCWarning(lcNet) << "Dropped a datagram without ADIF records from" << sender;
    for (const QByteArray &record : records)
        offer(record, adifProgramName(), true);
}

void WsjtxListener::handleMessage(const QByteArray &data, const QString &sender)
{
    QString why;
    const std::optional<WsjtxMessage> message = WsjtxMessage::decode(data, &why);
    if (!message) {
        qCWarning(lcNet).noquote() << "Dropped a datagram of" << data.size() << "bytes from" << sender << "-" << why;
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
            qCWarning(lcNet) << "Dropped a Logged ADIF message without a record from" << message->id << sender;
        for (const QByteArray &record : records)
            offer(record, program, true);
        break;
    }
    case WsjtxMessage::Kind::Unknown:
        qCDebug(lcNet) << "Ignored a message of type" << message->type << "from" << message->id << sender;
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
