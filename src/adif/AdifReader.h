#pragma once

#include <QByteArray>
#include <QByteArrayView>

class QIODevice;

// Reads the fields of an ADIF file in its tagged form, "<NAME:LENGTH>VALUE" or
// "<NAME:LENGTH:TYPE>VALUE", as one stream: a value is exactly LENGTH characters (one
// byte each), line ends included, and reading goes on behind it, so values may run over
// lines and hold "<" and ">", and any number of fields and records may share a line.
// Text between fields is skipped.
//
// The source is read in chunks into a buffer of bounded size, never mapped: a file that
// another program truncates or rewrites meanwhile simply ends early. A value longer than
// kMaxValueLength is cut to that length (reading still goes on behind its full length).
class AdifReader
{
public:
    struct Field
    {
        // Both stay valid until the next call of next().
        QByteArrayView name;
        QByteArrayView value;
        // False for a tag without ":" ("<EOR>", "<EOH>"), which has no value.
        bool hasLength = false;
    };

    static constexpr qsizetype kChunkSize = 1 << 20;
    static constexpr qsizetype kMaxValueLength = 1 << 20;
    // A "<" with no ">" within this many bytes starts no tag.
    static constexpr qsizetype kMaxTagLength = 4096;

    // `source` is open for reading and outlives the reader.
    explicit AdifReader(QIODevice &source);
    AdifReader(const AdifReader &) = delete;
    AdifReader &operator=(const AdifReader &) = delete;

    // Moves behind the header. A file whose first character is "<" has none; otherwise
    // the header runs up to the first "<EOH>" in any letter case. False when the
    // header never ends (nothing can be read then).
    bool skipHeader();
    // The next field; false at the end of the source.
    bool next(Field &field);
    // Bytes of the source consumed so far.
    qint64 position() const { return m_offset + m_pos; }

private:
    // Makes the buffer hold the source's bytes up to buffer index `end` (exclusive);
    // false when the source ends first.
    bool ensure(qsizetype end);
    // Drops the bytes before the read position, which nothing needs any more.
    void compact();
    qsizetype findInBuffer(char c, qsizetype from);
    void takeValue(qsizetype length, qsizetype &begin, qsizetype &taken);
    bool takeLongValue(qsizetype length, qsizetype nameBegin, qsizetype nameSize, Field &field);
    qsizetype lengthCountingCrLf(qsizetype begin, qsizetype size, qsizetype length) const;
    bool tagStartsAt(qsizetype at) const;

    QIODevice &m_source;
    QByteArray m_buffer;
    qsizetype m_pos = 0;  // next byte to read, an index into m_buffer
    qint64 m_offset = 0;  // where m_buffer starts in the source
    bool m_sourceEnded = false;
    QByteArray m_longName;
    QByteArray m_longValue;
};
