#include "HamlibTuning.h"

#include "store/QsoModes.h"

#include <hamlib/rig.h>

namespace HamlibTuning {

namespace {

// 60 m is worked in upper sideband although it lies below 10 MHz.
bool upperSideband(qint64 hz)
{
    constexpr qint64 kSidebandChangeHz = 10000000;
    constexpr qint64 k60mLowHz = 5250000;
    constexpr qint64 k60mHighHz = 5450000;
    return hz >= kSidebandChangeHz || (hz >= k60mLowHz && hz <= k60mHighHz);
}

} // namespace

quint64 modeOf(const QString &mode, qint64 hz)
{
    if (mode.isEmpty())
        return RIG_MODE_NONE;
    const QString upper = mode.toUpper();
    if (upper == QLatin1String("USB"))
        return RIG_MODE_USB;
    if (upper == QLatin1String("LSB"))
        return RIG_MODE_LSB;
    const std::optional<QsoModes::Choice> choice = QsoModes::find(mode);
    switch (choice ? choice->code : QsoModes::kRtty) {
    case QsoModes::kCw:
        return RIG_MODE_CW;
    case QsoModes::kSsb:
        return upperSideband(hz) ? RIG_MODE_USB : RIG_MODE_LSB;
    case QsoModes::kFm:
        return RIG_MODE_FM;
    case QsoModes::kAm:
        return RIG_MODE_AM;
    default:
        return upper == QLatin1String("RTTY") ? RIG_MODE_RTTY : RIG_MODE_PKTUSB;
    }
}

} // namespace HamlibTuning
