#include "CallbookRecordJson.h"

#include "JsonFields.h"

namespace CallbookRecordJson {

QByteArray format(const CallbookRecord &record)
{
    using JsonFields::field;
    return JsonFields::object({
        field("call", record.call),
        field("name", record.name),
        field("fullName", record.fullName),
        field("qth", record.qth),
        field("grid", record.grid),
        field("qslManager", record.qslManager),
        field("country", record.country),
        field("state", record.state),
        field("iota", record.iota),
        field("email", record.email),
        field("dxcc", record.dxcc),
        field("cqZone", record.cqZone),
        field("ituZone", record.ituZone),
    });
}

} // namespace CallbookRecordJson
