#include "StationProfile.h"

const QList<StationProfile::Field> &StationProfile::fields()
{
    static const QList<Field> all = {
        {"STATION_CALLSIGN", "Station call", 20, true}, {"OPERATOR", "Operator", 20, true},
        {"MY_GRIDSQUARE", "Grid location", 8, true},    {"MY_NAME", "My name", 50, true},
        {"MY_CITY", "My QTH", 50, true},                {"MY_RIG", "My rig", 50, true},
        {"MY_ANTENNA", "My antenna", 50, true},         {"TX_PWR", "My power", 10, false},
        {"MY_CQ_ZONE", "My CQ zone", 2, true},          {"MY_ITU_ZONE", "My ITU zone", 2, true},
        {"MY_DXCC", "My DXCC", 3, true},                {"MY_IOTA", "My IOTA", 6, true},
        {"MY_SOTA_REF", "My SOTA", 20, true},           {"MY_POTA_REF", "My POTA", 40, true},
        {"APP_KORVA3_LOTW_LOCATION", "LoTW location", 50, false},
    };
    return all;
}

namespace {

qsizetype indexOf(const QByteArray &adifName)
{
    const QList<StationProfile::Field> &all = StationProfile::fields();
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (adifName == all.at(i).adifName)
            return i;
    }
    return -1;
}

} // namespace

QString StationProfile::value(const QByteArray &adifName) const
{
    const qsizetype i = indexOf(adifName);
    return i >= 0 ? values.value(i) : QString();
}

void StationProfile::setValue(const QByteArray &adifName, const QString &value)
{
    const qsizetype i = indexOf(adifName);
    if (i >= 0)
        values[i] = value;
}
