#include "ClusterClient.h"

#include "NetLog.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace {

// Clusters send UTF-8 or, older ones, Latin-1; a line that is no valid UTF-8 is Latin-1.
QString decodeLine(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// "login:", "Please enter your call:", "Please enter your callsign".
bool asksForCall(const QString &text)
{
    static const QRegularExpression prompt(QStringLiteral("login\\s*:\\s*$|enter your call"),
                                           QRegularExpression::CaseInsensitiveOption);
    return prompt.match(text).hasMatch();
}

bool asksForPassword(const QString &text)
{
    static const QRegularExpression prompt(QStringLiteral("password\\s*:?\\s*$"),
                                           QRegularExpression::CaseInsensitiveOption);
    return prompt.match(text).hasMatch();
}

// The node's command prompt: "K1ABC de GB7XYZ 14-Jan-2024 1234Z dxspider >".
bool isCommandPrompt(const QString &text)
{
    return text.trimmed().endsWith(QLatin1Char('>'));
}

} // namespace

ClusterClient::ClusterClient(QObject *parent)
    : QObject(parent)
{
    m_reconnectTimer.setSingleShot(true);
    m_connectTimer.setSingleShot(true);
    m_quietTimer.setSingleShot(true);
    connect(&m_reconnectTimer, &QTimer::timeout, this, &ClusterClient::openConnection);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] {
        m_lastError = QStringLiteral("No connection within %1 s").arg(kConnectTimeoutMs / 1000);
        m_socket.abort();
    });
    connect(&m_quietTimer, &QTimer::timeout, this, [this] {
        if (!m_callSent)
            sendCall();
        else if (!m_passwordAsked || m_passwordSent)
            finishLogin();
    });
    connect(&m_socket, &QTcpSocket::connected, this, [this] {
        m_connectTimer.stop();
        qCInfo(lcNet) << "Cluster" << m_settings.host << m_settings.port << "connected";
        setState(State::LoggingIn);
        m_quietTimer.start(m_loginQuietMs);
    });
    connect(&m_socket, &QTcpSocket::readyRead, this, &ClusterClient::readBytes);
    connect(&m_socket, &QTcpSocket::stateChanged, this, &ClusterClient::onSocketStateChanged);
}

ClusterClient::~ClusterClient()
{
    // The socket is destroyed after this body; what it says on its way out reaches no one.
    m_state = State::Disconnected;
    m_socket.disconnect(this);
    m_socket.abort();
}

void ClusterClient::connectToCluster(const ClusterSettings &settings, const QString &password)
{
    disconnectFromCluster();
    m_settings = settings;
    m_password = password;
    m_nextPauseMs = m_firstPauseMs;
    openConnection();
}

void ClusterClient::disconnectFromCluster()
{
    // Disconnected first, so that the socket's own state change schedules nothing.
    setState(State::Disconnected);
    m_reconnectTimer.stop();
    m_connectTimer.stop();
    m_quietTimer.stop();
    m_socket.abort();
    m_lines.clear();
    m_password.clear();
}

void ClusterClient::setFirstReconnectPause(int milliseconds)
{
    m_firstPauseMs = std::clamp(milliseconds, 1, kLongestReconnectPauseMs);
    m_nextPauseMs = m_firstPauseMs;
}

bool ClusterClient::sendCommand(const QString &command)
{
    if (m_state != State::Connected) {
        qCWarning(lcNet) << "Cluster command not sent, not logged in:" << command;
        return false;
    }
    writeLine(command);
    return true;
}

void ClusterClient::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void ClusterClient::openConnection()
{
    m_socket.abort();
    m_lines.clear();
    m_lastError.clear();
    m_callSent = false;
    m_passwordAsked = false;
    m_passwordSent = false;
    qCInfo(lcNet) << "Cluster: connecting to" << m_settings.host << m_settings.port;
    setState(State::Connecting);
    m_connectTimer.start(kConnectTimeoutMs);
    m_socket.connectToHost(m_settings.host, m_settings.port);
}

void ClusterClient::readBytes()
{
    const QList<QByteArray> lines = m_lines.feed(m_socket.readAll());
    for (const QByteArray &line : lines) {
        handleLine(decodeLine(line));
        if (m_state == State::Disconnected)
            return; // a receiver stopped the client
    }
    if (m_state == State::LoggingIn) {
        // Prompts end without a line end: "login: " waits for its answer. Answered, it
        // is a line of its own, so that what follows starts a new one.
        const QString pending = decodeLine(m_lines.pending());
        if (answerPrompt(pending)) {
            m_lines.dropPending();
            emit textReceived(pending, DxSpotParser::kindOf(pending));
        }
        if (m_state == State::LoggingIn)
            m_quietTimer.start(m_loginQuietMs);
    }
}

void ClusterClient::handleLine(const QString &line)
{
    const std::optional<DxSpot> spot = DxSpotParser::parse(line);
    if (m_state == State::LoggingIn) {
        if (spot && m_callSent)
            finishLogin();
        else
            answerPrompt(line);
    }
    if (spot)
        emit spotReceived(*spot);
    else
        emit textReceived(line, DxSpotParser::kindOf(line));
}

// Answers a login or password prompt once per connection; a command prompt after the
// answers ends the login. True when the text was one of these prompts.
bool ClusterClient::answerPrompt(const QString &text)
{
    if (!m_callSent && asksForCall(text))
        sendCall();
    else if (m_callSent && !m_passwordAsked && asksForPassword(text))
        sendPassword();
    else if (m_callSent && (!m_passwordAsked || m_passwordSent) && isCommandPrompt(text))
        finishLogin();
    else
        return false;
    return true;
}

void ClusterClient::sendCall()
{
    m_callSent = true;
    qCInfo(lcNet) << "Cluster: logging in as" << m_settings.call;
    writeLine(m_settings.call);
    m_quietTimer.start(m_loginQuietMs);
}

void ClusterClient::sendPassword()
{
    m_passwordAsked = true;
    if (m_password.isEmpty()) {
        m_lastError = QStringLiteral("The cluster asks for a password and none is set");
        qCWarning(lcNet) << "Cluster:" << m_lastError;
        return;
    }
    m_passwordSent = true;
    qCInfo(lcNet) << "Cluster: password sent";
    writeLine(m_password);
    m_quietTimer.start(m_loginQuietMs);
}

void ClusterClient::finishLogin()
{
    if (m_state != State::LoggingIn)
        return;
    m_quietTimer.stop();
    m_nextPauseMs = m_firstPauseMs;
    m_lastError.clear();
    setState(State::Connected);
    qCInfo(lcNet) << "Cluster: logged in, sending" << m_settings.commands.size() << "commands";
    for (const QString &command : std::as_const(m_settings.commands))
        writeLine(command);
}

void ClusterClient::onSocketStateChanged(QAbstractSocket::SocketState socketState)
{
    if (socketState != QAbstractSocket::UnconnectedState || m_state == State::Disconnected
        || m_state == State::WaitingToReconnect)
        return;
    m_connectTimer.stop();
    m_quietTimer.stop();
    if (m_lastError.isEmpty())
        m_lastError = m_socket.error() == QAbstractSocket::UnknownSocketError
                        ? QStringLiteral("The cluster closed the connection")
                        : m_socket.errorString();
    scheduleReconnect();
}

void ClusterClient::scheduleReconnect()
{
    const int pause = m_nextPauseMs;
    m_nextPauseMs = std::min(m_nextPauseMs * 2, kLongestReconnectPauseMs);
    qCWarning(lcNet) << "Cluster" << m_settings.host << m_settings.port << ":" << m_lastError << "- trying again in"
                     << pause << "ms";
    setState(State::WaitingToReconnect);
    m_reconnectTimer.start(pause);
}

void ClusterClient::writeLine(const QString &line)
{
    m_socket.write(line.toUtf8() + "\r\n");
}
