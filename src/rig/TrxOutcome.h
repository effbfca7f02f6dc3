#pragma once

#include "TrxMessage.h"
#include "TrxReading.h"

#include <QList>
#include <QMetaType>

#include <optional>

// How one read of the radio ended: the reading, or the messages that say why there is
// none, in the order they are shown.
struct TrxOutcome
{
    std::optional<TrxReading> reading;
    QList<TrxMessage> messages;
};

Q_DECLARE_METATYPE(TrxOutcome)
