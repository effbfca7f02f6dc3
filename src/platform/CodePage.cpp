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

} // namespace CodePage
