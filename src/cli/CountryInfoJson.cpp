#include "CountryInfoJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

namespace CountryInfoJson {

namespace {

// One value in JSON notation: texts quoted and escaped, numbers as JSON writes them.
QByteArray json(const QJsonValue &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QByteArray field(const char *name, const QJsonValue &value)
{
    return '"' + QByteArray(name) + "\": " + json(value);
}

} // namespace

QByteArray format(const ProgramDb::UM_COUNTRYINFO &info)
{
    const QByteArrayList fields{
        field("rowId", info.rowId),
        field("countryPrefix", info.countryPrefix),
        field("country", info.country),
        field("dxccId", info.dxccId),
        field("continent", info.continent),
        field("cqZone", info.cqZone),
        field("ituZone", info.ituZone),
        field("latitude", info.latitude),
        field("longitude", info.longitude),
        field("gmtDiff", info.gmtDiff),
    };
    return '{' + fields.join(", ") + '}';
}

} // namespace CountryInfoJson
