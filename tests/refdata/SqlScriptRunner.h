#pragma once

#include <QString>
#include <QStringList>

struct sqlite3;

// Runs SQL scripts into a database file the way the sqlite3 shell does: lines are
// gathered until they form a complete statement, each statement runs on its own, and
// one that fails (a UNIQUE violation, say) is counted and skipped.
class SqlScriptRunner
{
public:
    explicit SqlScriptRunner(const QString &databasePath);
    ~SqlScriptRunner();
    SqlScriptRunner(const SqlScriptRunner &) = delete;
    SqlScriptRunner &operator=(const SqlScriptRunner &) = delete;

    bool isOpen() const { return m_db != nullptr; }
    // The number of statements that failed, or -1 when the script cannot be read.
    int runScript(const QString &scriptPath);
    // The first row of a query, each column as text; NULL reads as "NULL".
    QStringList firstRow(const QString &query);

private:
    sqlite3 *m_db = nullptr;
};
