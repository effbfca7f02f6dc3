#include "CodePage.h"

#include <QList>

#include <array>
#include <cstring>

namespace {

// Characters of the bytes 0x80..0x9F; the other bytes are ASCII or Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

namespace CodePage {

char toAnsiChar(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(codePoint);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == codePoint)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

QByteArray toAnsi(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const uint codePoint : text.toUcs4())
        out.append(toAnsiChar(codePoint));
    return out;
}

QString fromAnsi(const QByteArray &bytes)
{
    QString out;
    out.resize(bytes.size());
    QChar *dst = out.data();
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *dst++ = (value >= 0x80 && value < 0xA0) ? QChar(kHighControls[value - 0x80])
                                                 : QChar(value);
    }
    return out;
}

QString fromAnsi(const char *bytes)
{
    if (!bytes)
        return QString();
    return fromAnsi(QByteArray::fromRawData(bytes, static_cast<int>(std::strlen(bytes))));
}

QByteArray toStored(const QString &text)
{
    return text.toUtf8();
}

QString fromStored(QByteArrayView bytes)
{
    if (isUtf8(bytes))
        return QString::fromUtf8(bytes);
    return fromAnsi(QByteArray::fromRawData(bytes.data(), bytes.size()));
}

bool isAscii(QByteArrayView bytes)
{
    const char *at = bytes.data();
    const char *const end = at + bytes.size();
    // Eight bytes at a time: none of them has its high bit set.
    for (; end - at >= 8; at += 8) {
        quint64 word;
        std::memcpy(&word, at, sizeof word);
        if (word & 0x8080808080808080ULL)
            return false;
    }
    for (; at < end; ++at) {
        if (static_cast<unsigned char>(*at) >= 0x80)
            return false;
    }
    return true;
}

bool isUtf8(QByteArrayView bytes)
{
    return isAscii(bytes) || bytes.isValidUtf8();
}

void appendAsUtf8(QByteArray &out, QByteArrayView bytes)
{
    if (isUtf8(bytes)) {
        out.append(bytes);
        return;
    }
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (value < 0x80) {
            out.append(byte);
            continue;
        }
        const char16_t c = value < 0xA0 ? kHighControls[value - 0x80] : char16_t(value);
        // Every character of the code page lies below U+0800: two or three bytes.
        if (c < 0x800) {
            out.append(static_cast<char>(0xC0 | (c >> 6)));
        } else {
            out.append(static_cast<char>(0xE0 | (c >> 12)));
            out.append(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        }
        out.append(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

int incompleteUtf8Tail(QByteArrayView bytes)
{
    // The lead byte of the last character is at most three bytes back.
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte: look further back
        const int length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? static_cast<int>(back) : 0;
    }
    return 0;
}

} // namespace CodePage
