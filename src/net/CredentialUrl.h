#pragma once

#include <QString>
#include <QUrl>

// Where a user name and password may be sent: only over HTTPS, whose certificate Qt
// checks, or to this machine itself (a loopback address), which is where tests and a
// local proxy live. Every client asks before it sends credentials anywhere.
namespace CredentialUrl {

// True when credentials may go to `url`; otherwise false with the reason in `why`, a text
// that names the address but never a credential.
bool mayCarryCredentials(const QUrl &url, QString *why = nullptr);
// True for 127.0.0.0/8, ::1 and "localhost".
bool isLoopback(const QString &host);

} // namespace CredentialUrl
