#pragma once

#include <QLoggingCategory>

// Every SQLite call of the store that fails, with SQLite's own message. Silent unless
// asked for: QT_LOGGING_RULES="korva3.store=true" (or "korva3.*=true"), or
// korva3-cli --verbose.
Q_DECLARE_LOGGING_CATEGORY(lcStore)

namespace StoreLog {

// Every failure logged above is also noted here, per thread, so that an operation that
// reports failure by its result can say why: the store's lastError() is the newest note.
void noteFailure(const QString &message);
QString lastFailure();

} // namespace StoreLog
