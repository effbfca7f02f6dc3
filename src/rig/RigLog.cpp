#include "RigLog.h"

// QtFatalMsg as the lowest enabled level: nothing is written until a rule enables it.
Q_LOGGING_CATEGORY(lcRig, "korva3.rig", QtFatalMsg)
