#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

// One JSON object written with its fields in the order given (QJsonObject would sort
// them), each value escaped by Qt's JSON writer.
namespace JsonFields {

inline QByteArray field(const char *name, const QJsonValue &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return '"' + QByteArray(name) + "\": " + array.mid(1, array.size() - 2);
}

inline QByteArray object(const QByteArrayList &fields)
{
    return '{' + fields.join(", ") + '}';
}

} // namespace JsonFields
