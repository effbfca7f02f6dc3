#pragma once

#include "WsjtxSettings.h"
#include "WsjtxStatus.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QObject>
#include <QQueue>
#include <QString>
#include <QTimer>

class QThread;
class WsjtxReceiver;

// Listens for WSJT-X, JTDX and JS8Call on a UDP port of every IPv4 address, shared with
// the other programs that listen there (and, for a multicast group, joined on one
// network interface or on every one that takes it), and optionally for plain ADIF
// datagrams on a second port. The sockets are read on a thread of their own
// (WsjtxReceiver); what arrives is decoded and announced on the listener's thread:
//
// - qsoLogged once per QSO, with its ADIF record and the program's name. A QSO comes
//   more than once: WSJT-X sends a QSO Logged and a Logged ADIF message for it, a
//   program may send a datagram again, several programs on a multicast group or the
//   secondary port may send the same QSO. Records of one identity (WsjtxRecord::
//   identity) heard within the last 15 minutes are announced once. The Logged ADIF
//   record, which carries more fields, is preferred: the record built from a QSO
//   Logged message waits adifWait() for it and is dropped when it comes.
// - statusReceived, heartbeatReceived and programClosed for every such message.
//
// A datagram that does not decode is dropped and logged under korva3.net with its
// sender and the reason; unknown message types are logged and ignored.
class WsjtxListener : public QObject
{
    Q_OBJECT

public:
    explicit WsjtxListener(QObject *parent = nullptr);
    // A QSO still waiting for its Logged ADIF is dropped (logged): call stop() first.
    ~WsjtxListener() override;

    // Stops, then listens as `settings` say (port, multicast group and interface, the
    // secondary ADIF port when enabled); `settings.enabled` is the caller's to check. A
    // port of 0 takes a free one (see port()). False, with lastError() and nothing
    // listening, when a port is in use by a program that does not share it, or the
    // group cannot be joined.
    bool start(const WsjtxSettings &settings);
    // Closes the sockets; a QSO waiting for its Logged ADIF is announced first.
    void stop();
    bool isListening() const { return m_listening; }
    QString lastError() const { return m_lastError; }
    // The ports bound (0 when not listening).
    quint16 port() const { return m_port; }
    quint16 secondaryPort() const { return m_secondaryPort; }

    // How long the record of a QSO Logged message waits for its Logged ADIF (500 ms).
    int adifWait() const { return m_adifWait; }
    void setAdifWait(int milliseconds) { m_adifWait = milliseconds; }

    // The name the status bar shows for a sender's Id: "WSJT-X", "JTDX" or "JS8Call"
    // for an Id that starts so (in any letter case), else the Id, or "UDP" for none.
    static QString programName(const QString &id);
    // The program name of the records of the secondary port.
    static QString adifProgramName() { return QStringLiteral("ADIF UDP"); }

signals:
    void qsoLogged(const QByteArray &adifRecord, const QString &programName);
    void statusReceived(const WsjtxStatus &status);
    void heartbeatReceived(const QString &id);
    void programClosed(const QString &id);

private:
    struct Waiting
    {
        QString identity;
        QByteArray record;
        QString program;
        qint64 due = 0;
    };

    void handle(const QByteArray &data, const QString &sender, bool adif);
    void handleMessage(const QByteArray &data, const QString &sender);
    // A record heard; `preferred` for ADIF records, which need not wait.
    void offer(const QByteArray &record, const QString &program, bool preferred);
    void announceDue();
    void announce(const Waiting &waiting);
    void remember(const QString &identity);

    QThread *m_thread;
    WsjtxReceiver *m_receiver;
    bool m_listening = false;
    quint16 m_port = 0;
    quint16 m_secondaryPort = 0;
    QString m_lastError;
    int m_adifWait = 500;
    QList<Waiting> m_waiting;
    QTimer m_waitTimer;
    QElapsedTimer m_clock;
    // The identities announced, with when; oldest first in m_heardOrder.
    QHash<QString, qint64> m_heard;
    QQueue<QPair<qint64, QString>> m_heardOrder;
};
