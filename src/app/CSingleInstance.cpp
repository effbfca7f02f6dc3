#include "CSingleInstance.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

#include <unistd.h>

namespace {

constexpr int kWaitMs = 2000;

QString perUser(const QString &name)
{
    return QStringLiteral("%1-%2").arg(name).arg(::getuid());
}

// The running instance works in a folder of its own: a path given relative to this
// start's folder must reach it whole.
QString absolute(const QString &path)
{
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

} // namespace

CSingleInstance::CSingleInstance(const QString &name, QObject *parent)
    : QObject(parent)
    , m_serverName(perUser(name))
    , m_lock(QDir(QDir::tempPath()).filePath(perUser(name) + QStringLiteral(".lock")))
{
    connect(&m_server, &QLocalServer::newConnection, this, &CSingleInstance::acceptConnection);
}

bool CSingleInstance::start(const QString &path)
{
    // A lock left by a crashed instance is taken over: QLockFile sees its process gone.
    // When the holder does not answer, this start goes on rather than leave the
    // operator without a logbook.
    if (!m_lock.tryLock(0) && passOn(m_serverName, absolute(path)))
        return false;
    QLocalServer::removeServer(m_serverName);
    m_server.listen(m_serverName);
    return true;
}

bool CSingleInstance::passOn(const QString &serverName, const QString &path)
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(kWaitMs))
        return false;
    // Framed by QDataStream (its length first), so that any character a file name may
    // hold, line ends included, reaches the running instance.
    QDataStream out(&socket);
    out << path;
    const bool sent = socket.waitForBytesWritten(kWaitMs);
    socket.disconnectFromServer();
    return sent;
}

void CSingleInstance::acceptConnection()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            QString path;
            in >> path;
            if (!in.commitTransaction())
                return; // the rest is still on its way
            socket->disconnectFromServer();
            emit activationRequested(path);
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    }
}
