#include "CredentialStore.h"

#include "NetLog.h"

#include <QTimer>
#include <qt6keychain/keychain.h>

namespace {
// The collection the secret store files Korva3's passwords in.
const char kKeychainService[] = "Korva3";
} // namespace

CredentialStore::CredentialStore(Backend backend, QObject *parent)
    : QObject(parent)
    , m_backend(backend)
    , m_sessionOnly(backend == Backend::SessionMemory)
{
}

CredentialStore::~CredentialStore() = default;

QString CredentialStore::keyOf(const Account &account)
{
    return account.service + QLatin1Char(':') + account.user;
}

bool CredentialStore::storeUnavailable(const QKeychain::Job &job)
{
    switch (job.error()) {
    case QKeychain::NoError:
    case QKeychain::EntryNotFound:
        return false;
    default:
        break;
    }
    m_lastError = QStringLiteral("the desktop's secret store cannot be used (%1)").arg(job.errorString());
    if (!m_sessionOnly)
        qCWarning(lcNet) << "passwords are kept for this session only:" << m_lastError << "error" << job.error();
    m_sessionOnly = true;
    return true;
}

void CredentialStore::readPassword(const Account &account, ReadDone done)
{
    const QString key = keyOf(account);
    const auto known = m_session.constFind(key);
    if (known != m_session.constEnd() || m_sessionOnly) {
        const std::optional<QString> password = known != m_session.constEnd() ? std::optional<QString>(*known) : std::nullopt;
        QTimer::singleShot(0, this, [done, password] { done(password); });
        return;
    }
    auto *job = new QKeychain::ReadPasswordJob(QLatin1String(kKeychainService), this);
    job->setKey(key);
    job->setInsecureFallback(false);
    connect(job, &QKeychain::Job::finished, this, [this, job, key, done] {
        std::optional<QString> password;
        if (job->error() == QKeychain::NoError) {
            password = job->textData();
            m_session.insert(key, *password);
        } else if (!storeUnavailable(*job)) {
            qCDebug(lcNet) << "no password kept for" << key;
        }
        done(password);
    });
    job->start();
}

void CredentialStore::storePassword(const Account &account, const QString &password, StoreDone done)
{
    const QString key = keyOf(account);
    m_session.insert(key, password);
    if (m_sessionOnly) {
        QTimer::singleShot(0, this, [done] { done(false); });
        return;
    }
    auto *job = new QKeychain::WritePasswordJob(QLatin1String(kKeychainService), this);
    job->setKey(key);
    job->setInsecureFallback(false);
    job->setTextData(password);
    connect(job, &QKeychain::Job::finished, this, [this, job, done] { done(!storeUnavailable(*job)); });
    job->start();
}

void CredentialStore::forgetPassword(const Account &account)
{
    const QString key = keyOf(account);
    m_session.remove(key);
    if (m_sessionOnly)
        return;
    auto *job = new QKeychain::DeletePasswordJob(QLatin1String(kKeychainService), this);
    job->setKey(key);
    job->setInsecureFallback(false);
    connect(job, &QKeychain::Job::finished, this, [this, job] { storeUnavailable(*job); });
    job->start();
}
