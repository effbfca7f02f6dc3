#include "QslMgrConversion.h"

#include "ScriptIo.h"

#include <optional>

namespace {

struct Pair
{
    QString call;
    QString manager;
};

std::optional<Pair> parsePair(const QString &line)
{
    const int first = line.indexOf(QLatin1Char(';'));
    if (first < 0)
        return std::nullopt;
    const int second = line.indexOf(QLatin1Char(';'), first + 1);
    if (second < 0)
        return std::nullopt;
    Pair pair{line.left(first), line.mid(first + 1, second - first - 1)};
    if (pair.call.isEmpty() || pair.manager.isEmpty())
        return std::nullopt;
    return pair;
}

QString insertStatement(const Pair &pair)
{
    return QLatin1String("INSERT INTO QSLMGRS (CALL, QSLMGR) VALUES (") + ScriptIo::quoted(pair.call)
           + QLatin1Char(',') + ScriptIo::quoted(pair.manager) + QLatin1String(");");
}

} // namespace

namespace QslMgrConversion {

QStringList statements(const QStringList &listLines)
{
    QStringList out{QStringLiteral("DELETE FROM QSLMGRS;"), QStringLiteral("BEGIN TRANSACTION;")};
    for (const QString &line : listLines) {
        if (const auto pair = parsePair(line))
            out.append(insertStatement(*pair));
    }
    out.append(QStringLiteral("END TRANSACTION;"));
    return out;
}

ConversionOutcome run(const QString &listPath, const QString &sqlPath)
{
    QStringList lines;
    if (!ScriptIo::readLines(listPath, lines))
        return ConversionOutcome::inputMissing(QLatin1String(RefDataTexts::kQslMgrInput),
                                               QLatin1String(RefDataTexts::kQslMgrDownload));
    return ScriptIo::writeLines(sqlPath, statements(lines));
}

} // namespace QslMgrConversion
