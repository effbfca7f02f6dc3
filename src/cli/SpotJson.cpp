#include "SpotJson.h"

#include "JsonFields.h"

namespace SpotJson {

QByteArray format(const DxSpot &spot, const SpotStatus &status)
{
    using JsonFields::field;
    const QString code = SpotStatus::code(status.kind);
    return JsonFields::object({
        field("time", spot.time.toString(QStringLiteral("HH:mm"))),
        field("frequency", spot.frequencyKHz),
        field("call", spot.dxCall),
        field("entity", status.entity),
        field("country", status.country),
        field("continent", status.continent),
        field("band", status.band),
        field("mode", status.mode),
        field("status", code.isEmpty() ? QJsonValue() : QJsonValue(code)),
        field("workedBefore", status.callWorkedBefore),
        field("comment", spot.comment),
        field("spotter", spot.spotter),
        field("grid", spot.grid),
    });
}

} // namespace SpotJson
