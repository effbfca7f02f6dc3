#pragma once

#include <QLoggingCategory>

// Failures of making the program database beneath the message the operator sees (a
// temporary file that cannot be created, a rename refused). Silent unless asked for:
// QT_LOGGING_RULES="korva3.refdata=true".
Q_DECLARE_LOGGING_CATEGORY(lcRefData)
