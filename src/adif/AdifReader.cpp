#include "AdifReader.h"

#include <QIODevice>
#include <QtGlobal>

#include <climits>

namespace {

// How far past a value the reader looks for the tag that follows it.
constexpr qsizetype kLookahead = 256;

bool isNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The decimal digits at the start of the text, as a length; anything else gives 0,
// and a number beyond any file size saturates.
qsizetype leadingLength(QByteArrayView text)
{
    qsizetype value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > INT_MAX)
            return INT_MAX;
    }
    return value;
}

} // namespace

AdifReader::AdifReader(QIODevice &source)
    : m_source(source)
{
    m_buffer.reserve(2 * kChunkSize);
}

bool AdifReader::ensure(qsizetype end)
{
    while (m_buffer.size() < end && !m_sourceEnded) {
        const qsizetype old = m_buffer.size();
        const qsizetype wanted = qMax(kChunkSize, end - old);
        m_buffer.resize(old + wanted);
        const qint64 got = m_source.read(m_buffer.data() + old, wanted);
        m_buffer.resize(old + qMax<qint64>(got, 0));
        if (got <= 0)
            m_sourceEnded = true;
    }
    return m_buffer.size() >= end;
}

void AdifReader::compact()
{
    // Moving the rest to the front costs its length, so it waits until most of the
    // buffer has been read.
    if (m_pos == 0 || m_pos < m_buffer.size() / 2)
        return;
    m_buffer.remove(0, m_pos);
    m_offset += m_pos;
    m_pos = 0;
}

// The index of the next `c` from `from`, reading on as needed; everything before it is
// consumed. -1, with everything consumed, when the source ends first.
qsizetype AdifReader::findInBuffer(char c, qsizetype from)
{
    for (;;) {
        const qsizetype at = m_buffer.indexOf(c, from);
        if (at >= 0)
            return at;
        m_pos = m_buffer.size();
        compact();
        from = m_buffer.size();
        if (!ensure(from + 1))
            return -1;
    }
}

bool AdifReader::skipHeader()
{
    if (!ensure(1))
        return false;
    if (m_buffer.at(0) == '<')
        return true;
    for (;;) {
        const qsizetype at = findInBuffer('<', m_pos);
        if (at < 0)
            return false;
        ensure(at + 5);
        if (m_buffer.size() - at >= 5 && qstrnicmp(m_buffer.constData() + at, "<EOH>", 5) == 0) {
            m_pos = at + 5;
            return true;
        }
        m_pos = at + 1;
    }
}

bool AdifReader::next(Field &field)
{
    for (;;) {
        compact();
        const qsizetype open = findInBuffer('<', m_pos);
        if (open < 0)
            return false;
        m_pos = open;
        qsizetype scanFrom = open + 1;
        for (;;) {
            const qsizetype close = m_buffer.indexOf('>', scanFrom);
            // A "<" in the text between fields is no tag: the tag starts at the last "<"
            // in front of the ">".
            const qsizetype start = m_buffer.lastIndexOf('<', close >= 0 ? close : m_buffer.size() - 1);
            if (close >= 0 && close - start <= kMaxTagLength) {
                m_pos = close + 1;
                const QByteArrayView tag(m_buffer.constData() + start + 1, close - start - 1);
                const qsizetype colon = tag.indexOf(':');
                if (colon < 0) {
                    field = Field{tag, QByteArrayView(), false};
                    return true;
                }
                const qsizetype length = leadingLength(tag.sliced(colon + 1));
                if (length > kMaxValueLength)
                    return takeLongValue(length, start + 1, colon, field);
                qsizetype begin = 0;
                qsizetype taken = 0;
                takeValue(length, begin, taken);
                // Reading the value may have moved the buffer: the views are made last.
                field.name = QByteArrayView(m_buffer.constData() + start + 1, colon);
                field.value = QByteArrayView(m_buffer.constData() + begin, taken);
                field.hasLength = true;
                return true;
            }
            if (close >= 0) {
                m_pos = close + 1; // far too long for a tag: text between fields
                break;
            }
            if (m_buffer.size() - start > kMaxTagLength) {
                m_pos = start + 1;
                break;
            }
            scanFrom = m_buffer.size();
            if (!ensure(scanFrom + 1)) {
                m_pos = m_buffer.size();
                return false;
            }
        }
    }
}

// The value starting at the read position. Some writers count each line end of a value
// as CR LF and the file was later converted to bare LF line ends; the exact length then
// runs into the next tag. When it does, and counting each bare LF as two characters
// ends the value exactly before blanks and a tag, the value ends there.
void AdifReader::takeValue(qsizetype length, qsizetype &begin, qsizetype &taken)
{
    // A source that ends inside the value gives the bytes there are.
    ensure(m_pos + length + kLookahead);
    begin = m_pos;
    const qsizetype exact = qMin(length, m_buffer.size() - m_pos);
    taken = exact;
    if (QByteArrayView(m_buffer.constData() + begin, exact).contains('\n')) {
        const qsizetype shorter = lengthCountingCrLf(begin, exact, length);
        qsizetype next = begin + shorter;
        while (next < begin + exact && isBlank(m_buffer.at(next)))
            ++next;
        if (shorter < exact && next < begin + exact && tagStartsAt(next))
            taken = shorter;
    }
    m_pos += taken;
}

// A value too long to keep: its first kMaxValueLength bytes are kept aside, the rest
// of it is read past.
bool AdifReader::takeLongValue(qsizetype length, qsizetype nameBegin, qsizetype nameSize, Field &field)
{
    m_longName = QByteArray(m_buffer.constData() + nameBegin, nameSize);
    ensure(m_pos + kMaxValueLength);
    m_longValue = QByteArray(m_buffer.constData() + m_pos, qMin(kMaxValueLength, m_buffer.size() - m_pos));
    qsizetype remaining = length;
    for (;;) {
        const qsizetype skipped = qMin(remaining, m_buffer.size() - m_pos);
        m_pos += skipped;
        remaining -= skipped;
        if (remaining == 0)
            break;
        compact();
        if (!ensure(m_buffer.size() + 1))
            break;
    }
    field = Field{QByteArrayView(m_longName), QByteArrayView(m_longValue), true};
    return true;
}

// How many of the `size` bytes at `begin` make `length` when a bare LF counts as two.
qsizetype AdifReader::lengthCountingCrLf(qsizetype begin, qsizetype size, qsizetype length) const
{
    qsizetype counted = 0;
    qsizetype i = 0;
    for (; i < size; ++i) {
        const char c = m_buffer.at(begin + i);
        const bool bareLf = c == '\n' && (i == 0 || m_buffer.at(begin + i - 1) != '\r');
        const qsizetype width = bareLf ? 2 : 1;
        if (counted + width > length)
            break;
        counted += width;
    }
    return i;
}

// "<" followed by a field name and ":" or ">".
bool AdifReader::tagStartsAt(qsizetype at) const
{
    if (m_buffer.at(at) != '<')
        return false;
    qsizetype i = at + 1;
    while (i < m_buffer.size() && isNameCharacter(m_buffer.at(i)))
        ++i;
    return i > at + 1 && i < m_buffer.size() && (m_buffer.at(i) == ':' || m_buffer.at(i) == '>');
}
