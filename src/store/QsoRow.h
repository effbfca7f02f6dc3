#pragma once

#include "QsoColumns.h"

#include <QByteArrayView>

class SqliteStatement;

// One row of QSOS as its stored bytes (UTF-8, or Windows-1252 in text stored before the
// logbooks held UTF-8), for readers that write them out
// again, like the ADIF export, without turning every value into a QString. It lives
// only as long as the call that hands it out.
class QsoRow
{
public:
    explicit QsoRow(const SqliteStatement &statement);

    qint32 rowId() const;
    // A text column's bytes; empty for NULL.
    QByteArrayView text(QsoColumns::Column column) const;
    qint32 number(QsoColumns::Column column) const;
    // The QSO's kept fields as ADIF fields, "<NAME:LENGTH>VALUE" one after the other;
    // empty when it has none.
    QByteArrayView keptFields() const;

private:
    const SqliteStatement &m_row;
};
