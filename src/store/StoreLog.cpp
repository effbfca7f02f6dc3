#include "StoreLog.h"

// Only critical messages pass by default; the failures are logged as warnings.
Q_LOGGING_CATEGORY(lcStore, "korva3.store", QtCriticalMsg)
