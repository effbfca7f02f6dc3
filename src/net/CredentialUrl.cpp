#include "CredentialUrl.h"

#include <QHostAddress>

namespace CredentialUrl {

bool isLoopback(const QString &host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

bool mayCarryCredentials(const QUrl &url, QString *why)
{
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && !url.host().isEmpty()
        && (scheme == QLatin1String("https") || (scheme == QLatin1String("http") && isLoopback(url.host()))))
        return true;
    if (why)
        *why = QStringLiteral("%1 is no HTTPS address: the password is not sent there")
                   .arg(url.toDisplayString(QUrl::RemoveUserInfo | QUrl::RemoveQuery));
    return false;
}

} // namespace CredentialUrl
