#pragma once

#include "ClubLogAnswer.h"
#include "SecureHttp.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QUrl>

// Club Log's ways in for a logging program, under the account's base address: one QSO
// at a time as it is logged (realtime.php), one QSO deleted (delete.php), and a whole
// log (putlogs.php, a form post with the file). The API key identifies the program and
// is a setting; the password is the account's (best an application password). Each
// call ends with one signal carrying the caller's id.
class ClubLogClient : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *kDefaultUrl = "https://clublog.org/";

    struct Account
    {
        QString email;
        QString password;
        QString callsign; // the log the QSOs go into
        QString apiKey;
    };

    explicit ClubLogClient(QObject *parent = nullptr);

    void setBaseUrl(const QUrl &url);
    QUrl baseUrl() const { return m_baseUrl; }
    SecureHttp &http() { return m_http; }

    // Sends one ADIF record (ended by <EOR>).
    void sendQso(qint64 id, const Account &account, const QByteArray &adifRecord);
    // Deletes the QSO with `dxCall` that started at `startUtc` on `band` (a band label
    // such as "20", "20m" or "70cm").
    void deleteQso(qint64 id, const Account &account, const QString &dxCall, const QDateTime &startUtc,
                   const QString &band);
    // Uploads a whole ADIF file; with `clear` Club Log empties the log first.
    void uploadLog(qint64 id, const Account &account, const QByteArray &adif, const QString &fileName, bool clear = false);
    void cancel();

    // Club Log's band number of a band label ("20m" and "20" are 20, "70cm" is 70).
    static QString bandId(const QString &band);

signals:
    void answered(qint64 id, const ClubLogAnswer &answer);

private:
    SecureHttp::Done answerTo(qint64 id, const Account &account, bool deleting);
    static SecureHttp::FormFields accountFields(const Account &account);

    SecureHttp m_http;
    QUrl m_baseUrl;
};
