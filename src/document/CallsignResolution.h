#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>

// How a call sign is turned into its DXCC entity, whatever answers the table lookups:
// `Lookup` offers entityOfCall(call) (the entity of a call listed on its own, or 0)
// and entityOfPrefix(text) (the entity of the longest leading part of text that is a
// unique prefix, or 0), both taking the text as a QString.
namespace CallsignResolution {

// Suffixes that say how a station operates, not where: never a location.
inline bool isOperatingSuffix(const QString &part)
{
    static const QStringList kOperating = {QStringLiteral("QRP"), QStringLiteral("QRPP"), QStringLiteral("LH"),
                                           QStringLiteral("LGT"), QStringLiteral("BCN"), QStringLiteral("PM")};
    return kOperating.contains(part);
}

// The location of a "home call/suffix" call, as operators read it: W1AW/KH6 is in
// Hawaii, DL1ABC/EA8 on the Canaries. Only a suffix shorter than the home call in front
// of it, of more than one character, not all digits and not an operating suffix, names
// a location; /P, /M, a call area digit and the like do not. A trailing /P or /QRP
// after the location (DL1ABC/EA8/P) does not hide it. 0 when the call has no such
// suffix or the suffix is no prefix.
template <typename Lookup>
int locationSuffixEntity(const QString &call, const Lookup &lookup)
{
    QStringList parts = call.split(QLatin1Char('/'));
    while (parts.size() > 2 && (parts.last().size() <= 1 || isOperatingSuffix(parts.last())))
        parts.removeLast();
    if (parts.size() != 2)
        return 0;
    const QString &home = parts.first();
    const QString &suffix = parts.last();
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (suffix.size() <= 1 || suffix.size() >= home.size() || digits.match(suffix).hasMatch()
        || isOperatingSuffix(suffix))
        return 0;
    return lookup.entityOfPrefix(suffix);
}

inline bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The call a call-area digit makes of its home call: the digit replaces the home
// call's last digit, so RZ3DN/9 is RZ9DN and UA9QCP/3/P is UA3QCP. A trailing /P or
// operating suffix after the digit does not hide it. Empty when the call is no home
// call with one digit after it (W1AW/10, W1AW/KH6/3, KH6/W1AW) or the home call has no
// digit to replace.
inline QString callAreaCall(const QString &call)
{
    QStringList parts = call.split(QLatin1Char('/'));
    const auto isArea = [](const QString &part) { return part.size() == 1 && isAsciiDigit(part.front()); };
    while (parts.size() > 2 && ((parts.last().size() <= 1 && !isArea(parts.last())) || isOperatingSuffix(parts.last())))
        parts.removeLast();
    if (parts.size() != 2 || !isArea(parts.last()))
        return QString();
    QString home = parts.first();
    if (home.contains(QLatin1Char('\\')) || home.contains(QLatin1Char('-')))
        return QString();
    for (qsizetype i = home.size() - 1; i >= 0; --i) {
        if (isAsciiDigit(home.at(i))) {
            home[i] = parts.last().front();
            return home;
        }
    }
    return QString();
}

// What resolution decided: the entity, and the call whose own entry and prefix give the
// station's zones. That is the call itself, except where its call area digit decided:
// then the call the digit makes, so that UA0ABC/3 is in European Russia's zones too.
struct Resolution
{
    int entity = 0;
    QString zoneCall;
};

template <typename Lookup>
Resolution resolveWithZoneCall(const QString &call, const Lookup &lookup)
{
    // A maritime or aeronautical mobile station is in no entity.
    if (call.endsWith(QLatin1String("/MM")) || call.endsWith(QLatin1String("/AM")))
        return {0, call};
    QString home = call;
    if (home.endsWith(QLatin1String("/M")))
        home.chop(2);
    if (home.endsWith(QLatin1String("/QRP")))
        home.chop(4);

    const int exact = lookup.entityOfCall(home);
    if (exact >= 1)
        return {exact, call};

    const int located = locationSuffixEntity(home, lookup);
    if (located >= 1)
        return {located, call};

    // Where an entity is decided by the call area (Russia's European and Asiatic
    // parts, Kaliningrad, the US Pacific islands), the call area digit moves the
    // station: to the entity of the call it makes, by that call's own entry, else its
    // prefix. When that call has none, the home call's entity stays (JD1BNN/3).
    const QString moved = callAreaCall(home);
    if (!moved.isEmpty()) {
        const int movedExact = lookup.entityOfCall(moved);
        const int area = movedExact >= 1 ? movedExact : lookup.entityOfPrefix(moved);
        if (area >= 1)
            return {area, moved};
    }

    // Otherwise only the part in front of the first separator is searched: "F/DL1ABC"
    // by F, "DL1ABC/P" by DL1ABC.
    static const QRegularExpression separator(QStringLiteral("[\\\\/-]"));
    const qsizetype cut = home.indexOf(separator);
    return {lookup.entityOfPrefix(cut < 0 ? home : home.left(cut)), call};
}

template <typename Lookup>
int resolve(const QString &call, const Lookup &lookup)
{
    return resolveWithZoneCall(call, lookup).entity;
}

} // namespace CallsignResolution
