// Feeds arbitrary bytes to the country-file conversion as it reads cty.csv, and checks
// the script it writes for the program database:
// - the script holds no NUL byte and one line per statement; each line is exactly one
//   INSERT into its table, without parameters, which SQLite runs or refuses for a
//   constraint only (a field can never change the statement);
// - a converted line's entity row holds the line's prefix, name, continent and zones
//   exactly as written, and each of its prefixes and calls the entity's number;
// - lines are converted each on its own: the whole file gives the frame and each line's
//   statements in turn, and the lines skipped are the lines that gave nothing for a
//   field that holds no number.
#include "FuzzCheck.h"
#include "ScriptCheck.h"

#include "platform/CodePage.h"
#include "refdata/CtyConversion.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr int kFrameHead = 4; // the three DELETEs and BEGIN TRANSACTION
constexpr int kEntityFields = 9;

// The line's entity row and its aliases, as SQLite stored them.
void checkLine(ScriptCheck &database, const QString &line, const QStringList &body)
{
    if (body.isEmpty())
        return;
    const QStringList fields = line.split(QLatin1Char(','));
    fuzzCheck(fields.size() > kEntityFields, "a converted line has its nine fields", CodePage::toAnsi(line));
    database.beginLine();
    const FuzzSql::Rows entity =
        database.runInsert(body.first(), "COUNTRIES", "COUNTRYPREFIX, COUNTRY, CONTINENT, CQZONE, ITUZONE, DXCCID");
    if (!entity.isEmpty()) {
        const QByteArrayList written{CodePage::toAnsi(fields.at(0)), CodePage::toAnsi(fields.at(1)),
                                     CodePage::toAnsi(fields.at(3)), CodePage::toAnsi(fields.at(4)),
                                     CodePage::toAnsi(fields.at(5))};
        fuzzCheck(entity.first().mid(0, 5) == written, "the entity row holds the line's texts",
                  entity.first().join('|'), written.join('|'));
    }
    for (const QString &alias : body.mid(1)) {
        const char *table = alias.startsWith(QLatin1String("INSERT INTO CALLS ")) ? "CALLS" : "PREFIXES";
        const FuzzSql::Rows row = database.runInsert(alias, table, "DXCCID, CQZONE, ITUZONE");
        if (!row.isEmpty() && !entity.isEmpty())
            fuzzCheck(row.first().first() == entity.first().last(), "an alias holds its entity's number",
                      row.first().first(), entity.first().last());
    }
    database.endLine();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QStringList lines = ScriptCheck::inputLines(data, size);
    int skipped = -1;
    const QStringList all = CtyConversion::statements(lines, &skipped);
    ScriptCheck::checkScriptText(all);
    const QStringList frame = CtyConversion::statements({});
    fuzzCheck(ScriptCheck::frameOf(all, kFrameHead) == frame, "the script's frame stays as it is");

    QStringList bodies;
    int skippedLines = 0;
    for (const QString &line : lines) {
        int lineSkipped = -1;
        const QStringList body = ScriptCheck::bodyOf(CtyConversion::statements({line}, &lineSkipped), kFrameHead);
        fuzzCheck(lineSkipped == 0 || (lineSkipped == 1 && body.isEmpty()), "a skipped line gives nothing",
                  CodePage::toAnsi(line));
        skippedLines += lineSkipped;
        checkLine(ScriptCheck::shared(), line, body);
        bodies += body;
    }
    fuzzCheck(ScriptCheck::bodyOf(all, kFrameHead) == bodies, "each line is converted on its own");
    fuzzCheck(skipped == skippedLines, "the lines skipped are counted", QByteArray::number(skipped),
              QByteArray::number(skippedLines));
    return 0;
}
