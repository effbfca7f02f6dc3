#include "CTrxLink.h"

#include "HamlibModels.h"
#include "RigLog.h"
#include "TrxLinkWorker.h"
#include "TrxReadingReceiver.h"
#include "platform/Numbers.h"
#include "store/ProgramDb.h"

#include <QMetaObject>
#include <QThread>

#include <utility>

namespace {
// Hamlib's calls end after their own time-outs, a few seconds at most.
constexpr int kShutdownWaitMs = 15000;
} // namespace

CTrxLink::CTrxLink(QObject *parent)
    : QObject(parent)
    , m_thread(new QThread)
    , m_worker(new TrxLinkWorker)
{
    HamlibModels::prepare(); // here, before the link's thread may call Hamlib
    m_thread->setObjectName(QStringLiteral("korva3 transceiver link"));
    m_worker->moveToThread(m_thread);
    connect(m_worker, &TrxLinkWorker::opened, this, &CTrxLink::OnOpened);
    connect(m_worker, &TrxLinkWorker::readDone, this, &CTrxLink::OnReadDone);
    connect(m_worker, &TrxLinkWorker::failed, this, &CTrxLink::OnFailed);
    connect(m_worker, &TrxLinkWorker::tuned, this, &CTrxLink::tuned);
    m_thread->start();
}

// The radio is let go on its own thread, after the call under way there. A thread that
// does not come back (a radio library stuck in a call) is left to the end of the program
// rather than hang the window that closes.
CTrxLink::~CTrxLink()
{
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker] {
            worker->Shutdown();
            worker->thread()->quit();
        },
        Qt::QueuedConnection);
    if (!m_thread->wait(kShutdownWaitMs)) {
        qCCritical(lcRig) << "the transceiver link's thread does not end; left running";
        return;
    }
    delete m_worker;
    delete m_thread;
}

void CTrxLink::SetTimerFactory(TimerFactory factory)
{
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, factory] { worker->SetTimerFactory(factory); }, Qt::QueuedConnection);
}

void CTrxLink::OpenLink(ProgramDb &db)
{
    // A parameter that cannot be read counts 0: no radio.
    TrxConnection connection;
    connection.rig = Numbers::atoi(db.GetParameter("rig").value_or(QByteArray()));
    connection.commPort = Numbers::atoi(db.GetParameter("comm").value_or(QByteArray()));
    connection.settings = TrxSettings::load();
    OpenLink(connection);
}

void CTrxLink::OpenLink(int rig, int commPort, const QString &devicePath)
{
    TrxConnection connection;
    connection.rig = rig;
    connection.commPort = commPort;
    connection.devicePath = devicePath;
    connection.settings = m_settings;
    OpenLink(connection);
}

// The worker drops the radio opened before in any case.
void CTrxLink::OpenLink(const TrxConnection &connection)
{
    m_rig = connection.rig;
    m_commPort = connection.commPort;
    m_settings = connection.settings;
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, connection] { worker->Open(connection); }, Qt::QueuedConnection);
    if (m_rig > TrxHamlib) {
        Show({TrxMessage::portNotFound()});
        emit linkOpened(false);
    }
}

void CTrxLink::OnGetTrxFreq()
{
    if (m_queryWaiting)
        return;
    m_queryWaiting = true;
    if (!m_pollWaiting) // else the reading under way answers the query too
        StartRead();
}

void CTrxLink::Poll()
{
    if (m_queryWaiting || m_pollWaiting || m_rig <= TrxNone)
        return;
    m_pollWaiting = true;
    StartRead();
}

bool CTrxLink::Tune(qint64 hz, const QString &mode)
{
    if (!CanTune())
        return false;
    const RigDriver::TuneRequest request{hz, mode};
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, request] { worker->Tune(request); }, Qt::QueuedConnection);
    return true;
}

void CTrxLink::StartRead()
{
    const RigDriver::Request request{m_rig, m_commPort};
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, request] { worker->Read(request); }, Qt::QueuedConnection);
}

void CTrxLink::OnOpened(const QList<TrxMessage> &messages)
{
    Show(messages);
    emit linkOpened(messages.isEmpty());
}

void CTrxLink::OnReadDone(const TrxOutcome &outcome)
{
    const bool query = std::exchange(m_queryWaiting, false);
    const bool poll = std::exchange(m_pollWaiting, false);
    if (poll && outcome.reading)
        emit polled(*outcome.reading);
    if (query) {
        if (outcome.reading && m_receivers) {
            for (TrxReadingReceiver *receiver : m_receivers())
                receiver->SetTrxReading(*outcome.reading);
        }
        Show(outcome.messages);
        emit queryEnded();
        return;
    }
    for (const TrxMessage &message : outcome.messages) {
        if (message.lineFailed())
            Show({message});
        else
            qCDebug(lcRig) << "following the radio:" << message.text;
    }
}

void CTrxLink::OnFailed(const TrxMessage &message)
{
    Show({message});
}

void CTrxLink::Show(const QList<TrxMessage> &messages)
{
    if (messages.isEmpty())
        return;
    if (m_showing) {
        for (const TrxMessage &message : messages)
            qCWarning(lcRig) << "not shown while another message is open:" << message.text;
        return;
    }
    m_showing = true;
    for (const TrxMessage &message : messages)
        Prompter::current().message(message.icon(), message.text);
    m_showing = false;
}
