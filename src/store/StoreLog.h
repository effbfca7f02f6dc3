#pragma once

#include <QLoggingCategory>

// Every SQLite call of the store that fails, with SQLite's own message. Silent unless
// asked for: QT_LOGGING_RULES="korva3.store=true" (or "korva3.*=true"), or
// korva3-cli --verbose.
Q_DECLARE_LOGGING_CATEGORY(lcStore)
