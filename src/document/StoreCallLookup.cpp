#include "StoreCallLookup.h"

#include "CallsignResolution.h"

StoreCallLookup::StoreCallLookup()
    : m_session(m_db)
{
}

int StoreCallLookup::entityOfCall(const QString &call) const
{
    return m_db.FindEntityByCall(call).value_or(0);
}

int StoreCallLookup::entityOfPrefix(const QString &text) const
{
    return m_db.FindEntityByPrefix(text).value_or(0);
}

int StoreCallLookup::resolve(const QString &call) const
{
    return CallsignResolution::resolve(call, *this);
}

bool StoreCallLookup::countryInfo(QList<ProgramDb::UM_COUNTRYINFO> &list, int dxccId, const QString &call) const
{
    return m_db.GetCountryInfo(list, dxccId, CallsignResolution::resolveWithZoneCall(call, *this).zoneCall);
}
