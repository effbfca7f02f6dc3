#pragma once

#include <QRegularExpression>
#include <QString>

// How a call sign is turned into its DXCC entity, whatever answers the table lookups:
// `Lookup` offers entityOfCall(call) (the entity of a call listed on its own, or 0)
// and entityOfPrefix(text) (the entity of the longest leading part of text that is a
// unique prefix, or 0), both taking the text as a QString.
namespace CallsignResolution {

template <typename Lookup>
int resolve(const QString &call, const Lookup &lookup)
{
    // A maritime mobile station is in no entity.
    if (call.endsWith(QLatin1String("/MM")))
        return 0;
    QString home = call;
    if (home.endsWith(QLatin1String("/M")))
        home.chop(2);
    if (home.endsWith(QLatin1String("/QRP")))
        home.chop(4);

    const int exact = lookup.entityOfCall(home);
    if (exact >= 1)
        return exact;

    // Only the part in front of the first separator is searched: "F/DL1ABC" by F,
    // "DL1ABC/P" by DL1ABC.
    static const QRegularExpression separator(QStringLiteral("[\\\\/-]"));
    const qsizetype cut = home.indexOf(separator);
    return lookup.entityOfPrefix(cut < 0 ? home : home.left(cut));
}

} // namespace CallsignResolution
