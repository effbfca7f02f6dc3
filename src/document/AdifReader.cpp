#include "AdifReader.h"

#include <QtGlobal>

#include <climits>

namespace {

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

AdifReader::AdifReader(QByteArrayView text)
    : m_text(text)
{
}

bool AdifReader::skipHeader()
{
    m_position = 0;
    if (m_text.startsWith('<'))
        return true;
    for (qsizetype at = m_text.indexOf('<'); at >= 0; at = m_text.indexOf('<', at + 1)) {
        if (m_text.size() - at >= 5 && qstrnicmp(m_text.data() + at, "<EOH>", 5) == 0) {
            m_position = at + 5;
            return true;
        }
    }
    m_position = m_text.size();
    return false;
}

bool AdifReader::next(Field &field)
{
    qsizetype open = m_text.indexOf('<', m_position);
    while (open >= 0) {
        const qsizetype close = m_text.indexOf('>', open + 1);
        if (close < 0)
            break;
        // A "<" in the text between fields is no tag: the tag starts at the last "<"
        // in front of the ">".
        const qsizetype inner = m_text.lastIndexOf('<', close);
        if (inner > open) {
            open = inner;
            continue;
        }
        const QByteArrayView tag = m_text.sliced(open + 1, close - open - 1);
        m_position = close + 1;
        const qsizetype colon = tag.indexOf(':');
        field.hasLength = colon >= 0;
        field.name = colon >= 0 ? tag.first(colon) : tag;
        field.value = colon >= 0 ? takeValue(leadingLength(tag.sliced(colon + 1))) : QByteArrayView();
        return true;
    }
    m_position = m_text.size();
    return false;
}

// The value starting at the current position. Some writers count each line end of a
// value as CR LF and the file was later converted to bare LF line ends; the exact
// length then runs into the next tag. When it does, and counting each bare LF as two
// characters ends the value exactly before blanks and a tag, the value ends there.
QByteArrayView AdifReader::takeValue(qsizetype length)
{
    const QByteArrayView exact = m_text.sliced(m_position, qMin(length, m_text.size() - m_position));
    qsizetype taken = exact.size();
    if (exact.contains('\n')) {
        const qsizetype shorter = lengthCountingCrLf(exact, length);
        qsizetype next = m_position + shorter;
        while (next < m_position + exact.size() && isBlank(m_text[next]))
            ++next;
        if (shorter < exact.size() && next < m_position + exact.size() && tagStartsAt(next))
            taken = shorter;
    }
    const QByteArrayView value = m_text.sliced(m_position, taken);
    m_position += taken;
    return value;
}

// How many characters of `value` make `length` when a bare LF counts as two.
qsizetype AdifReader::lengthCountingCrLf(QByteArrayView value, qsizetype length) const
{
    qsizetype counted = 0;
    qsizetype i = 0;
    for (; i < value.size(); ++i) {
        const bool bareLf = value[i] == '\n' && (i == 0 || value[i - 1] != '\r');
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
    if (m_text[at] != '<')
        return false;
    qsizetype i = at + 1;
    while (i < m_text.size() && isNameCharacter(m_text[i]))
        ++i;
    return i > at + 1 && i < m_text.size() && (m_text[i] == ':' || m_text[i] == '>');
}
