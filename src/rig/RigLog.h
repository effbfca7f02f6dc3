#pragma once

#include <QLoggingCategory>

// Serial and Hamlib failures of the transceiver link, each with its own message.
// Silent unless switched on, e.g. QT_LOGGING_RULES="korva3.rig=true".
Q_DECLARE_LOGGING_CATEGORY(lcRig)
