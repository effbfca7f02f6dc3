#pragma once

#include "FuzzSql.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

struct sqlite3;

// Runs the statements of a converted script on an in-memory database with the program
// database's tables, one line at a time as the sqlite3 shell reads the script, and
// checks that each line is exactly the one statement it was written as.
class ScriptCheck
{
public:
    ScriptCheck();
    ~ScriptCheck();
    ScriptCheck(const ScriptCheck &) = delete;
    ScriptCheck &operator=(const ScriptCheck &) = delete;

    // The one database of the run.
    static ScriptCheck &shared();

    // The fuzzer's input read as the conversions read a list.
    static QStringList inputLines(const std::uint8_t *data, std::size_t size);
    // A script's frame, its first head statements and its last, and the body between.
    static QStringList frameOf(const QStringList &statements, int head);
    static QStringList bodyOf(const QStringList &statements, int head);

    // The script as written holds no NUL byte (the shell would end the line there) and
    // one line per statement.
    static void checkScriptText(const QStringList &statements);

    // Runs one INSERT of the script: one complete statement with nothing behind it and
    // no parameters, which SQLite either runs, adding one row, or refuses for a
    // constraint only (a repeated key, as in the real lists). The added row's values, or
    // nothing when it was refused.
    FuzzSql::Rows runInsert(const QString &statement, const char *table, const char *columns);

    // Each line's rows go again when the line is done.
    void beginLine();
    void endLine();

private:
    void exec(const char *sql);

    sqlite3 *m_db = nullptr;
};
