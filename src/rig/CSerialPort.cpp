#include "CSerialPort.h"

#include "CommWorker.h"
#include "SerialPortNames.h"
#include "platform/Prompter.h"

#include <QMetaObject>
#include <QSerialPort>
#include <QThread>

CSerialPort::CSerialPort()
    : m_writeBuffer(kWriteBufferSize, '\0')
{
}

CSerialPort::~CSerialPort()
{
    Shutdown();
}

bool CSerialPort::InitPort(SerialPortOwner *owner, int portNumber)
{
    return InitPort(owner, portNumber, SerialPortNames::devicePath(portNumber));
}

bool CSerialPort::InitPort(SerialPortOwner *owner, int portNumber, const QString &devicePath)
{
    Shutdown();
    m_shutdown = false;
    m_writeTextRequested = false;
    m_writeCommandRequested = false;
    m_owner = owner;
    m_ownerContext = std::make_unique<QObject>();
    m_writeBuffer = QByteArray(kWriteBufferSize, '\0');
    m_portNumber = portNumber;
    m_devicePath = devicePath;

    QMutexLocker lock(&m_lock);
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(devicePath);
    if (devicePath.isEmpty() || !port->open(QIODevice::ReadWrite))
        return false; // the owner tells the operator
    if (!Configure(*port))
        return false;
    port->clear(QSerialPort::AllDirections);
    m_comm = port.release();
    return true;
}

// The line settings in the order the port takes them; QSerialPort reads the current
// state while it opens and has neither time-outs nor an event mask to set.
bool CSerialPort::Configure(QSerialPort &port)
{
    if (!port.setFlowControl(QSerialPort::NoFlowControl)) {
        ShowError(QStringLiteral("SetCommState()"));
        return false;
    }
    if (!port.setBaudRate(QSerialPort::Baud4800) || !port.setParity(QSerialPort::NoParity)
        || !port.setDataBits(QSerialPort::Data8) || !port.setStopBits(QSerialPort::TwoStop)) {
        ShowError(QStringLiteral("BuildCommDCB()"));
        return false;
    }
    return true;
}

void CSerialPort::StartMonitoring()
{
    if (!m_comm || m_thread)
        return;
    m_thread = new QThread;
    m_worker = new CommWorker(*this);
    m_worker->moveToThread(m_thread);
    m_comm->moveToThread(m_thread);
    QObject::connect(m_thread, &QThread::started, m_worker, &CommWorker::Start);
    m_thread->start();
}

void CSerialPort::RequestWriteText()
{
    m_writeTextRequested = true;
    WakeWorker();
}

void CSerialPort::RequestWriteCommand()
{
    m_writeCommandRequested = true;
    WakeWorker();
}

// Without a worker a request stays pending until one starts.
void CSerialPort::WakeWorker()
{
    if (m_worker)
        QMetaObject::invokeMethod(m_worker, &CommWorker::ServiceRequests, Qt::QueuedConnection);
}

void CSerialPort::ShowError(const QString &text)
{
    if (!m_ownerContext || QThread::currentThread() == m_ownerContext->thread()) {
        Prompter::current().error(text);
        return;
    }
    QMetaObject::invokeMethod(
        m_ownerContext.get(), [text] { Prompter::current().error(text); }, Qt::QueuedConnection);
}

// The worker notices the shutdown flag even while it waits for the owner to take a byte,
// so waiting here cannot lock up with a delivery the owner's thread will never run.
void CSerialPort::Shutdown()
{
    if (m_thread) {
        m_shutdown = true;
        QMetaObject::invokeMethod(m_worker, &CommWorker::Finish, Qt::QueuedConnection);
        m_thread->wait();
        delete m_worker;
        delete m_thread;
        m_worker = nullptr;
        m_thread = nullptr;
    } else {
        delete m_comm;
    }
    m_comm = nullptr;
    m_ownerContext.reset(); // drops deliveries and messages not yet handled
}
