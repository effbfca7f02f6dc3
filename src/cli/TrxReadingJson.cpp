#include "TrxReadingJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

namespace TrxReadingJson {

namespace {

QByteArray field(const char *name, const QJsonValue &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return '"' + QByteArray(name) + "\": " + array.mid(1, array.size() - 2);
}

} // namespace

QByteArray format(const TrxReading &reading)
{
    const QByteArrayList fields{
        field("freq", reading.frequency),
        field("band", reading.band),
        field("mode", reading.modePosition),
        field("reports", reading.reports),
    };
    return '{' + fields.join(", ") + '}';
}

} // namespace TrxReadingJson
