#pragma once

#include "store/Sqlite3DB.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

// The fields of an ADIF file one after the other, whichever form the file has (the tagged
// form, .adi, or the XML form, .adx): behind the header, each field of a record, then an
// "EOR" field at the end of each record. The header's definitions of user-defined fields
// are collected while it is read.
class AdifFieldSource
{
public:
    struct Field
    {
        // Both stay valid until the next call of next().
        QByteArrayView name;
        QByteArrayView value;
        // False for a tag without ":" ("<EOR>", "<EOH>"), which has no value.
        bool hasLength = false;
        // True when the reader found the value's bytes all below 0x80.
        bool ascii = false;
    };

    virtual ~AdifFieldSource() = default;

    // Moves behind the header; false when the file has a header that never ends (nothing
    // can be read then).
    virtual bool skipHeader() = 0;
    // The next field; false at the end of the source, or where it cannot be read on.
    virtual bool next(Field &field) = 0;
    // Bytes of the source consumed so far.
    virtual qint64 position() const = 0;
    // Why reading stopped before the end of the file's content (a damaged or cut XML
    // document, with the line); empty when it read to the end.
    virtual QString damage() const { return QString(); }

    // The header's user-defined fields, in the order they came.
    const QList<Sqlite3DB::UM_USERFIELD> &userFields() const { return m_userFields; }

protected:
    // A definition "NAME" or "NAME,{...}" with its type indicator; a name defined before
    // keeps its first definition.
    void addUserField(QByteArrayView definition, QByteArrayView type);
    void addUserField(const Sqlite3DB::UM_USERFIELD &field);

private:
    QList<Sqlite3DB::UM_USERFIELD> m_userFields;
};
