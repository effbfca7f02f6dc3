#pragma once

#include "AdifFieldSource.h"

#include <QByteArray>
#include <QXmlStreamReader>

class QIODevice;

// Reads the fields of an ADIF file in its XML form (.adx): the header's USERDEF
// definitions, then each RECORD's fields as the tagged form would give them. A field is
// an element named after it; <USERDEF FIELDNAME="N"> gives field N, and
// <APP PROGRAMID="P" FIELDNAME="F"> gives APP_P_F, as in the tagged form. Element names
// are taken in any letter case, values as the document's text in UTF-8.
class AdxReader : public AdifFieldSource
{
public:
    // `source` is open for reading and outlives the reader.
    explicit AdxReader(QIODevice &source);

    // Whether the bytes a source starts with (`head`, a few hundred) are an XML document.
    static bool looksLikeAdx(QByteArrayView head);

    bool skipHeader() override;
    bool next(Field &field) override;
    qint64 position() const override;
    QString damage() const override;

private:
    bool isElement(QStringView name) const;
    QByteArray fieldName() const;

    QIODevice &m_source;
    QXmlStreamReader m_xml;
    bool m_inRecord = false;
    QByteArray m_name;
    QByteArray m_value;
};
