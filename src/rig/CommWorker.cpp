#include "CommWorker.h"

#include "CSerialPort.h"
#include "SerialPortOwner.h"

#include <QMutexLocker>
#include <QSemaphore>
#include <QThread>

#include <cstring>
#include <memory>

namespace {
// How often a worker waiting for the owner looks whether the port is shutting down.
constexpr int kShutdownLookMs = 10;
} // namespace

CommWorker::CommWorker(CSerialPort &port)
    : m_port(port)
{
}

void CommWorker::Start()
{
    m_port.m_threadAlive = true;
    QSerialPort *comm = m_port.m_comm;
    connect(comm, &QSerialPort::readyRead, this, &CommWorker::OnReadyRead);
    connect(comm, &QSerialPort::errorOccurred, this, &CommWorker::OnError);
    {
        QMutexLocker lock(&m_port.m_lock);
        comm->clear(QSerialPort::AllDirections);
    }
    ServiceRequests();
}

void CommWorker::ServiceRequests()
{
    if (m_port.m_shutdown)
        return;
    if (m_port.m_writeTextRequested.exchange(false))
        WriteData(static_cast<qint64>(::strnlen(m_port.m_writeBuffer.constData(), CSerialPort::kWriteBufferSize)));
    if (m_port.m_writeCommandRequested.exchange(false))
        WriteData(CSerialPort::kCommandLength);
}

bool CommWorker::RequestsPending() const
{
    return m_port.m_writeTextRequested || m_port.m_writeCommandRequested;
}

void CommWorker::Finish()
{
    QSerialPort *comm = m_port.m_comm;
    m_port.m_comm = nullptr;
    if (comm) {
        comm->disconnect(this);
        comm->close();
        delete comm; // its notifiers belong to this thread
    }
    m_port.m_threadAlive = false;
    thread()->quit();
}

void CommWorker::OnReadyRead()
{
    QSerialPort *comm = m_port.m_comm;
    while (!m_port.m_shutdown) {
        if (RequestsPending())
            ServiceRequests();
        char byte = 0;
        {
            QMutexLocker lock(&m_port.m_lock);
            if (comm->bytesAvailable() <= 0)
                return;
            if (!comm->getChar(&byte)) {
                m_port.ShowError(QStringLiteral("ReadFile()"));
                return;
            }
        }
        if (!Deliver(static_cast<unsigned char>(byte)))
            return;
    }
}

void CommWorker::OnError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError)
        m_port.ShowError(QStringLiteral("ReadFile()"));
    else if (error == QSerialPort::WriteError)
        m_port.ShowError(QStringLiteral("GetOverlappedResults() in WriteFile()"));
}

// Unread input and pending output are discarded first: what comes after the write is
// the answer to it.
void CommWorker::WriteData(qint64 count)
{
    QSerialPort *comm = m_port.m_comm;
    QMutexLocker lock(&m_port.m_lock);
    comm->clear(QSerialPort::AllDirections);
    if (comm->write(m_port.m_writeBuffer.constData(), count) != count) {
        m_port.ShowError(QStringLiteral("WriteFile()"));
        return;
    }
    comm->flush(); // what does not fit now goes out from this thread's event loop
}

// Plays a synchronous window message: the byte is handled on the owner's thread while
// this thread waits for it.
bool CommWorker::Deliver(unsigned char byte)
{
    auto handled = std::make_shared<QSemaphore>();
    SerialPortOwner *owner = m_port.m_owner;
    const int portNumber = m_port.m_portNumber;
    QMetaObject::invokeMethod(
        m_port.m_ownerContext.get(),
        [owner, byte, portNumber, handled] {
            if (owner)
                owner->OnRxByte(byte, portNumber);
            handled->release();
        },
        Qt::QueuedConnection);
    while (!handled->tryAcquire(1, kShutdownLookMs)) {
        if (m_port.m_shutdown)
            return false;
    }
    return true;
}
