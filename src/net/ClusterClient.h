#pragma once

#include "ClusterLineBuffer.h"
#include "ClusterSettings.h"
#include "DxSpot.h"
#include "DxSpotParser.h"

#include <QObject>
#include <QTcpSocket>
#include <QTimer>

// A telnet connection to a DX cluster node. It logs in with the operator's call (and a
// password when the node asks for one and the caller gave one), sends the commands of
// the settings once logged in, and reads what the node sends: each spot as a DxSpot,
// every other line as text of its kind. A connection that drops or cannot be made is
// tried again after a pause that doubles each time (2, 4, 8 ... 120 s) until a login
// succeeds; disconnectFromCluster() stops all of it.
//
// Logged in means: the call is sent (and the password when asked for), and then the
// node shows its command prompt (a line ending in ">"), sends a spot, or says nothing
// more for a moment. A node that never prompts gets the call after that moment too.
class ClusterClient : public QObject
{
    Q_OBJECT

public:
    enum class State {
        Disconnected,       // not connected and not trying
        Connecting,         // the TCP connection is being made
        LoggingIn,          // connected, the login is going on
        Connected,          // logged in: spots come, commands go
        WaitingToReconnect, // the connection dropped or failed; the next try is timed
    };
    Q_ENUM(State)

    static constexpr int kFirstReconnectPauseMs = 2000;
    static constexpr int kLongestReconnectPauseMs = 120000;
    static constexpr int kLoginQuietMs = 2000;
    static constexpr int kConnectTimeoutMs = 15000;

    explicit ClusterClient(QObject *parent = nullptr);
    ~ClusterClient() override;

    // Connects to settings.host:settings.port and keeps connected until
    // disconnectFromCluster(). An empty password is never sent.
    void connectToCluster(const ClusterSettings &settings, const QString &password = QString());
    void disconnectFromCluster();

    State state() const { return m_state; }
    // Why the connection failed or dropped (while waiting to reconnect), or why the
    // login cannot go on; empty otherwise.
    QString lastError() const { return m_lastError; }

    // The pause before the next try after a drop.
    int reconnectPause() const { return m_nextPauseMs; }
    // The pause after the first drop (and after each successful login); tests shorten it.
    void setFirstReconnectPause(int milliseconds);
    // How long the node may stay silent before the login counts as done.
    void setLoginQuietTime(int milliseconds) { m_loginQuietMs = milliseconds; }

public slots:
    // Sends one command line (a CR LF is added). False when not logged in.
    bool sendCommand(const QString &command);

signals:
    void spotReceived(const DxSpot &spot);
    void textReceived(const QString &line, DxSpotParser::LineKind kind);
    void stateChanged(ClusterClient::State state);

private:
    void setState(State state);
    void openConnection();
    void readBytes();
    void handleLine(const QString &line);
    bool answerPrompt(const QString &text);
    void sendCall();
    void sendPassword();
    void finishLogin();
    void onSocketStateChanged(QAbstractSocket::SocketState socketState);
    void scheduleReconnect();
    void writeLine(const QString &line);

    ClusterSettings m_settings;
    QString m_password;
    QTcpSocket m_socket;
    ClusterLineBuffer m_lines;
    QTimer m_reconnectTimer;
    QTimer m_connectTimer;
    QTimer m_quietTimer;
    State m_state = State::Disconnected;
    QString m_lastError;
    int m_firstPauseMs = kFirstReconnectPauseMs;
    int m_nextPauseMs = kFirstReconnectPauseMs;
    int m_loginQuietMs = kLoginQuietMs;
    bool m_callSent = false;
    bool m_passwordAsked = false;
    bool m_passwordSent = false;
};
