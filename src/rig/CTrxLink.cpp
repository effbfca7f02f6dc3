#include "CTrxLink.h"

#include "TrxDecoding.h"
#include "TrxReadingReceiver.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"
#include "store/Sqlite3DB.h"

#include <QMetaObject>
#include <QThread>

#include <cstring>

namespace {
const char kPortNotFound[] = "Communication port for Tx/Rx not found !\nCheck your setup...";
const char kNoReply[] = "Check configuration or\nserial cable to trx...";
} // namespace

CTrxLink::CTrxLink(QObject *parent)
    : QObject(parent)
{
}

CTrxLink::~CTrxLink()
{
    m_abortQuery = true;
    if (m_queryThread) {
        m_queryThread->wait();
        delete m_queryThread;
    }
}

void CTrxLink::OpenLink(Sqlite3DB &db)
{
    // A failed read gives one of the store's failure texts, which counts 0.
    QByteArray rig;
    QByteArray commPort;
    db.GetParameter("rig", rig);
    db.GetParameter("comm", commPort);
    OpenLink(Numbers::atoi(rig), Numbers::atoi(commPort));
}

bool CTrxLink::OpenLink(int rig, int commPort, const QString &devicePath)
{
    m_rig = rig;
    m_commPort = commPort;
    if (m_rig <= TrxNone)
        return false;
    const bool known = m_rig == TrxFt897 || m_rig == TrxFt1000mp;
    const bool opened = known
        && (devicePath.isEmpty() ? m_port.InitPort(this, m_commPort) : m_port.InitPort(this, m_commPort, devicePath));
    if (!opened) {
        Prompter::current().warning(QString::fromLatin1(kPortNotFound));
        return false;
    }
    m_port.StartMonitoring();
    return true;
}

int CTrxLink::OnRxByte(unsigned char byte, int portNumber)
{
    if (portNumber != m_commPort)
        return -1;
    const int count = m_rxCount.load(std::memory_order_relaxed);
    if (count < kRxBufferSize) {
        m_rxBuffer[static_cast<size_t>(count)] = byte;
        m_rxCount.store(count + 1, std::memory_order_release);
    }
    return 0;
}

QByteArray CTrxLink::RxBytes() const
{
    return QByteArray(reinterpret_cast<const char *>(m_rxBuffer.data()), m_rxCount);
}

bool CTrxLink::QueryWaiting() const
{
    return m_queryWaiting;
}

// The reply buffer is emptied here, before the query thread exists, so that only one
// thread ever writes it at a time.
void CTrxLink::OnGetTrxFreq()
{
    if (m_queryWaiting)
        return;
    m_queryWaiting = true;
    if (m_queryThread) {
        m_queryThread->wait(); // it has handed over its result and is ending
        delete m_queryThread;
    }
    m_rxCount = 0;
    m_rxBuffer.fill(0);
    const int rig = m_rig;
    m_command = TrxDecoding::commandFrame(rig);
    m_queryThread = QThread::create([this, rig] { QueryTrxFrequency(rig); });
    m_queryThread->start();
}

// On the query thread: the forms and the message box are reached through queued calls,
// which the link's thread carries out.
void CTrxLink::QueryTrxFrequency(int rig)
{
    const int length = TrxDecoding::replyLength(rig);
    TrxReading reading;
    if (length > 0) {
        SendCommand();
        if (!WaitForReply(length)) {
            if (!m_abortQuery)
                QMetaObject::invokeMethod(this, &CTrxLink::ReportNoReply, Qt::QueuedConnection);
            return;
        }
        reading = TrxDecoding::decodeReply(rig, QByteArray(reinterpret_cast<const char *>(m_rxBuffer.data()), length));
    } else {
        reading = TrxDecoding::decodeReply(rig, QByteArray());
    }
    QMetaObject::invokeMethod(this, [this, reading] { DeliverReading(reading); }, Qt::QueuedConnection);
}

void CTrxLink::SendCommand()
{
    char *buffer = m_port.WriteBuffer();
    std::memset(buffer, 0, CSerialPort::kCommandLength);
    std::memcpy(buffer, m_command.constData(), CSerialPort::kCommandLength);
    m_port.RequestWriteCommand();
}

// Only a count of exactly `length` at one of the looks counts as the reply.
bool CTrxLink::WaitForReply(int length)
{
    for (int look = 0; look < kLooks && !m_abortQuery; ++look) {
        QThread::msleep(kLookIntervalMs);
        if (m_rxCount.load(std::memory_order_acquire) == length)
            return true;
    }
    return false;
}

void CTrxLink::DeliverReading(const TrxReading &reading)
{
    m_queryWaiting = false;
    if (m_receivers) {
        for (TrxReadingReceiver *receiver : m_receivers())
            receiver->SetTrxReading(reading);
    }
    emit queryEnded();
}

void CTrxLink::ReportNoReply()
{
    m_queryWaiting = false;
    Prompter::current().plain(QString::fromLatin1(kNoReply));
    emit queryEnded();
}
