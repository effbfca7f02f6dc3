#include "SerialRigDriver.h"

#include "ReplyTimer.h"
#include "RigLog.h"
#include "TrxDecoding.h"
#include "TrxType.h"

#include <cstring>

SerialRigDriver::SerialRigDriver(int commPort, const QString &devicePath, ReplyTimer *timer, QObject *parent)
    : RigDriver(parent)
    , m_port(this)
    , m_timer(timer ? timer : new ReplyTimer)
    , m_commPort(commPort)
    , m_devicePath(devicePath)
    , m_acceptedPort(commPort)
{
    m_timer->setParent(this);
    connect(m_timer, &ReplyTimer::expired, this, &SerialRigDriver::OnTimeout);
}

bool SerialRigDriver::Serves(int rig) const
{
    return rig == TrxFt897 || rig == TrxFt1000mp;
}

QList<TrxMessage> SerialRigDriver::Open()
{
    const bool opened = m_devicePath.isEmpty() ? m_port.InitPort(this, m_commPort)
                                               : m_port.InitPort(this, m_commPort, m_devicePath);
    if (!opened) {
        QList<TrxMessage> messages;
        if (!m_port.SettingError().isEmpty())
            messages.append(TrxMessage::settingRefused(m_port.SettingError()));
        messages.append(TrxMessage::portNotFound());
        return messages;
    }
    m_port.StartMonitoring();
    return {};
}

void SerialRigDriver::Close()
{
    m_port.ClosePort();
}

// The reply buffer is emptied before the command goes out, so only the answer to it
// is counted.
void SerialRigDriver::StartRead(const Request &request)
{
    m_rxCount = 0;
    m_rxBuffer.fill(0);
    m_acceptedPort = request.commPort;
    m_readRig = request.rig;
    m_replyLength = TrxDecoding::replyLength(request.rig);
    m_timer->start(kReplyTimeoutMs);
    const QByteArray command = TrxDecoding::commandFrame(request.rig);
    char *buffer = m_port.WriteBuffer();
    std::memset(buffer, 0, CSerialPort::kCommandLength);
    std::memcpy(buffer, command.constData(), CSerialPort::kCommandLength);
    m_port.RequestWriteCommand();
}

int SerialRigDriver::OnRxByte(unsigned char byte, int portNumber)
{
    if (portNumber != m_acceptedPort)
        return -1;
    if (m_rxCount < kRxBufferSize)
        m_rxBuffer[static_cast<size_t>(m_rxCount++)] = byte;
    return 0;
}

// Bytes that arrive together are looked at together: a reply with a byte too many
// (an echo, say) is no reply.
void SerialRigDriver::OnRxDrained()
{
    if (m_replyLength > 0 && m_rxCount == m_replyLength)
        Finish(TrxOutcome{TrxDecoding::decodeReply(m_readRig, RxBytes()), {}});
}

void SerialRigDriver::OnTimeout()
{
    if (m_replyLength == 0)
        return;
    qCWarning(lcRig) << "no reply of" << m_replyLength << "bytes within" << kReplyTimeoutMs << "ms; got"
                     << RxBytes().toHex(' ');
    Finish(TrxOutcome{std::nullopt, {TrxMessage::noReply()}});
}

// The port has closed itself; a read that waits ends with the line's message, else
// the link hears of it on its own.
void SerialRigDriver::OnPortFailed(const QString &message)
{
    if (m_replyLength > 0)
        Finish(TrxOutcome{std::nullopt, {TrxMessage::lineBroke(message)}});
    else
        emit failed(TrxMessage::lineBroke(message));
}

void SerialRigDriver::Finish(const TrxOutcome &outcome)
{
    m_timer->stop();
    m_replyLength = 0;
    emit readDone(outcome);
}

QByteArray SerialRigDriver::RxBytes() const
{
    return QByteArray(reinterpret_cast<const char *>(m_rxBuffer.data()), m_rxCount);
}
