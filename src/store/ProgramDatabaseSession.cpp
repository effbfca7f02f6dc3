#include "ProgramDatabaseSession.h"

#include "Sqlite3DB.h"

ProgramDatabaseSession::ProgramDatabaseSession(Sqlite3DB &db)
    : m_connection(db.m_dbProgram, Sqlite3DB::kProgramDatabase)
{
}
