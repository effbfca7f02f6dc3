#pragma once

#include "Confirmation.h"
#include "EqslReply.h"
#include "SecureHttp.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

// eQSL's two ways in for a logging program, under the account's base address: the
// upload of an ADIF file (ImportADIF.cfm, a form post with the file) and the download
// of the inbox (DownloadInBox.cfm writes the inbox to an .adi file and gives a page that
// names it; the file is fetched next). Each call ends with one signal.
class EqslClient : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *kDefaultUrl = "https://www.eqsl.cc/qslcard/";

    // The confirmations of one inbox download, or why there are none.
    struct Inbox
    {
        bool ok = false;
        QString error;
        QList<Confirmation> records;
    };

    explicit EqslClient(QObject *parent = nullptr);

    void setBaseUrl(const QUrl &url);
    QUrl baseUrl() const { return m_baseUrl; }
    SecureHttp &http() { return m_http; }

    // Uploads the ADIF text (a header and records, each ended by <EOR>).
    void upload(const QString &user, const QString &password, const QByteArray &adif,
                const QString &fileName = QStringLiteral("korva3.adi"));
    // The inbox's cards entered since `receivedSince` (YYYYMMDDHHMM; empty: all of them),
    // of the account's QTH nickname when one is given.
    void downloadInbox(const QString &user, const QString &password, const QString &receivedSince,
                       const QString &qthNickname = QString());
    void cancel();

signals:
    void uploaded(const EqslReply::Upload &result);
    void downloaded(const EqslClient::Inbox &inbox);

private:
    void fetchFile(const QUrl &file, const QStringList &secrets);
    void finishDownload(Inbox inbox);

    SecureHttp m_http;
    QUrl m_baseUrl;
};
