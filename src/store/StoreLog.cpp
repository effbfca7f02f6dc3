#include "StoreLog.h"

// Only critical messages pass by default; the failures are logged as warnings.
Q_LOGGING_CATEGORY(lcStore, "korva3.store", QtCriticalMsg)

namespace StoreLog {

namespace {
thread_local QString t_lastFailure;
} // namespace

void noteFailure(const QString &message)
{
    t_lastFailure = message;
}

QString lastFailure()
{
    return t_lastFailure;
}

} // namespace StoreLog
