#pragma once

#include <QByteArrayView>

// Reads the fields of an ADIF file in its tagged form, "<NAME:LENGTH>VALUE" or
// "<NAME:LENGTH:TYPE>VALUE", from the file's bytes as one stream: a value is exactly
// LENGTH characters (one byte each), line ends included, and reading goes on behind
// it, so values may run over lines and hold "<" and ">", and any number of fields and
// records may share a line. Text between fields is skipped.
class AdifReader
{
public:
    struct Field
    {
        QByteArrayView name;
        QByteArrayView value;
        // False for a tag without ":" ("<EOR>", "<EOH>"), which has no value.
        bool hasLength = false;
    };

    // `text` must outlive the reader.
    explicit AdifReader(QByteArrayView text);

    // Moves behind the header. A file whose first character is "<" has none; otherwise
    // the header runs up to the first "<EOH>" in any letter case. False when the
    // header never ends (nothing can be read then).
    bool skipHeader();
    // The next field; false at the end of the text.
    bool next(Field &field);
    // Bytes read so far.
    qsizetype position() const { return m_position; }
    qsizetype size() const { return m_text.size(); }

private:
    QByteArrayView takeValue(qsizetype length);
    qsizetype lengthCountingCrLf(QByteArrayView value, qsizetype length) const;
    bool tagStartsAt(qsizetype at) const;

    QByteArrayView m_text;
    qsizetype m_position = 0;
};
