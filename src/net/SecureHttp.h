#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

#include <functional>
#include <utility>

class QIODevice;
class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

// The HTTP requests of the confirmation services, each of which carries an account's
// password: sent only where CredentialUrl allows (HTTPS, or this machine), with Qt's
// certificate checks always on (a test may add an authority of its own to the trusted
// ones, never switch the checks off), and ended by a timeout. Every request ends with
// exactly one call of its `done`, never before the call that made it returns.
//
// Passwords never reach the log or an error text: addresses are logged without the
// values of their secret items (password, EQSL_PSWD, api in any letter case), and every
// text that might repeat them has them replaced.
class SecureHttp : public QObject
{
    Q_OBJECT

public:
    struct Reply
    {
        // The HTTP status the service answered with; 0 when none came.
        int status = 0;
        QByteArray body;
        // Empty when the service answered (whatever the status); else why no answer came,
        // in words without a secret.
        QString error;
        bool answered() const { return error.isEmpty(); }
    };
    using Done = std::function<void(const Reply &reply)>;
    struct FilePart
    {
        QString field;
        QString fileName;
        QByteArray bytes;
    };
    using FormFields = QList<std::pair<QString, QString>>;

    static constexpr int kDefaultTimeoutMs = 120000;

    explicit SecureHttp(QObject *parent = nullptr);
    ~SecureHttp() override;

    void setTimeout(int milliseconds);
    int timeout() const { return m_timeoutMs; }
    // One more authority whose certificates count as trusted, besides the system's.
    void addTrustedAuthority(const QSslCertificate &authority);

    // GET of `url` with its query.
    void get(const QUrl &url, Done done);
    // The same with the body written into `sink` (open for writing; it must outlive the
    // request) as it arrives, never held whole in memory; the reply's body stays empty.
    void get(const QUrl &url, QIODevice *sink, Done done);
    // Called with the bytes received and the whole size (-1 when unknown) as the bodies
    // of the requests arrive.
    void setProgressHandler(std::function<void(qint64 received, qint64 total)> handler)
    {
        m_onProgress = std::move(handler);
    }
    // POST of the fields as application/x-www-form-urlencoded.
    void postForm(const QUrl &url, const FormFields &fields, Done done);
    // POST of the fields and one file as multipart/form-data.
    void postMultipart(const QUrl &url, const FormFields &fields, const FilePart &file, Done done);
    // Ends every running request; each one's `done` says it was cancelled.
    void cancel();

    // `url` with the items as its query, each value exactly as given: a "+", "&" or "%"
    // in a password stays itself.
    static QUrl withQuery(QUrl url, const FormFields &items);
    // True for the names of items that hold a secret.
    static bool isSecretName(const QString &name);
    // The address as it may be logged: the values of its secret items replaced.
    static QString redacted(const QUrl &url);
    // `text` with every one of `secrets` replaced, also as percent- and form-encoded.
    static QString scrubbed(QString text, const QStringList &secrets);

private:
    struct Running;
    QNetworkRequest requestFor(const QUrl &url) const;
    bool refuse(const QUrl &url, const Done &done);
    void watch(QNetworkReply *reply, const QUrl &url, const QStringList &secrets, Done done, QIODevice *sink = nullptr);

    QNetworkAccessManager *m_manager;
    QList<QSslCertificate> m_authorities;
    int m_timeoutMs = kDefaultTimeoutMs;
    QList<QNetworkReply *> m_running;
    std::function<void(qint64, qint64)> m_onProgress;
};
