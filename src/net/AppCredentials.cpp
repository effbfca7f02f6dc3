#include "AppCredentials.h"

#include "CallbookSettings.h"
#include "ClusterSettings.h"

#include <QCoreApplication>
#include <QPointer>

namespace AppCredentials {

namespace {
QPointer<CredentialStore> g_own;
QPointer<CredentialStore> g_chosen;
} // namespace

CredentialStore &store()
{
    if (g_chosen)
        return *g_chosen;
    if (!g_own)
        g_own = new CredentialStore(CredentialStore::Backend::SecretStore, QCoreApplication::instance());
    return *g_own;
}

void use(CredentialStore *store)
{
    g_chosen = store;
}

CredentialStore::Account clusterAccount(const ClusterSettings &settings)
{
    return {QStringLiteral("DX Cluster"), settings.call};
}

CredentialStore::Account callbookAccount(const CallbookSettings &settings)
{
    return {settings.service == QLatin1String("hamqth") ? QStringLiteral("HamQTH") : QStringLiteral("QRZ.com"),
            settings.user};
}

} // namespace AppCredentials
