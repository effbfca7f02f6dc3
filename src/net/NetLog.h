#pragma once

#include <QLoggingCategory>

// What the network clients meet: datagrams dropped, connections refused or lost, replies
// a service sent that could not be read. Silent unless asked for:
// QT_LOGGING_RULES="korva3.net=true" (or "korva3.*=true"), or korva3-cli --verbose.
// No password, session key or other secret is ever written here.
Q_DECLARE_LOGGING_CATEGORY(lcNet)
