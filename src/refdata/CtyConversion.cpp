#include "CtyConversion.h"

#include "ScriptIo.h"

#include <QRegularExpression>

#include <optional>

namespace {

// Nine entity fields, then the alias list after the last comma.
constexpr int kEntityFields = 9;

const QLatin1String kEntityHead(
    "INSERT INTO COUNTRIES (COUNTRYPREFIX, COUNTRY, DXCCID, CONTINENT, CQZONE, ITUZONE, "
    "LATITUDE, LONGITUDE, GMTDIFF) VALUES (");
const QLatin1String kPrefixHead("INSERT INTO PREFIXES (DXCCID, COUNTRYPREFIX, CQZONE, ITUZONE) VALUES (");
const QLatin1String kCallHead("INSERT INTO CALLS (DXCCID, CALL, CQZONE, ITUZONE) VALUES (");
const QLatin1String kNull("NULL");

struct Alias
{
    bool isCall = false;
    QString text;
    QString cq = kNull;  // bare
    QString itu = kNull; // quoted
};

// Entity number, latitude, longitude and time offset are numbers in the table.
bool isBareField(int index)
{
    return index == 2 || index == 6 || index == 7 || index == 8;
}

// The fields that must hold a number: the bare ones and the two zones.
bool isNumberField(int index)
{
    return isBareField(index) || index == 4 || index == 5;
}

bool isNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    return number.match(text).hasMatch();
}

// Removes the first open...close group (brackets included) and returns what stood
// inside it; nothing when either bracket is missing or the close comes first.
std::optional<QString> takeGroup(QString &text, QChar open, QChar close)
{
    const int openAt = text.indexOf(open);
    const int closeAt = text.indexOf(close);
    if (openAt < 0 || closeAt < openAt)
        return std::nullopt;
    const QString inside = text.mid(openAt + 1, closeAt - openAt - 1);
    text.remove(openAt, closeAt - openAt + 1);
    return inside;
}

// An alias that is empty once its markers are removed gives no row: an empty
// prefix would match every call.
std::optional<Alias> parseAlias(QString text)
{
    Alias alias;
    alias.isCall = text.startsWith(QLatin1Char('='));
    if (alias.isCall)
        text.remove(QLatin1Char('='));
    if (const auto cq = takeGroup(text, QLatin1Char('('), QLatin1Char(')')))
        alias.cq = *cq;
    if (const auto itu = takeGroup(text, QLatin1Char('['), QLatin1Char(']')))
        alias.itu = ScriptIo::quoted(*itu);
    if (text.isEmpty())
        return std::nullopt;
    alias.text = text;
    return alias;
}

QString entityStatement(const QStringList &fields)
{
    QStringList values;
    for (int i = 0; i < fields.size(); ++i)
        values.append(isBareField(i) ? fields.at(i) : ScriptIo::quoted(fields.at(i)));
    return kEntityHead + values.join(QLatin1Char(',')) + QLatin1String(");");
}

QString aliasStatement(const QString &entity, const Alias &alias)
{
    const QStringList values{entity, ScriptIo::quoted(alias.text), alias.cq, alias.itu};
    return (alias.isCall ? kCallHead : kPrefixHead) + values.join(QLatin1Char(','))
           + QLatin1String(");");
}

// Aliases are separated by single spaces; the list ends in one terminating character.
QStringList aliasTexts(const QString &list)
{
    QStringList texts = list.split(QLatin1Char(' '));
    texts.last().chop(1);
    return texts;
}

enum class LineKind { Converted, NoEntity, Damaged };

LineKind appendLine(const QString &line, QStringList &out)
{
    QStringList fields = line.split(QLatin1Char(','));
    if (fields.size() <= kEntityFields)
        return LineKind::NoEntity; // an empty or truncated line names no entity
    // A comma too many would put more values than columns into the entity's statement,
    // which SQLite then refuses while the aliases still go in under the lost entity.
    if (fields.size() > kEntityFields + 1)
        return LineKind::Damaged;
    const QString aliasList = fields.takeLast();
    for (int i = 0; i < fields.size(); ++i) {
        if (isNumberField(i) && !isNumber(fields.at(i)))
            return LineKind::Damaged;
    }
    QList<Alias> aliases;
    for (const QString &text : aliasTexts(aliasList)) {
        const auto alias = parseAlias(text);
        if (!alias)
            continue;
        if (alias->cq != kNull && !isNumber(alias->cq))
            return LineKind::Damaged;
        aliases.append(*alias);
    }
    out.append(entityStatement(fields));
    for (const Alias &alias : aliases)
        out.append(aliasStatement(fields.at(2), alias));
    return LineKind::Converted;
}

} // namespace

namespace CtyConversion {

QStringList statements(const QStringList &csvLines, int *skipped)
{
    QStringList out{QStringLiteral("DELETE FROM COUNTRIES;"), QStringLiteral("DELETE FROM CALLS;"),
                    QStringLiteral("DELETE FROM PREFIXES;"), QStringLiteral("BEGIN TRANSACTION;")};
    int damaged = 0;
    for (const QString &line : csvLines) {
        if (appendLine(line, out) == LineKind::Damaged)
            ++damaged;
    }
    out.append(QStringLiteral("END TRANSACTION;"));
    if (skipped)
        *skipped = damaged;
    return out;
}

ConversionOutcome run(const QString &csvPath, const QString &sqlPath)
{
    QStringList lines;
    if (!ScriptIo::readLines(csvPath, lines))
        return ConversionOutcome::inputMissing(QLatin1String(RefDataTexts::kCtyInput),
                                               QLatin1String(RefDataTexts::kCtyDownload));
    int skipped = 0;
    ConversionOutcome outcome = ScriptIo::writeLines(sqlPath, statements(lines, &skipped));
    if (outcome.isReady() && skipped > 0)
        outcome.message +=
            QStringLiteral("\n%1 lines skipped: a number field holds no number or the line has too many fields")
                .arg(skipped);
    return outcome;
}

} // namespace CtyConversion
