#pragma once

#include "EqslClient.h"
#include "ServiceOutcome.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class CKorva3Doc;

// eQSL and one logbook: the QSOs not yet sent uploaded, and the inbox's cards matched
// to their QSOs (EQSL_QSL_RCVD, EQSL_QSLRDATE), the others listed for the operator.
// Every write goes through the document; the inbox is written on a thread of its own.
// Each call ends with one `finished`.
//
// A QSO counts as sent only when eQSL's page reports no error for the upload: eQSL says
// how many records it refused but not which, so after a refusal none is marked, and the
// next upload sends them again (eQSL names the ones it has as duplicates).
class EqslSync : public QObject
{
    Q_OBJECT

public:
    struct Account
    {
        QString user;
        QString password;
        QString qthNickname; // the account's QTH the cards go to; empty: the default
    };

    explicit EqslSync(CKorva3Doc &doc, QObject *parent = nullptr);
    ~EqslSync() override;

    EqslClient &client() { return m_client; }

    void upload(const Account &account);
    // The cards received since the last download (kept per user in the logbook).
    void download(const Account &account);
    bool isRunning() const { return m_running; }
    void cancel();

    static QString lastInboxName(const QString &user);

signals:
    void progress(int percent, const QString &stage);
    void finished(const ServiceOutcome &outcome);

private:
    bool begin();
    void uploaded(const EqslReply::Upload &result);
    void downloaded(const EqslClient::Inbox &inbox);
    void finish(const ServiceOutcome &outcome);

    CKorva3Doc &m_doc;
    EqslClient m_client;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    QList<qint64> m_uploading;
    QString m_user;
    QString m_startedAt; // YYYYMMDDHHMM UTC, the next download's RcvdSince
    bool m_running = false;
};
