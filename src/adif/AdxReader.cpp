#include "AdxReader.h"

#include <QIODevice>

namespace {

const char kEor[] = "EOR";

QByteArrayView withoutBom(QByteArrayView head)
{
    return head.startsWith("\xEF\xBB\xBF") ? head.sliced(3) : head;
}

} // namespace

AdxReader::AdxReader(QIODevice &source)
    : m_source(source)
    , m_xml(&source)
{
}

bool AdxReader::looksLikeAdx(QByteArrayView head)
{
    const QByteArrayView text = withoutBom(head).trimmed();
    return (text.size() >= 5 && qstrnicmp(text.data(), "<?xml", 5) == 0)
        || (text.size() >= 4 && qstrnicmp(text.data(), "<ADX", 4) == 0);
}

bool AdxReader::isElement(QStringView name) const
{
    return m_xml.name().compare(name, Qt::CaseInsensitive) == 0;
}

// Up to the start of RECORDS, keeping the USERDEF definitions of HEADER on the way.
bool AdxReader::skipHeader()
{
    bool inHeader = false;
    while (!m_xml.atEnd()) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (token == QXmlStreamReader::EndElement && isElement(u"HEADER"))
            inHeader = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (isElement(u"RECORDS"))
            return true;
        if (isElement(u"HEADER")) {
            inHeader = true;
        } else if (inHeader && isElement(u"USERDEF")) {
            const QXmlStreamAttributes attributes = m_xml.attributes();
            const QString type = attributes.value(QLatin1String("TYPE")).toString();
            QString limits = attributes.value(QLatin1String("ENUM")).toString();
            if (limits.isEmpty())
                limits = attributes.value(QLatin1String("RANGE")).toString();
            const QString name = m_xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
            addUserField({name.toUtf8(), type.toUtf8().toUpper(), limits.toUtf8()});
        }
    }
    // A document without records holds none; a damaged one says so through damage().
    return true;
}

// A field's name as the tagged form writes it.
QByteArray AdxReader::fieldName() const
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    if (isElement(u"USERDEF"))
        return attributes.value(QLatin1String("FIELDNAME")).toUtf8();
    if (isElement(u"APP")) {
        return "APP_" + attributes.value(QLatin1String("PROGRAMID")).toUtf8() + '_'
             + attributes.value(QLatin1String("FIELDNAME")).toUtf8();
    }
    return m_xml.name().toUtf8();
}

bool AdxReader::next(Field &field)
{
    while (!m_xml.atEnd()) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (isElement(u"RECORD")) {
                m_inRecord = true;
                continue;
            }
            if (!m_inRecord) {
                m_xml.skipCurrentElement();
                continue;
            }
            m_name = fieldName();
            m_value = m_xml.readElementText(QXmlStreamReader::SkipChildElements).toUtf8();
            field = Field{m_name, m_value, true};
            return true;
        }
        if (token == QXmlStreamReader::EndElement && m_inRecord && isElement(u"RECORD")) {
            m_inRecord = false;
            field = Field{QByteArrayView(kEor), QByteArrayView(), false};
            return true;
        }
    }
    return false;
}

qint64 AdxReader::position() const
{
    return m_source.pos();
}

QString AdxReader::damage() const
{
    if (!m_xml.hasError())
        return QString();
    return QStringLiteral("line %1: %2").arg(m_xml.lineNumber()).arg(m_xml.errorString());
}
