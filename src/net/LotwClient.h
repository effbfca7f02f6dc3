#pragma once

#include "LotwReport.h"
#include "SecureHttp.h"

#include <QObject>
#include <QString>
#include <QUrl>

// LoTW's report query (lotwreport.adi under the account's base address): the QSLs
// received since a date, and the account's own QSOs LoTW received since a date, which
// shows what an upload really delivered. Each download ends with one `finished`.
class LotwClient : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *kDefaultUrl = "https://lotw.arrl.org/lotwuser/";

    explicit LotwClient(QObject *parent = nullptr);

    void setBaseUrl(const QUrl &url);
    QUrl baseUrl() const { return m_baseUrl; }
    SecureHttp &http() { return m_http; }

    // The QSLs received on or after `qslSince` (APP_LoTW_LASTQSL of the last report,
    // "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS"; empty: all of them), with LoTW's details of
    // the other station; only those of `ownCall` when one is given.
    void downloadConfirmations(const QString &user, const QString &password, const QString &qslSince,
                               const QString &ownCall = QString());
    // The account's own QSOs LoTW received on or after `qsoRxSince` (APP_LoTW_LASTQSORX
    // of the last such report; empty: all of them).
    void downloadOwnRecords(const QString &user, const QString &password, const QString &qsoRxSince,
                            const QString &ownCall = QString());
    // The same two queries with the reply written into `sink` as it arrives (a report of
    // a hundred thousand QSLs is tens of megabytes); each ends with one `fetched`, and
    // the reply is read and checked from the sink (LotwReport::problemOf).
    void fetchConfirmations(QIODevice *sink, const QString &user, const QString &password, const QString &qslSince,
                            const QString &ownCall = QString());
    void fetchOwnRecords(QIODevice *sink, const QString &user, const QString &password, const QString &qsoRxSince,
                         const QString &ownCall = QString());
    void cancel();

    static SecureHttp::FormFields confirmationsQuery(const QString &user, const QString &password,
                                                     const QString &qslSince, const QString &ownCall);
    static SecureHttp::FormFields ownRecordsQuery(const QString &user, const QString &password,
                                                  const QString &qsoRxSince, const QString &ownCall);

signals:
    void finished(const LotwReport &report);
    // Empty when LoTW answered with status 200 and the whole reply is in the sink.
    void fetched(const QString &error);

private:
    void download(const SecureHttp::FormFields &query);
    void fetch(QIODevice *sink, const SecureHttp::FormFields &query);
    QUrl reportUrl(const SecureHttp::FormFields &query) const;

    SecureHttp m_http;
    QUrl m_baseUrl;
};
