#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace QKeychain {
class Job;
}

// The passwords of the service accounts (LoTW, eQSL, Club Log, ...), each named by its
// service and user. They live in the desktop's secret store (the Secret Service or
// KWallet, through QtKeychain) and nowhere else: never in a settings file, a log line,
// a command line or an error text.
//
// Where no secret store answers (a plain server, a test, a desktop without one) a
// password is kept in memory for this session only, and sessionOnly() says so, so that
// the window asks once per session. A store made with SessionMemory never asks the
// desktop at all: tests choose it.
class CredentialStore : public QObject
{
    Q_OBJECT

public:
    enum class Backend { SecretStore, SessionMemory };
    struct Account
    {
        QString service; // "LoTW", "eQSL", "Club Log"
        QString user;
    };
    // The password, or nothing when none is known for the account.
    using ReadDone = std::function<void(const std::optional<QString> &password)>;
    // True when the secret store keeps it; false when it is kept for this session only.
    using StoreDone = std::function<void(bool inSecretStore)>;

    explicit CredentialStore(Backend backend = Backend::SecretStore, QObject *parent = nullptr);
    ~CredentialStore() override;

    // Each ends with one call of `done`, never before the call returns.
    void readPassword(const Account &account, ReadDone done);
    void storePassword(const Account &account, const QString &password, StoreDone done);
    void forgetPassword(const Account &account);

    // No secret store answered (or none is used): passwords last until the program ends.
    bool sessionOnly() const { return m_sessionOnly; }
    // Why the secret store could not be used; empty while it can.
    QString lastError() const { return m_lastError; }

    // The name the store files the account under: "SERVICE:user".
    static QString keyOf(const Account &account);

private:
    // A failure of the store itself, after which the session's memory serves.
    bool storeUnavailable(const QKeychain::Job &job);

    Backend m_backend;
    bool m_sessionOnly;
    QString m_lastError;
    QHash<QString, QString> m_session;
};
