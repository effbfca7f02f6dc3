#include "AdifFieldSource.h"

#include <algorithm>

void AdifFieldSource::addUserField(QByteArrayView definition, QByteArrayView type)
{
    const qsizetype comma = definition.indexOf(',');
    const QByteArrayView name = (comma < 0 ? definition : definition.first(comma)).trimmed();
    const QByteArrayView limits = comma < 0 ? QByteArrayView() : definition.sliced(comma + 1).trimmed();
    addUserField({name.toByteArray(), type.trimmed().toByteArray().toUpper(), limits.toByteArray()});
}

void AdifFieldSource::addUserField(const Sqlite3DB::UM_USERFIELD &field)
{
    if (field.name.isEmpty())
        return;
    const bool known = std::any_of(m_userFields.cbegin(), m_userFields.cend(), [&field](const auto &defined) {
        return defined.name.compare(field.name, Qt::CaseInsensitive) == 0;
    });
    if (!known)
        m_userFields.append(field);
}
