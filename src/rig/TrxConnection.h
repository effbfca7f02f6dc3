#pragma once

#include "TrxSettings.h"

#include <QMetaType>
#include <QString>

// What the link opens: the transceiver type (parameter "rig"), for the FT-897 and the
// FT-1000mp the port COM commPort (parameter "comm") or a device named directly, and
// for Hamlib the per-user settings.
struct TrxConnection
{
    int rig = 0;
    int commPort = 0;
    QString devicePath; // empty: the device of COM commPort
    TrxSettings settings;
};

Q_DECLARE_METATYPE(TrxConnection)
