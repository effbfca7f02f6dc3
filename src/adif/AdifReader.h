#pragma once

#include "AdifFieldSource.h"

#include <QByteArray>
#include <QByteArrayView>

class QIODevice;

// Reads the fields of an ADIF file in its tagged form, "<NAME:LENGTH>VALUE" or
// "<NAME:LENGTH:TYPE>VALUE", as one stream: a value is LENGTH long, line ends included,
// and reading goes on behind it, so values may run over lines and hold "<" and ">", and
// any number of fields and records may share a line. Text between fields is skipped, and
// blanks inside a tag around its name ("< EOR>", "<EOR >") are no part of the name.
//
// LENGTH counts bytes, as UTF-8 writers and Windows-1252 writers count; some writers
// count the characters of a UTF-8 value instead. A value beyond ASCII is therefore read
// to where its field really ends: by its bytes when a tag (or the end of the file)
// follows there, else by its characters when a tag follows those, and never ending
// inside a character.
//
// The source is read in chunks into one buffer, never mapped: a file that another
// program truncates or rewrites meanwhile simply ends early. The buffer holds the
// longest value of the file whole, whatever its size.
class AdifReader : public AdifFieldSource
{
public:
    static constexpr qsizetype kChunkSize = 1 << 20;
    // A "<" with no ">" within this many bytes starts no tag: far longer than any field
    // name, and short enough that text between fields is passed in one look.
    static constexpr qsizetype kMaxTagLength = 1 << 20;

    // `source` is open for reading and outlives the reader.
    explicit AdifReader(QIODevice &source);
    AdifReader(const AdifReader &) = delete;
    AdifReader &operator=(const AdifReader &) = delete;

    // Moves behind the header, keeping its USERDEF definitions. A file whose first
    // character is "<" has none; otherwise the header runs up to the first "<EOH>" in any
    // letter case. False when the header never ends (nothing can be read then).
    bool skipHeader() override;
    bool next(Field &field) override;
    qint64 position() const override { return m_offset + m_pos; }

private:
    // Makes the buffer hold the source's bytes up to buffer index `end` (exclusive);
    // false when the source ends first.
    bool ensure(qsizetype end);
    // Drops the bytes before the read position, which nothing needs any more.
    void compact();
    qsizetype findInBuffer(char c, qsizetype from);
    bool readHeaderTag(qsizetype open);
    bool takeValue(qsizetype length, qsizetype &begin, qsizetype &taken);
    qsizetype nonAsciiValueSize(qsizetype begin, qsizetype exact, qsizetype length);
    qsizetype bytesOfCharacters(qsizetype begin, qsizetype characters);
    int followingScore(qsizetype at) const;
    qsizetype lengthCountingCrLf(qsizetype begin, qsizetype size, qsizetype length) const;
    bool tagStartsAt(qsizetype at) const;

    QIODevice &m_source;
    QByteArray m_buffer;
    qsizetype m_pos = 0;  // next byte to read, an index into m_buffer
    qint64 m_offset = 0;  // where m_buffer starts in the source
    bool m_sourceEnded = false;
};
