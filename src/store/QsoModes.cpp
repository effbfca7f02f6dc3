#include "QsoModes.h"

#include <array>

namespace QsoModes {

namespace {

struct Mode
{
    const char *name;
    bool phone;
};

constexpr std::array<Mode, kCount> kModes = {{{"CW", false}, {"SSB", true}, {"RTTY", false}, {"FM", true}, {"AM", true}}};

const Mode *find(int code)
{
    return code >= 1 && code <= kCount ? &kModes[static_cast<std::size_t>(code - 1)] : nullptr;
}

} // namespace

QString name(int code)
{
    const Mode *mode = find(code);
    return mode ? QLatin1String(mode->name) : QString();
}

QString defaultReport(int code)
{
    const Mode *mode = find(code);
    return mode && !mode->phone ? QStringLiteral("599") : QStringLiteral("59");
}

bool isPhone(int code)
{
    const Mode *mode = find(code);
    return mode && mode->phone;
}

} // namespace QsoModes
