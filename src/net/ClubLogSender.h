#pragma once

#include "ClubLogClient.h"
#include "ClubLogOutbox.h"
#include "ServiceOutcome.h"
#include "store/QslStore.h"

#include <QHash>
#include <QObject>
#include <QTimer>

#include <functional>

class CKorva3Doc;

// The logbook's Club Log outbox sent as ClubLogOutbox's policy says: each QSO the
// operator adds, changes or deletes goes to Club Log at once, one at a time, in order;
// an entry leaves the logbook's outbox only when Club Log took it (200) or refused it
// for good (400, its reason told); a 500 or a lost connection sends it again after a
// growing pause; a 403 stops all sending until resume(). What is not yet sent stays in
// the logbook, so it goes after a restart. Nothing here blocks the window.
//
// Besides, the whole log at once (putlogs.php), told by `finished`.
class ClubLogSender : public QObject
{
    Q_OBJECT

public:
    explicit ClubLogSender(CKorva3Doc &doc, QObject *parent = nullptr);

    ClubLogClient &client() { return m_client; }
    void setAccount(const ClubLogClient::Account &account) { m_account = account; }
    // The clock of the pauses, in milliseconds (a test's own); the steady clock unless set.
    void setClock(std::function<qint64()> clock) { m_clock = std::move(clock); }

    // Takes the logbook's outbox and sends from it; entries the document adds later
    // follow. Sending stops when the account is refused (403).
    void start();
    // After the operator fixed the account: the first entry goes again at once.
    void resume();
    // Sends the next entry when its pause is over (the timer calls it; so may a test).
    void sendDue();
    bool isStopped() const { return m_policy.isStopped(); }
    const ClubLogOutbox &policy() const { return m_policy; }

    // Uploads every QSO of the logbook as one file; `clear` empties the log at Club Log first.
    void uploadLog(bool clear = false);

signals:
    // Club Log answered for an outbox entry (the entry left the outbox unless RetryLater).
    void answered(qint64 entryId, const ClubLogAnswer &answer);
    // Sending stopped: Club Log refused the account; the reason for the operator.
    void stopped(const QString &reason);
    // Nothing waits in the outbox any more.
    void empty();
    // The whole-log upload ended.
    void finished(const ServiceOutcome &outcome);

private:
    void takeOutbox();
    void onAnswer(qint64 id, const ClubLogAnswer &answer);
    void schedule();

    static constexpr qint64 kWholeLogId = -1;

    CKorva3Doc &m_doc;
    ClubLogClient m_client;
    ClubLogClient::Account m_account;
    ClubLogOutbox m_policy;
    QHash<qint64, QslStore::OutboxEntry> m_entries;
    qint64 m_lastTaken = 0;
    int m_wholeLogQsos = 0;
    bool m_following = false;
    std::function<qint64()> m_clock;
    QTimer m_timer;
};
