#include "ProgramDatabaseBuilder.h"

#include "refdata/BasicTablesScript.h"
#include "refdata/CtyConversion.h"
#include "refdata/ProgramDatabaseMaker.h"
#include "refdata/ScriptIo.h"

bool ProgramDatabaseBuilder::build(const QString &dbPath, const QString &ctyPath)
{
    QStringList countryLines;
    if (!ScriptIo::readLines(ctyPath, countryLines))
        return false;
    return run(dbPath, BasicTablesScript::lines() + CtyConversion::statements(countryLines)) >= 0;
}

int ProgramDatabaseBuilder::run(const QString &dbPath, const QStringList &statements)
{
    return ProgramDatabaseMaker::runStatements(dbPath, statements);
}
