#include "AdifReader.h"

#include "platform/CodePage.h"

#include <QIODevice>
#include <QtGlobal>

#include <climits>

namespace {

// How far past a value the reader looks for the tag that follows it.
constexpr qsizetype kLookahead = 256;
// A header tag longer than this is text of the header.
constexpr qsizetype kMaxHeaderTagLength = 4096;

// What follows the end of a value, from best to worst: a tag (behind blanks) or the end
// of the file; a blank; anything else.
constexpr int kTagFollows = 2;
constexpr int kBlankFollows = 1;

bool isNameCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The bytes of the UTF-8 character that `lead` starts; 0 for a byte that starts none.
int characterSize(char lead)
{
    const auto byte = static_cast<unsigned char>(lead);
    if (byte < 0x80)
        return 1;
    if (byte >= 0xC2 && byte <= 0xDF)
        return 2;
    if (byte >= 0xE0 && byte <= 0xEF)
        return 3;
    if (byte >= 0xF0 && byte <= 0xF4)
        return 4;
    return 0;
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

bool isTagName(QByteArrayView tag, QByteArrayView name)
{
    return tag.size() == name.size() && qstrnicmp(tag.data(), name.data(), static_cast<uint>(name.size())) == 0;
}

} // namespace

AdifReader::AdifReader(QIODevice &source)
    : m_source(source)
{
    m_buffer.reserve(2 * kChunkSize);
}

// Reads a chunk at a time, so that a length beyond the end of the file never takes more
// memory than the file holds.
bool AdifReader::ensure(qsizetype end)
{
    while (m_buffer.size() < end && !m_sourceEnded) {
        const qsizetype old = m_buffer.size();
        m_buffer.resize(old + kChunkSize);
        const qint64 got = m_source.read(m_buffer.data() + old, kChunkSize);
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
        const qsizetype open = findInBuffer('<', m_pos);
        if (open < 0)
            return false;
        m_pos = open;
        if (readHeaderTag(open))
            return true;
    }
}

// The header tag at `open`: true for its end, "<EOH>"; a USERDEFn definition is kept and
// read past. Any other "<" is text of the header, read past by one byte.
bool AdifReader::readHeaderTag(qsizetype open)
{
    ensure(open + kMaxHeaderTagLength);
    m_pos = open + 1;
    const qsizetype close = m_buffer.indexOf('>', open);
    if (close < 0 || close - open > kMaxHeaderTagLength)
        return false;
    const QByteArrayView tag = QByteArrayView(m_buffer.constData() + open + 1, close - open - 1).trimmed();
    if (isTagName(tag, "EOH")) {
        m_pos = close + 1;
        return true;
    }
    const qsizetype colon = tag.indexOf(':');
    const QByteArrayView name = colon < 0 ? tag : tag.first(colon).trimmed();
    if (colon < 0 || name.size() <= 7 || !isTagName(name.first(7), "USERDEF"))
        return false;
    const QByteArrayView rest = tag.sliced(colon + 1);
    const qsizetype typeColon = rest.indexOf(':');
    const QByteArray type = typeColon < 0 ? QByteArray() : rest.sliced(typeColon + 1).toByteArray();
    const qsizetype length = leadingLength(rest);
    ensure(close + 1 + length);
    const qsizetype taken = qMin(length, m_buffer.size() - close - 1);
    addUserField(QByteArrayView(m_buffer.constData() + close + 1, taken), type);
    m_pos = close + 1 + taken;
    return false;
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
                    field = Field{tag.trimmed(), QByteArrayView(), false, true};
                    return true;
                }
                const qsizetype length = leadingLength(tag.sliced(colon + 1));
                // The name's place in the buffer, blanks around it left out.
                const QByteArrayView name = tag.first(colon).trimmed();
                const qsizetype nameAt = name.data() - m_buffer.constData();
                const qsizetype nameSize = name.size();
                qsizetype begin = 0;
                qsizetype taken = 0;
                field.ascii = takeValue(length, begin, taken);
                // Reading the value may have moved the buffer: the views are made last.
                field.name = QByteArrayView(m_buffer.constData() + nameAt, nameSize);
                field.value = QByteArrayView(m_buffer.constData() + begin, taken);
                field.hasLength = true;
                return true;
            }
            if (close >= 0) {
                m_pos = close + 1; // far too long for a tag: text between fields
                break;
            }
            // No ">" anywhere behind: a tag can start only within the last kMaxTagLength
            // bytes, and everything before them is text between fields.
            if (m_buffer.size() - m_pos > kMaxTagLength) {
                m_pos = m_buffer.size() - kMaxTagLength;
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

// The value starting at the read position; true when its bytes are ASCII. Some writers
// count each line end of a value
// as CR LF and the file was later converted to bare LF line ends; the exact length then
// runs into the next tag. When it does, and counting each bare LF as two characters
// ends the value exactly before blanks and a tag, the value ends there.
bool AdifReader::takeValue(qsizetype length, qsizetype &begin, qsizetype &taken)
{
    // A source that ends inside the value gives the bytes there are.
    ensure(m_pos + length + kLookahead);
    begin = m_pos;
    const qsizetype exact = qMin(length, m_buffer.size() - m_pos);
    taken = exact;
    const QByteArrayView value(m_buffer.constData() + begin, exact);
    const bool ascii = CodePage::isAscii(value);
    if (!ascii) {
        taken = nonAsciiValueSize(begin, exact, length);
    } else if (value.contains('\n')) {
        const qsizetype shorter = lengthCountingCrLf(begin, exact, length);
        qsizetype next = begin + shorter;
        while (next < begin + exact && isBlank(m_buffer.at(next)))
            ++next;
        if (shorter < exact && next < begin + exact && tagStartsAt(next))
            taken = shorter;
    }
    m_pos = begin + taken;
    return ascii;
}

// The size in bytes of a value beyond ASCII whose LENGTH may count bytes or characters:
// the bytes when a tag follows them; the characters when a tag follows those and not the
// bytes; else the bytes, completed to the end of a character they would cut.
qsizetype AdifReader::nonAsciiValueSize(qsizetype begin, qsizetype exact, qsizetype length)
{
    const int byBytes = followingScore(begin + exact);
    if (byBytes == kTagFollows)
        return exact;
    const qsizetype characters = bytesOfCharacters(begin, length);
    if (characters > exact && followingScore(begin + characters) > byBytes)
        return characters;
    const qsizetype cut = CodePage::incompleteUtf8Tail(QByteArrayView(m_buffer.constData() + begin, exact));
    if (cut == 0)
        return exact;
    const qsizetype missing = characterSize(m_buffer.at(begin + exact - cut)) - cut;
    qsizetype end = begin + exact;
    while (end < m_buffer.size() && end < begin + exact + missing && isContinuation(m_buffer.at(end)))
        ++end;
    return end == begin + exact + missing ? end - begin : exact;
}

// How many bytes `characters` UTF-8 characters from `begin` take; -1 when the bytes there
// are no UTF-8 (or the source ends first).
qsizetype AdifReader::bytesOfCharacters(qsizetype begin, qsizetype characters)
{
    ensure(begin + 4 * characters + kLookahead);
    qsizetype at = begin;
    for (qsizetype i = 0; i < characters; ++i) {
        if (at >= m_buffer.size())
            return -1;
        const int size = characterSize(m_buffer.at(at));
        if (size == 0 || at + size > m_buffer.size())
            return -1;
        for (int k = 1; k < size; ++k) {
            if (!isContinuation(m_buffer.at(at + k)))
                return -1;
        }
        at += size;
    }
    return at - begin;
}

int AdifReader::followingScore(qsizetype at) const
{
    qsizetype i = at;
    while (i < m_buffer.size() && isBlank(m_buffer.at(i)))
        ++i;
    if (i == m_buffer.size())
        return m_sourceEnded ? kTagFollows : kBlankFollows;
    if (m_buffer.at(i) == '<')
        return kTagFollows;
    return i > at ? kBlankFollows : 0;
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
