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

// ADIF's modes, and the submodes operators name a QSO by, beyond the five codes' own
// names: the name shown, its MODE and its SUBMODE.
constexpr const char *kMoreChoices[][3] = {
    {"ARDOP", "ARDOP", ""},       {"ATV", "ATV", ""},          {"C4FM", "DIGITALVOICE", "C4FM"},
    {"CHIP", "CHIP", ""},         {"CLO", "CLO", ""},          {"CONTESTI", "CONTESTI", ""},
    {"DIGITALVOICE", "DIGITALVOICE", ""},                      {"DMR", "DIGITALVOICE", "DMR"},
    {"DOMINO", "DOMINO", ""},     {"DSTAR", "DIGITALVOICE", "DSTAR"},
    {"DYNAMIC", "DYNAMIC", ""},   {"FAX", "FAX", ""},          {"FREEDV", "DIGITALVOICE", "FREEDV"},
    {"FSK441", "FSK441", ""},     {"FST4", "MFSK", "FST4"},    {"FT4", "MFSK", "FT4"},
    {"FT8", "FT8", ""},           {"HELL", "HELL", ""},        {"ISCAT", "ISCAT", ""},
    {"JS8", "MFSK", "JS8"},       {"JT4", "JT4", ""},          {"JT65", "JT65", ""},
    {"JT6M", "JT6M", ""},         {"JT9", "JT9", ""},          {"LSB", "SSB", "LSB"},
    {"M17", "DIGITALVOICE", "M17"}, {"MFSK", "MFSK", ""},      {"MSK144", "MSK144", ""},
    {"MT63", "MT63", ""},         {"OLIVIA", "OLIVIA", ""},    {"OPERA", "OPERA", ""},
    {"PAC", "PAC", ""},           {"PAX", "PAX", ""},          {"PKT", "PKT", ""},
    {"PSK", "PSK", ""},           {"PSK125", "PSK", "PSK125"}, {"PSK2K", "PSK2K", ""},
    {"PSK31", "PSK", "PSK31"},    {"PSK63", "PSK", "PSK63"},   {"Q65", "MFSK", "Q65"},
    {"QRA64", "QRA64", ""},       {"ROS", "ROS", ""},          {"RTTYM", "RTTYM", ""},
    {"SSTV", "SSTV", ""},         {"T10", "T10", ""},          {"THOR", "THOR", ""},
    {"THRB", "THRB", ""},         {"TOR", "TOR", ""},          {"USB", "SSB", "USB"},
    {"V4", "V4", ""},             {"VOI", "VOI", ""},          {"WINMOR", "WINMOR", ""},
    {"WSPR", "WSPR", ""},
};

bool sameName(QByteArrayView text, const char *name)
{
    return text.compare(QByteArrayView(name), Qt::CaseInsensitive) == 0;
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

const QList<Choice> &moreChoices()
{
    static const QList<Choice> choices = [] {
        QList<Choice> list;
        for (const auto &choice : kMoreChoices) {
            const QString adifMode = QLatin1String(choice[1]);
            list.append({QLatin1String(choice[0]), adifMode, QLatin1String(choice[2]),
                         codeOfAdif(QByteArrayView(choice[1]), kRtty)});
        }
        return list;
    }();
    return choices;
}

std::optional<Choice> find(const QString &name)
{
    for (int code = 1; code <= kCount; ++code) {
        if (name.compare(QsoModes::name(code), Qt::CaseInsensitive) == 0)
            return Choice{QsoModes::name(code), QString(), QString(), code};
    }
    for (const Choice &choice : moreChoices()) {
        if (name.compare(choice.name, Qt::CaseInsensitive) == 0)
            return choice;
    }
    return std::nullopt;
}

int codeOfAdif(QByteArrayView adifMode, int current)
{
    struct Code
    {
        const char *text;
        int code;
    };
    // Digital voice (the mode and its submodes, some of which older files give as the
    // mode) is a phone mode for the awards.
    static const Code kCodes[] = {{"CW", kCw},     {"SSB", kSsb},  {"USB", kSsb},    {"LSB", kSsb},  {"DIGITALVOICE", kSsb},
                                  {"C4FM", kSsb},  {"DSTAR", kSsb}, {"DMR", kSsb},   {"FREEDV", kSsb}, {"M17", kSsb},
                                  {"RTTY", kRtty}, {"FM", kFm},    {"AM", kAm}};
    if (adifMode.isEmpty())
        return current;
    for (const Code &mode : kCodes) {
        if (sameName(adifMode, mode.text))
            return mode.code;
    }
    // Every other mode (FT8, MFSK, PSK31, ...) is digital and counts with RTTY.
    return kRtty;
}

QString shownName(int code, const QString &adifMode, const QString &adifSubmode)
{
    if (!adifMode.isEmpty() && codeOfAdif(adifMode.toLatin1(), 0) == code)
        return adifSubmode.isEmpty() ? adifMode : adifSubmode;
    return name(code);
}

} // namespace QsoModes
