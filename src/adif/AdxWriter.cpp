#include "AdxWriter.h"

#include "AdifQsoMapping.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

// The text without the characters XML 1.0 has no place for.
QString xmlText(QByteArrayView utf8)
{
    QString text = QString::fromUtf8(utf8);
    text.removeIf([](QChar c) {
        const char16_t u = c.unicode();
        return (u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF;
    });
    return text;
}

bool isElementName(QByteArrayView name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.-]*$"));
    return pattern.match(QString::fromUtf8(name)).hasMatch() && !name.startsWith("xml") && !name.startsWith("XML");
}

} // namespace

AdxWriter::AdxWriter(QIODevice &device)
    : m_xml(&device)
{
    m_xml.setAutoFormatting(true);
    m_xml.setAutoFormattingIndent(1);
}

void AdxWriter::writeHeader(const QByteArray &createdTimestamp, const QList<Sqlite3DB::UM_USERFIELD> &userFields)
{
    m_userFields = userFields;
    m_xml.writeStartDocument();
    m_xml.writeStartElement(QStringLiteral("ADX"));
    m_xml.writeStartElement(QStringLiteral("HEADER"));
    m_xml.writeTextElement(QStringLiteral("ADIF_VER"), QStringLiteral("3.1.7"));
    m_xml.writeTextElement(QStringLiteral("PROGRAMID"), QStringLiteral("Korva3"));
    m_xml.writeTextElement(QStringLiteral("PROGRAMVERSION"), QStringLiteral("3.0.14"));
    m_xml.writeTextElement(QStringLiteral("CREATED_TIMESTAMP"), QString::fromLatin1(createdTimestamp));
    for (qsizetype i = 0; i < userFields.size(); ++i) {
        const Sqlite3DB::UM_USERFIELD &field = userFields.at(i);
        m_xml.writeStartElement(QStringLiteral("USERDEF"));
        m_xml.writeAttribute(QStringLiteral("FIELDID"), QString::number(i + 1));
        if (!field.type.isEmpty())
            m_xml.writeAttribute(QStringLiteral("TYPE"), xmlText(field.type));
        if (!field.limits.isEmpty())
            m_xml.writeAttribute(field.type == "E" ? QStringLiteral("ENUM") : QStringLiteral("RANGE"), xmlText(field.limits));
        writeText(xmlText(field.name));
        m_xml.writeEndElement();
    }
    m_xml.writeEndElement();
    m_xml.writeStartElement(QStringLiteral("RECORDS"));
}

void AdxWriter::writeRecord(QByteArrayView taggedRecord)
{
    m_xml.writeStartElement(QStringLiteral("RECORD"));
    for (const auto &[name, value] : AdifQsoMapping::taggedFields(taggedRecord))
        writeField(name, value);
    m_xml.writeEndElement();
}

void AdxWriter::finish()
{
    m_xml.writeEndDocument();
}

bool AdxWriter::isUserField(QByteArrayView name) const
{
    return std::any_of(m_userFields.cbegin(), m_userFields.cend(), [name](const Sqlite3DB::UM_USERFIELD &field) {
        return field.name.compare(name, Qt::CaseInsensitive) == 0;
    });
}

void AdxWriter::writeField(QByteArrayView name, QByteArrayView value)
{
    const qsizetype programEnd = name.startsWith("APP_") ? name.indexOf('_', 4) : -1;
    if (programEnd > 4 && programEnd + 1 < name.size()) {
        m_xml.writeStartElement(QStringLiteral("APP"));
        m_xml.writeAttribute(QStringLiteral("PROGRAMID"), xmlText(name.sliced(4, programEnd - 4)));
        m_xml.writeAttribute(QStringLiteral("FIELDNAME"), xmlText(name.sliced(programEnd + 1)));
        m_xml.writeAttribute(QStringLiteral("TYPE"), QStringLiteral("S"));
    } else if (isUserField(name) || !isElementName(name)) {
        m_xml.writeStartElement(QStringLiteral("USERDEF"));
        m_xml.writeAttribute(QStringLiteral("FIELDNAME"), xmlText(name));
    } else {
        m_xml.writeStartElement(QString::fromUtf8(name));
    }
    writeText(xmlText(value));
    m_xml.writeEndElement();
}

// A reader of XML turns a CR LF of the text into LF: a CR goes as a character reference.
void AdxWriter::writeText(const QString &text)
{
    const QList<QStringView> lines = QStringView(text).split(u'\r');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            m_xml.writeEntityReference(QStringLiteral("#13"));
        if (!lines.at(i).isEmpty())
            m_xml.writeCharacters(lines.at(i).toString());
    }
}
