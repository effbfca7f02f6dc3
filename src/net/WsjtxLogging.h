#pragma once

#include "WsjtxSettings.h"
#include "WsjtxStatus.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class CKorva3Doc;
class WsjtxListener;

// Logs what WSJT-X, JTDX and JS8Call send into a logbook: listens as the settings say
// and stores each QSO the listener announces through the document's record-level way
// in, with the active station profile's fields where the record has none of its own.
// The logbook is asked for anew for every QSO, so that it follows the operator's
// windows. The logbook window and korva3-cli listen both log this way.
class WsjtxLogging : public QObject
{
    Q_OBJECT

public:
    // What became of one QSO, and the line that says so.
    struct Outcome
    {
        enum class Kind { Logged, AlreadyLogged, NotLogged };
        Kind kind = Kind::NotLogged;
        QString call;
        QString program;
        // "K1ABC logged from WSJT-X", "K1ABC already logged", "K1ABC not logged: why".
        QString text;
    };

    // The logbook a QSO goes into now; null, with the reason in `why`, when there is none.
    using Target = std::function<CKorva3Doc *(QString &why)>;

    explicit WsjtxLogging(Target target, QObject *parent = nullptr);
    ~WsjtxLogging() override;

    // Listens as `settings` say (stops when they are not enabled), opening the ports
    // again only when the port, group, interface or secondary port changed or nothing
    // listens yet. False, with lastError() and nothing listening, when a port is in use
    // or the group cannot be joined. The settings are kept either way.
    bool apply(const WsjtxSettings &settings);
    void stop();
    const WsjtxSettings &settings() const { return m_settings; }
    bool isListening() const;
    QString lastError() const { return m_lastError; }
    // What the operator is told when apply() failed: "Korva3 does not listen for
    // WSJT-X: UDP port 2237 is in use by another program".
    QString notListeningText() const;
    // The listener, made at the first apply() that enables it (null before).
    WsjtxListener *listener() const { return m_listener.get(); }

    // One record into `logbook` (null: not logged, for `why`). A record the logbook
    // already holds is no failure; a write that fails leaves nothing of the QSO.
    static Outcome store(CKorva3Doc *logbook, const QString &why, const QByteArray &record, const QString &program);

signals:
    // After every QSO the listener announced, stored or not.
    void qsoHandled(const WsjtxLogging::Outcome &outcome);
    // The Status messages of the programs, for the entry form that follows them.
    void statusReceived(const WsjtxStatus &status);

private:
    void onQsoLogged(const QByteArray &record, const QString &program);

    Target m_target;
    WsjtxSettings m_settings;
    std::unique_ptr<WsjtxListener> m_listener;
    QString m_lastError;
};

Q_DECLARE_METATYPE(WsjtxLogging::Outcome)
