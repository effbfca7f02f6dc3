#include "ProgramDatabaseSession.h"

#include "ProgramDb.h"

ProgramDatabaseSession::ProgramDatabaseSession(ProgramDb &db)
    : m_connection(db.m_dbProgram, ProgramDb::location())
{
}
