// Feeds arbitrary bytes to the QSL manager list conversion as it reads qslmgr.txt, and
// checks the script it writes for the program database:
// - the script holds no NUL byte and one line per statement; each line is exactly one
//   INSERT into QSLMGRS, without parameters, which SQLite runs;
// - the row holds the call and the manager exactly as the line wrote them before its
//   first and second ";", and a line gives a row exactly when it has both;
// - lines are converted each on its own: the whole list gives the frame and each line's
//   statement in turn.
#include "FuzzCheck.h"
#include "ScriptCheck.h"

#include "platform/CodePage.h"
#include "refdata/QslMgrConversion.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr int kFrameHead = 2; // DELETE and BEGIN TRANSACTION

void checkLine(ScriptCheck &database, const QString &line, const QStringList &body)
{
    const QString call = line.section(QLatin1Char(';'), 0, 0);
    const QString manager = line.section(QLatin1Char(';'), 1, 1);
    const bool pair = line.count(QLatin1Char(';')) >= 2 && !call.isEmpty() && !manager.isEmpty();
    fuzzCheck(body.size() == (pair ? 1 : 0), "a line gives a row exactly when it has a call and a manager",
              CodePage::toAnsi(line));
    if (!pair)
        return;
    database.beginLine();
    const FuzzSql::Rows row = database.runInsert(body.first(), "QSLMGRS", "CALL, QSLMGR");
    fuzzCheck(row.size() == 1, "QSLMGRS takes every row", CodePage::toAnsi(line));
    const QByteArrayList written{CodePage::toAnsi(call), CodePage::toAnsi(manager)};
    fuzzCheck(row.first() == written, "the row holds the line's call and manager", row.first().join('|'),
              written.join('|'));
    database.endLine();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QStringList lines = ScriptCheck::inputLines(data, size);
    const QStringList all = QslMgrConversion::statements(lines);
    ScriptCheck::checkScriptText(all);
    fuzzCheck(ScriptCheck::frameOf(all, kFrameHead) == QslMgrConversion::statements({}),
              "the script's frame stays as it is");

    QStringList bodies;
    for (const QString &line : lines) {
        const QStringList body = ScriptCheck::bodyOf(QslMgrConversion::statements({line}), kFrameHead);
        checkLine(ScriptCheck::shared(), line, body);
        bodies += body;
    }
    fuzzCheck(ScriptCheck::bodyOf(all, kFrameHead) == bodies, "each line is converted on its own");
    return 0;
}
