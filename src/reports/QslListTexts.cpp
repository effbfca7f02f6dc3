#include "QslListTexts.h"

#include <array>

namespace QslListTexts {

namespace {

template <std::size_t N>
QString codeText(const std::array<const char *, N> &texts, int code)
{
    if (code < 1 || code > static_cast<int>(N))
        return QString();
    return QLatin1String(texts[static_cast<std::size_t>(code - 1)]);
}

} // namespace

QString QslSentText(int qslSent)
{
    static constexpr std::array<const char *, 4> kTexts = {"L", "N", "Y", "D"};
    return codeText(kTexts, qslSent);
}

QString QslRcvdText(int qslRcvd)
{
    static constexpr std::array<const char *, 2> kTexts = {"N", "Y"};
    return codeText(kTexts, qslRcvd);
}

} // namespace QslListTexts
