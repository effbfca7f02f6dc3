#pragma once

#include <QLoggingCategory>

// Why an ADIF file could not be read or written, with the system's message. Silent
// unless asked for (QT_LOGGING_RULES="korva3.adif=true", korva3-cli --verbose).
Q_DECLARE_LOGGING_CATEGORY(lcAdif)
