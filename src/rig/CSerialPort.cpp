#include "CSerialPort.h"

#include "RigLog.h"
#include "SerialPortNames.h"
#include "SerialPortOwner.h"

#include <QSignalBlocker>

#include <cstring>
#include <utility>

CSerialPort::CSerialPort(QObject *parent)
    : QObject(parent)
    , m_comm(new QSerialPort(this))
    , m_writeBuffer(kWriteBufferSize, '\0')
{
    connect(m_comm, &QSerialPort::readyRead, this, &CSerialPort::OnReadyRead);
    connect(m_comm, &QSerialPort::errorOccurred, this, &CSerialPort::OnError);
}

CSerialPort::~CSerialPort()
{
    ClosePort();
}

bool CSerialPort::InitPort(SerialPortOwner *owner, int portNumber)
{
    return InitPort(owner, portNumber, SerialPortNames::devicePath(portNumber));
}

bool CSerialPort::InitPort(SerialPortOwner *owner, int portNumber, const QString &devicePath)
{
    ClosePort();
    m_owner = owner;
    m_writeBuffer = QByteArray(kWriteBufferSize, '\0');
    m_portNumber = portNumber;
    m_devicePath = devicePath;
    m_settingError.clear();

    m_comm->setPortName(devicePath);
    if (devicePath.isEmpty()) {
        qCWarning(lcRig) << "COM" << portNumber << "has no device";
        return false;
    }
    if (!m_comm->open(QIODevice::ReadWrite)) {
        qCWarning(lcRig) << "cannot open" << devicePath << ':' << m_comm->errorString();
        return false; // the owner tells the operator
    }
    if (!Configure()) {
        qCWarning(lcRig) << devicePath << "refuses its line settings:" << m_comm->errorString();
        ClosePort();
        return false;
    }
    m_comm->clear(QSerialPort::AllDirections);
    return true;
}

// The line settings in the order the port takes them; QSerialPort reads the current
// state while it opens and has neither time-outs nor an event mask to set.
bool CSerialPort::Configure()
{
    if (!m_comm->setFlowControl(QSerialPort::NoFlowControl)) {
        m_settingError = QStringLiteral("SetCommState()");
        return false;
    }
    if (!m_comm->setBaudRate(QSerialPort::Baud4800) || !m_comm->setParity(QSerialPort::NoParity)
        || !m_comm->setDataBits(QSerialPort::Data8) || !m_comm->setStopBits(QSerialPort::TwoStop)) {
        m_settingError = QStringLiteral("BuildCommDCB()");
        return false;
    }
    return true;
}

void CSerialPort::StartMonitoring()
{
    if (!IsOpen() || m_monitoring)
        return;
    m_monitoring = true;
    m_comm->clear(QSerialPort::AllDirections);
    ServiceRequests();
}

void CSerialPort::RequestWriteText()
{
    m_writeTextRequested = true;
    if (m_monitoring)
        ServiceRequests();
}

void CSerialPort::RequestWriteCommand()
{
    m_writeCommandRequested = true;
    if (m_monitoring)
        ServiceRequests();
}

void CSerialPort::ServiceRequests()
{
    if (std::exchange(m_writeTextRequested, false))
        WriteData(static_cast<qint64>(::strnlen(m_writeBuffer.constData(), kWriteBufferSize)));
    if (std::exchange(m_writeCommandRequested, false))
        WriteData(kCommandLength);
}

// Closing a broken device can fail in its own right; those errors are not news.
void CSerialPort::ClosePort()
{
    m_monitoring = false;
    m_writeTextRequested = false;
    m_writeCommandRequested = false;
    if (m_comm->isOpen()) {
        const QSignalBlocker quiet(m_comm);
        m_comm->close();
    }
}

// A write or a port closed from the owner's OnRxByte ends the loop: what is left unread
// then is discarded.
void CSerialPort::OnReadyRead()
{
    while (m_monitoring && m_comm->bytesAvailable() > 0) {
        char byte = 0;
        if (!m_comm->getChar(&byte)) {
            Fail(QStringLiteral("ReadFile()"));
            return;
        }
        if (m_owner)
            m_owner->OnRxByte(static_cast<unsigned char>(byte), m_portNumber);
    }
    if (m_monitoring && m_owner)
        m_owner->OnRxDrained();
}

void CSerialPort::OnError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
        return;
    case QSerialPort::ReadError:
    case QSerialPort::ResourceError:
        Fail(QStringLiteral("ReadFile()"));
        return;
    case QSerialPort::WriteError:
        Fail(QStringLiteral("GetOverlappedResults() in WriteFile()"));
        return;
    default:
        qCWarning(lcRig) << m_devicePath << "error" << error << ':' << m_comm->errorString();
        return;
    }
}

// Unread input and pending output are discarded first: what comes after the write is
// the answer to it.
void CSerialPort::WriteData(qint64 count)
{
    if (!IsOpen())
        return;
    m_comm->clear(QSerialPort::AllDirections);
    if (!IsOpen()) // a device that went away fails the purge already
        return;
    if (m_comm->write(m_writeBuffer.constData(), count) != count) {
        Fail(QStringLiteral("WriteFile()"));
        return;
    }
    m_comm->flush(); // what does not fit now goes out from the event loop
}

// The port is closed before the owner hears of it, so a device that keeps failing can
// neither repeat the message nor keep the thread busy.
void CSerialPort::Fail(const QString &message)
{
    if (!IsOpen())
        return;
    qCWarning(lcRig) << m_devicePath << message << ':' << m_comm->errorString();
    ClosePort();
    if (m_owner)
        m_owner->OnPortFailed(message);
}
