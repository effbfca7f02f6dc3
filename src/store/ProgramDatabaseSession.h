#pragma once

#include "SlotConnection.h"

class ProgramDb;

// Keeps the program database open in the store's program slot for as long as it lives:
// every program-database operation of that store runs on this one connection instead
// of opening the file for itself, as a long series of lookups wants.
class ProgramDatabaseSession
{
public:
    explicit ProgramDatabaseSession(ProgramDb &db);
    ProgramDatabaseSession(const ProgramDatabaseSession &) = delete;
    ProgramDatabaseSession &operator=(const ProgramDatabaseSession &) = delete;

    bool isOpen() const { return m_connection.isOpen(); }

private:
    SlotConnection m_connection;
};
