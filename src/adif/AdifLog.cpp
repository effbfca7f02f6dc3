#include "AdifLog.h"

// Only critical messages pass by default; the failures are logged as warnings.
Q_LOGGING_CATEGORY(lcAdif, "korva3.adif", QtCriticalMsg)
