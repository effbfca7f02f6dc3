#include "NetLog.h"

// Only critical messages pass by default; problems are logged as warnings.
Q_LOGGING_CATEGORY(lcNet, "korva3.net", QtCriticalMsg)
