#pragma once

#include "store/ProgramDatabaseSession.h"
#include "store/ProgramDb.h"

#include <QList>
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
    // The store's country information for the call's zone call, as
    // ProgramDb::GetCountryInfo() gives it: one record in the list, or none and false
    // when a query fails.
    bool countryInfo(QList<ProgramDb::UM_COUNTRYINFO> &list, int dxccId, const QString &call) const;

private:
    mutable ProgramDb m_db;
    ProgramDatabaseSession m_session;
};
