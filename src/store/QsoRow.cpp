#include "QsoRow.h"

#include "SqliteStatement.h"

// The row's columns: ROWID, the columns of QsoColumns in their order, and the kept
// fields when the logbook keeps any.
QsoRow::QsoRow(const SqliteStatement &statement)
    : m_row(statement)
{
}

qint32 QsoRow::rowId() const
{
    return m_row.columnInt(0);
}

QByteArrayView QsoRow::text(QsoColumns::Column column) const
{
    return m_row.columnRawBytes(1 + column);
}

qint32 QsoRow::number(QsoColumns::Column column) const
{
    return m_row.columnInt(1 + column);
}

QByteArrayView QsoRow::keptFields() const
{
    return m_row.columnRawBytes(1 + QsoColumns::kCount);
}
