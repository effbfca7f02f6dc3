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
#include "refdata/ScriptIo.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

constexpr int kFrameHead = 2; // DELETE and BEGIN TRANSACTION

std::unique_ptr<ScriptCheck> theDatabase;

QStringList frameOf(const QStringList &statements)
{
    return statements.mid(0, kFrameHead) + statements.mid(statements.size() - 1);
}

QStringList bodyOf(const QStringList &statements)
{
    return statements.mid(kFrameHead, statements.size() - kFrameHead - 1);
}

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

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    theDatabase = std::make_unique<ScriptCheck>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QStringList lines =
        ScriptIo::decodeLines(QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    const QStringList all = QslMgrConversion::statements(lines);
    ScriptCheck::checkScriptText(all);
    fuzzCheck(frameOf(all) == QslMgrConversion::statements({}), "the script's frame stays as it is");

    QStringList bodies;
    for (const QString &line : lines) {
        const QStringList body = bodyOf(QslMgrConversion::statements({line}));
        checkLine(*theDatabase, line, body);
        bodies += body;
    }
    fuzzCheck(bodyOf(all) == bodies, "each line is converted on its own");
    return 0;
}
