#include "RefDataLog.h"

// Only critical messages pass by default; the failures are logged as warnings.
Q_LOGGING_CATEGORY(lcRefData, "korva3.refdata", QtCriticalMsg)
