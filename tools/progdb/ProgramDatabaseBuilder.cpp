#include "ProgramDatabaseBuilder.h"

#include "platform/CodePage.h"
#include "refdata/BasicTablesScript.h"
#include "refdata/CtyConversion.h"
#include "refdata/ScriptIo.h"

#include <QFile>

#include <sqlite3.h>

bool ProgramDatabaseBuilder::build(const QString &dbPath, const QString &ctyPath)
{
    QStringList countryLines;
    if (!ScriptIo::readLines(ctyPath, countryLines))
        return false;
    return run(dbPath, BasicTablesScript::lines() + CtyConversion::statements(countryLines)) >= 0;
}

int ProgramDatabaseBuilder::run(const QString &dbPath, const QStringList &statements)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open(QFile::encodeName(dbPath).constData(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        return -1;
    }
    int failed = 0;
    for (const QString &statement : statements) {
        if (sqlite3_exec(db, CodePage::toAnsi(statement).constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            ++failed;
    }
    sqlite3_close(db);
    return failed;
}
