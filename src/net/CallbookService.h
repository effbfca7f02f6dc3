#pragma once

#include "CallbookReply.h"
#include "CallbookResult.h"

#include <QNetworkAccessManager>
#include <QObject>
#include <QSslConfiguration>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

#include <initializer_list>
#include <utility>

class QNetworkReply;

// A callbook reached over HTTP(S) with a session: a login with user name and password
// gives a session key, lookups carry the key. Each service (QrzCallbook, HamQthCallbook)
// says only how its requests are put and how its replies read; the way through them is
// here. Lookups are made one after the other; each ends with exactly one `finished`
// (also at once, from within lookup(), when it cannot even start). When the service says
// the session expired, one new login is made and the lookup asked once more, never more.
// Credentials go only where CredentialUrl allows; the password and the session key are
// never logged nor put in a message.
class CallbookService : public QObject
{
    Q_OBJECT

public:
    // A safety net for the service used on its own; CallbookLookup waits far less.
    static constexpr int kTransferTimeoutMs = 10000;

    explicit CallbookService(QObject *parent = nullptr);
    ~CallbookService() override;

    // "QRZ.com", "HamQTH": for messages.
    virtual QString name() const = 0;

    // Forgets the session and a refused login.
    void setCredentials(const QString &user, const QString &password);
    // The service's address; an empty one is the service's own.
    void setBaseUrl(const QUrl &url);
    QUrl baseUrl() const;
    // The TLS settings of each request (tests add their own authority).
    void setSslConfiguration(const QSslConfiguration &configuration) { m_tls = configuration; }

    void lookup(const QString &call);
    // Drops a waiting or running lookup of `call` without a `finished`.
    void cancel(const QString &call);

signals:
    void finished(const QString &call, const CallbookResult &result);

protected:
    virtual QUrl defaultUrl() const = 0;
    virtual QUrlQuery loginQuery(const QString &user, const QString &password) const = 0;
    virtual QUrlQuery lookupQuery(const QString &sessionKey, const QString &call) const = 0;
    virtual CallbookReply parseReply(const QByteArray &xml) const = 0;

    // A query of these names and values, each value percent-encoded whole, so that a
    // "+", "&" or "=" of a password reaches the service as written.
    static QUrlQuery queryOf(std::initializer_list<std::pair<QString, QString>> items);

private:
    enum class Step { Login, Lookup };

    void startNext();
    void login();
    void requestLookup();
    void get(Step step, const QUrlQuery &query);
    void onReply(QNetworkReply *reply);
    void onLoginReply(const CallbookReply &reply);
    void onLookupReply(const CallbookReply &reply);
    void finish(CallbookResult::Outcome outcome, const QString &message = QString(),
                const CallbookRecord &record = CallbookRecord());
    QString withoutSecrets(QString text, const QUrl &url) const;

    QNetworkAccessManager m_network;
    QSslConfiguration m_tls = QSslConfiguration::defaultConfiguration();
    QUrl m_baseUrl;
    QString m_user;
    QString m_password;
    QString m_sessionKey;
    bool m_loginRefused = false;
    QStringList m_queue;
    QString m_current;
    int m_loginsLeft = 0;
    Step m_step = Step::Login;
    QNetworkReply *m_reply = nullptr;
};
