#pragma once

#include "CredentialStore.h"

struct CallbookSettings;
struct ClusterSettings;

// The credential store the program's windows share, so that a password kept for this
// session only (no secret store answered) is known to every window that needs it, and
// the accounts the cluster and the callbook keep their passwords under.
namespace AppCredentials {

// Made on first use, with the application object as its parent.
CredentialStore &store();
// A store of the caller's own (tests choose one that keeps passwords in memory); null
// returns to the program's own. The caller keeps it alive while it is in use.
void use(CredentialStore *store);

// "DX Cluster" and the call that logs in.
CredentialStore::Account clusterAccount(const ClusterSettings &settings);
// "QRZ.com" or "HamQTH" and the user name.
CredentialStore::Account callbookAccount(const CallbookSettings &settings);

} // namespace AppCredentials
