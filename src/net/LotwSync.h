#pragma once

#include "LotwClient.h"
#include "ServiceOutcome.h"
#include "TqslUpload.h"

#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <memory>

class CKorva3Doc;
class QFile;

// LoTW and one logbook: the QSLs downloaded and written into it, the QSOs not yet sent
// signed and uploaded through TQSL, and the account's own records read back so that an
// uploaded QSO counts as sent only once LoTW shows it. Every write goes through the
// document (its signals tell the windows); the download is written on a thread of its
// own, so the window goes on meanwhile. Each call ends with one `finished`.
//
// The logbook keeps, per LoTW user, where the next download goes on from: the newest
// QSL of the last report (APP_LoTW_LASTQSL, the next qso_qslsince) and the newest QSO
// LoTW had received (APP_LoTW_LASTQSORX, the next read-back's qso_qsorxsince). Both move
// on in the same transaction that takes the report's records, never before.
class LotwSync : public QObject
{
    Q_OBJECT

public:
    struct Account
    {
        QString user;
        QString password;
        QString ownCall; // the station's call LoTW is asked about; empty: every one
    };

    explicit LotwSync(CKorva3Doc &doc, QObject *parent = nullptr);
    ~LotwSync() override;

    LotwClient &client() { return m_client; }
    TqslUpload &tqsl() { return m_tqsl; }

    // The QSLs since the last download: matched QSOs confirmed, the others listed.
    void download(const Account &account);
    // The account's own records since the last read-back: the uploaded QSOs LoTW shows
    // become sent (LOTW_QSL_SENT Y); the others stay "uploaded, not yet seen".
    void readBack(const Account &account);
    // The QSOs due (QslStates::dueForLotw) of `stationCall` (or without one) signed with
    // the station location `location` and uploaded through TQSL; those TQSL delivered
    // become "uploaded, not yet seen".
    void upload(const QString &location, const QString &stationCall);
    bool isRunning() const { return m_running; }
    // Ends the running step; nothing of a download is written.
    void cancel();

    // The names of the logbook's values kept per user.
    static QString lastQslName(const QString &user);
    static QString lastQsoRxName(const QString &user);

signals:
    // The share done, 0 to 100, and what runs ("downloading", "matching", "uploading").
    void progress(int percent, const QString &stage);
    void finished(const ServiceOutcome &outcome);

private:
    bool begin();
    void fetch(const Account &account, bool ownRecords);
    void fetched(const QString &error);
    void tqslFinished(const TqslUpload::Result &result);
    void finish(ServiceOutcome outcome);

    CKorva3Doc &m_doc;
    LotwClient m_client;
    TqslUpload m_tqsl;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QFile> m_sink;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    QList<qint64> m_uploading;
    bool m_ownRecords = false;
    QString m_user;
    bool m_running = false;
};
