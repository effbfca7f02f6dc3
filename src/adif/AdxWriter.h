#pragma once

#include "store/Sqlite3DB.h"

#include <QByteArrayView>
#include <QList>
#include <QXmlStreamWriter>

class QIODevice;

// Writes the export in ADIF's XML form (.adx), UTF-8: the header with the program's
// fields and the logbook's user-defined fields, then one RECORD per QSO with the fields
// the tagged export writes for it, in the same order. A field an imported file declared
// as user-defined goes out as <USERDEF FIELDNAME="...">, an application's field APP_P_F
// as <APP PROGRAMID="P" FIELDNAME="F">, every other field as an element of its name (or
// as a USERDEF when its name can be no element name). Characters XML 1.0 cannot hold
// (control characters other than tab and the line ends) are left out.
class AdxWriter
{
public:
    explicit AdxWriter(QIODevice &device);

    void writeHeader(const QByteArray &createdTimestamp, const QList<Sqlite3DB::UM_USERFIELD> &userFields);
    // One record, given as the tagged form's text of it.
    void writeRecord(QByteArrayView taggedRecord);
    void finish();
    bool hasError() const { return m_xml.hasError(); }

private:
    void writeField(QByteArrayView name, QByteArrayView value);
    void writeText(const QString &text);
    bool isUserField(QByteArrayView name) const;

    QXmlStreamWriter m_xml;
    QList<Sqlite3DB::UM_USERFIELD> m_userFields;
};
