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
// a location; /P, /M, a call area digit and the like keep the home call's entity. A
// trailing /P or /QRP after the location (DL1ABC/EA8/P) does not hide it. 0 when the
// call has no such suffix or the suffix is no prefix.
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

template <typename Lookup>
int resolve(const QString &call, const Lookup &lookup)
{
    // A maritime or aeronautical mobile station is in no entity.
    if (call.endsWith(QLatin1String("/MM")) || call.endsWith(QLatin1String("/AM")))
        return 0;
    QString home = call;
    if (home.endsWith(QLatin1String("/M")))
        home.chop(2);
    if (home.endsWith(QLatin1String("/QRP")))
        home.chop(4);

    const int exact = lookup.entityOfCall(home);
    if (exact >= 1)
        return exact;

    const int located = locationSuffixEntity(home, lookup);
    if (located >= 1)
        return located;

    // Otherwise only the part in front of the first separator is searched: "F/DL1ABC"
    // by F, "DL1ABC/P" by DL1ABC.
    static const QRegularExpression separator(QStringLiteral("[\\\\/-]"));
    const qsizetype cut = home.indexOf(separator);
    return lookup.entityOfPrefix(cut < 0 ? home : home.left(cut));
}

} // namespace CallsignResolution
