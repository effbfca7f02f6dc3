#pragma once

#include "net/ClusterSettings.h"

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

// A cluster node of the test's own on 127.0.0.1: it keeps the latest connection and
// what the client wrote on it.
class FakeCluster
{
public:
    FakeCluster()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                m_peer = socket;
                m_heard.clear();
                m_greeted = false;
                ++m_connections;
                if (!m_loginCall.isEmpty())
                    say("login: ");
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    if (socket != m_peer)
                        return;
                    m_heard += socket->readAll();
                    if (!m_loginCall.isEmpty() && !m_greeted && m_heard.startsWith(m_loginCall + "\r\n")) {
                        m_greeted = true;
                        say(m_loginCall + " de FAKE >\r\n" + m_afterLogin);
                    }
                });
            }
        });
        m_server.listen(QHostAddress::LocalHost);
    }

    ClusterSettings settings() const
    {
        ClusterSettings settings;
        settings.host = QStringLiteral("127.0.0.1");
        settings.port = m_server.serverPort();
        settings.call = QStringLiteral("K1ABC");
        settings.commands = QStringList{QStringLiteral("set/dx/filter"), QStringLiteral("sh/dx 5")};
        return settings;
    }
    void say(const QByteArray &bytes)
    {
        if (m_peer && !bytes.isEmpty()) {
            m_peer->write(bytes);
            m_peer->flush();
        }
    }
    void hangUp() { m_peer->disconnectFromHost(); }
    // Plays the node's side of every login from now on by itself, for a client the test
    // cannot wait beside: asks for the call and, once `call` comes, shows the command
    // prompt followed by `afterLogin`.
    void answerLogins(const QByteArray &call, const QByteArray &afterLogin)
    {
        m_loginCall = call;
        m_afterLogin = afterLogin;
    }
    int connections() const { return m_connections; }
    const QByteArray &heard() const { return m_heard; }

private:
    QTcpServer m_server;
    QTcpSocket *m_peer = nullptr;
    QByteArray m_heard;
    int m_connections = 0;
    QByteArray m_loginCall;
    QByteArray m_afterLogin;
    bool m_greeted = false;
};
