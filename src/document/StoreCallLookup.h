#pragma once

#include "store/ProgramDatabaseSession.h"
#include "store/ProgramDb.h"

#include <QString>

// Call-sign resolution answered by the program database's own queries, one query per
// lookup, on one connection held for the object's life: the way calls were resolved
// before CallsignIndex, kept as the reference the index is checked against.
class StoreCallLookup
{
public:
    StoreCallLookup();
    StoreCallLookup(const StoreCallLookup &) = delete;
    StoreCallLookup &operator=(const StoreCallLookup &) = delete;

    // False when the program database could not be opened.
    bool isOpen() const { return m_session.isOpen(); }

    int entityOfCall(const QString &call) const;
    int entityOfPrefix(const QString &text) const;
    int resolve(const QString &call) const;

private:
    mutable ProgramDb m_db;
    ProgramDatabaseSession m_session;
};
