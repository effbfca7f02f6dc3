#include "ScriptCheck.h"

#include "FuzzCheck.h"

#include "platform/CodePage.h"
#include "refdata/BasicTablesScript.h"
#include "refdata/ScriptIo.h"

#include <sqlite3.h>

ScriptCheck::ScriptCheck()
{
    fuzzCheck(sqlite3_open(":memory:", &m_db) == SQLITE_OK, "an in-memory database opens");
    for (const QString &statement : BasicTablesScript::lines())
        exec(CodePage::toAnsi(statement).constData());
}

ScriptCheck::~ScriptCheck()
{
    sqlite3_close(m_db);
}

void ScriptCheck::exec(const char *sql)
{
    fuzzCheck(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK, "the check's statement runs",
              sqlite3_errmsg(m_db), sql);
}

ScriptCheck &ScriptCheck::shared()
{
    static ScriptCheck database;
    return database;
}

QStringList ScriptCheck::inputLines(const std::uint8_t *data, std::size_t size)
{
    return ScriptIo::decodeLines(
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
}

QStringList ScriptCheck::frameOf(const QStringList &statements, int head)
{
    return statements.mid(0, head) + statements.mid(statements.size() - 1);
}

QStringList ScriptCheck::bodyOf(const QStringList &statements, int head)
{
    return statements.mid(head, statements.size() - head - 1);
}

void ScriptCheck::checkScriptText(const QStringList &statements)
{
    const QByteArray script = ScriptIo::encodeLines(statements);
    fuzzCheck(!script.contains('\0'), "the script holds no NUL byte", script);
    fuzzCheck(script.count('\n') == statements.size() && script.count("\r\n") == statements.size(),
              "the script has one line per statement", script);
}

FuzzSql::Rows ScriptCheck::runInsert(const QString &statement, const char *table, const char *columns)
{
    const QByteArray sql = CodePage::toAnsi(statement);
    fuzzCheck(!sql.contains('\0'), "a statement holds no NUL byte", sql);
    fuzzCheck(sqlite3_complete((sql + '\n').constData()) != 0, "a statement line is complete", sql);
    sqlite3_stmt *prepared = nullptr;
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, sql.constData(), static_cast<int>(sql.size()), &prepared, &tail);
    fuzzCheck(rc == SQLITE_OK && prepared, "a statement prepares", sqlite3_errmsg(m_db), sql);
    fuzzCheck(tail == sql.constData() + sql.size(), "a line holds one statement", QByteArray(tail), sql);
    fuzzCheck(sqlite3_bind_parameter_count(prepared) == 0, "a statement has no parameters", sql);
    const QByteArray head = QByteArray("INSERT INTO ") + table + ' ';
    fuzzCheck(sql.startsWith(head) && !sqlite3_stmt_readonly(prepared), "a statement inserts into its table", sql,
              head);

    const int changesBefore = sqlite3_total_changes(m_db);
    const int stepped = sqlite3_step(prepared);
    sqlite3_finalize(prepared);
    if (stepped != SQLITE_DONE) {
        fuzzCheck(sqlite3_errcode(m_db) == SQLITE_CONSTRAINT, "only a constraint refuses a statement",
                  sqlite3_errmsg(m_db), sql);
        return {};
    }
    fuzzCheck(sqlite3_total_changes(m_db) == changesBefore + 1, "a statement adds one row", sql);
    const QByteArray query = QByteArray("SELECT ") + columns + " FROM " + table + " WHERE ROWID = "
                           + QByteArray::number(sqlite3_last_insert_rowid(m_db));
    return FuzzSql::rows(m_db, query.constData());
}

void ScriptCheck::beginLine()
{
    exec("SAVEPOINT LINE");
}

void ScriptCheck::endLine()
{
    exec("ROLLBACK TO LINE; RELEASE LINE");
}
