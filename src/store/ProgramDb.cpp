#include "ProgramDb.h"

#include "DatabaseSchema.h"
#include "SlotConnection.h"
#include "SqliteStatement.h"
#include "SqliteTransaction.h"
#include "StoreLog.h"

#include "platform/CodePage.h"

#include <QDir>

#include <sqlite3.h>

#include <algorithm>

namespace {

// --- Program database ---------------------------------------------------------------

const char kGetParameter[] = "SELECT VALUE FROM PARAMETERS WHERE PARAMETER = ?";
const char kSetParameter[] = "UPDATE PARAMETERS SET VALUE = ? WHERE PARAMETER = ?";
const char kGetQslManager[] = "SELECT QSLMGR FROM QSLMGRS WHERE CALL = ?";

// --- Call-sign resolution -----------------------------------------------------------

const char kCallLookup[] = "SELECT DXCCID, CQZONE, ITUZONE FROM CALLS WHERE CALL = ?";
const char kPrefixCount[] = "SELECT COUNT(*) FROM PREFIXES WHERE COUNTRYPREFIX = ?";
const char kPrefixLookup[] = "SELECT DXCCID, CQZONE, ITUZONE FROM PREFIXES WHERE COUNTRYPREFIX = ?";
const char kCountryInfo[] =
    "SELECT ROWID, COUNTRYPREFIX, COUNTRY, DXCCID, CONTINENT, CQZONE, ITUZONE, LATITUDE, LONGITUDE, "
    "GMTDIFF FROM COUNTRIES WHERE DXCCID = ? AND COUNTRYPREFIX NOT LIKE '*%'";

// The longest leading part of `text` that stands exactly once in PREFIXES, tried from
// the whole text down to one character on the one prepared count statement; the empty
// text when none does. A prefix that stands in several rows is passed over like one
// that stands in none.
QByteArray longestUniquePrefix(SqliteStatement &count, const QByteArray &text)
{
    for (qsizetype length = text.size(); length > 0; --length) {
        const QByteArray candidate = text.left(length);
        count.reset();
        count.bind(1, candidate);
        count.step();
        if (count.columnInt(0) == 1)
            return candidate;
    }
    return QByteArray();
}

// Replaces the record's zones by the non-empty zones of the first row of a CALLS or
// PREFIXES lookup (columns DXCCID, CQZONE, ITUZONE).
void applyZones(SqliteStatement &lookup, const QByteArray &key, ProgramDb::UM_COUNTRYINFO &info)
{
    lookup.bind(1, key);
    lookup.step();
    const QString cqZone = lookup.columnText(1);
    const QString ituZone = lookup.columnText(2);
    if (!cqZone.isEmpty())
        info.cqZone = cqZone;
    if (!ituZone.isEmpty())
        info.ituZone = ituZone;
}

void readCountry(const SqliteStatement &row, ProgramDb::UM_COUNTRYINFO &info)
{
    info.rowId = row.columnInt(0);
    info.countryPrefix = row.columnText(1);
    info.country = row.columnText(2);
    info.dxccId = row.columnInt(3);
    info.continent = row.columnText(4);
    info.cqZone = row.columnText(5);
    info.ituZone = row.columnText(6);
    info.latitude = row.columnDouble(7);
    info.longitude = row.columnDouble(8);
    info.gmtDiff = row.columnDouble(9);
}

} // namespace

namespace {
QString g_folder;
} // namespace

QString ProgramDb::location()
{
    const QString name = QLatin1String(kProgramDatabase);
    return g_folder.isEmpty() ? name : QDir(g_folder).filePath(name);
}

void ProgramDb::useFolder(const QString &folder)
{
    g_folder = folder;
}

// --- Parameters ---------------------------------------------------------------------

std::optional<QByteArray> ProgramDb::GetParameter(const QByteArray &name)
{
    SlotConnection db(m_dbProgram, location());
    if (!db.isOpen())
        return std::nullopt;
    SqliteStatement statement(db.handle(), kGetParameter);
    if (!statement.isPrepared())
        return std::nullopt;
    statement.bind(1, name);
    const int rc = statement.step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        return std::nullopt;
    // The stored bytes as they are: the callers know each parameter's encoding.
    return statement.columnBytes(0);
}

bool ProgramDb::SetParameter(const QString &name, const QString &value)
{
    SlotConnection db(m_dbProgram, location());
    if (!db.isOpen())
        return false;
    // A program database of a newer program is only read: what it keeps is its own.
    if (DatabaseSchema::userVersion(db.handle()) > Schema().currentVersion()) {
        StoreLog::noteFailure(QStringLiteral("the program database has a newer schema version"));
        return false;
    }
    SqliteStatement update(db.handle(), kSetParameter);
    if (!update.isPrepared())
        return false;
    update.bind(1, value);
    update.bind(2, name);
    return update.run();
}

// --- Reference lists ----------------------------------------------------------------

bool ProgramDb::LoadCodeList(QList<UM_COMBOBOX> &list, const char *query)
{
    list.clear();
    SlotConnection db(m_dbProgram, location());
    if (!db.isOpen())
        return false;
    SqliteStatement statement(db.handle(), query);
    if (!statement.isPrepared())
        return false;
    return statement.forEachRow([&list](SqliteStatement &row) {
        list.append({row.columnInt(0), row.columnText(1)});
    });
}

std::optional<QString> ProgramDb::GetQslManager(const QString &call)
{
    SlotConnection db(m_dbProgram, location());
    if (!db.isOpen())
        return std::nullopt;
    SqliteStatement statement(db.handle(), kGetQslManager);
    if (!statement.isPrepared())
        return std::nullopt;
    statement.bind(1, call);
    const int rc = statement.step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        return std::nullopt;
    return statement.columnText(0);
}

// --- Call-sign resolution -----------------------------------------------------------

std::optional<int> ProgramDb::FindEntityByCall(const QString &call)
{
    SlotConnection db(m_dbProgram, location());
    if (!db.isOpen())
        return std::nullopt;
    SqliteStatement lookup(db.handle(), kCallLookup);
    if (!lookup.isPrepared())
        return std::nullopt;
    lookup.bind(1, call);
    const int rc = lookup.step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        return std::nullopt;
    return lookup.columnInt(0);
}

std::optional<int> ProgramDb::FindEntityByPrefix(const QString &text)
{
    SlotConnection db(m_dbProgram, location());
    if (!db.isOpen())
        return std::nullopt;
    // One read transaction for all the statements: one lock instead of one per query.
    SqliteTransaction snapshot(db.handle());
    QByteArray prefix;
    {
        SqliteStatement count(db.handle(), kPrefixCount);
        if (!count.isPrepared())
            return std::nullopt;
        prefix = longestUniquePrefix(count, CodePage::toAnsi(text));
    }
    SqliteStatement lookup(db.handle(), kPrefixLookup);
    if (!lookup.isPrepared())
        return std::nullopt;
    lookup.bind(1, prefix);
    const int rc = lookup.step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        return std::nullopt;
    return lookup.columnInt(0);
}

bool ProgramDb::GetCountryInfo(QList<UM_COUNTRYINFO> &list, int dxccId, const QString &call)
{
    list.clear();
    UM_COUNTRYINFO info;
    SlotConnection db(m_dbProgram, location());
    if (!db.isOpen())
        return false;
    SqliteTransaction snapshot(db.handle());
    {
        SqliteStatement countries(db.handle(), kCountryInfo);
        if (!countries.isPrepared())
            return false;
        countries.bind(1, dxccId);
        // Every row is read into the record, so the last one wins.
        if (!countries.forEachRow([&info](SqliteStatement &row) { readCountry(row, info); }))
            return false;
    }
    // The whole call, suffixes and separators included: the call's own zones first,
    // then those of its prefix, which therefore win.
    const QByteArray ansiCall = CodePage::toAnsi(call);
    {
        SqliteStatement callLookup(db.handle(), kCallLookup);
        if (!callLookup.isPrepared())
            return false;
        applyZones(callLookup, ansiCall, info);
    }
    QByteArray prefix;
    {
        SqliteStatement count(db.handle(), kPrefixCount);
        if (!count.isPrepared())
            return false;
        prefix = longestUniquePrefix(count, ansiCall);
    }
    SqliteStatement prefixLookup(db.handle(), kPrefixLookup);
    if (!prefixLookup.isPrepared())
        return false;
    applyZones(prefixLookup, prefix, info);
    list.append(info);
    return true;
}

namespace {

const char kAllCalls[] = "SELECT CALL, DXCCID, CQZONE, ITUZONE FROM CALLS ORDER BY ROWID";
const char kAllPrefixes[] = "SELECT COUNTRYPREFIX, DXCCID, CQZONE, ITUZONE FROM PREFIXES ORDER BY ROWID";
const char kAllCountries[] =
    "SELECT ROWID, COUNTRYPREFIX, COUNTRY, DXCCID, CONTINENT, CQZONE, ITUZONE, LATITUDE, LONGITUDE, "
    "GMTDIFF FROM COUNTRIES WHERE COUNTRYPREFIX NOT LIKE '*%' ORDER BY ROWID";

bool readEntries(sqlite3 *db, const char *sql, QList<ProgramDb::ResolutionTables::Entry> &out)
{
    SqliteStatement statement(db, sql);
    if (!statement.isPrepared())
        return false;
    const bool complete = statement.forEachRow([&out](SqliteStatement &row) {
        out.append({row.columnBytes(0), row.columnInt(1), row.columnText(2), row.columnText(3)});
    });
    if (!complete)
        out.clear();
    return complete;
}

bool readCountries(sqlite3 *db, QList<ProgramDb::UM_COUNTRYINFO> &out)
{
    SqliteStatement statement(db, kAllCountries);
    if (!statement.isPrepared())
        return false;
    const bool complete = statement.forEachRow([&out](SqliteStatement &row) {
        ProgramDb::UM_COUNTRYINFO info;
        readCountry(row, info);
        out.append(info);
    });
    if (!complete)
        out.clear();
    return complete;
}

} // namespace

bool ProgramDb::LoadResolutionTables(ResolutionTables &tables)
{
    tables = ResolutionTables();
    SlotConnection db(m_dbProgram, location());
    if (!db.isOpen())
        return false;
    SqliteTransaction snapshot(db.handle());
    tables.callsRead = readEntries(db.handle(), kAllCalls, tables.calls);
    tables.prefixesRead = readEntries(db.handle(), kAllPrefixes, tables.prefixes);
    tables.countriesRead = readCountries(db.handle(), tables.countries);
    return true;
}

// Version 0: the base tables with the reference data, as the generator's scripts make them.
// 1: station profiles, the first one holding the grid location of version 0.
const DatabaseSchema &ProgramDb::Schema()
{
    static const DatabaseSchema schema({{1, [](sqlite3 *db) { return createStationProfiles(db); }}}, [](sqlite3 *db) {
        SqliteStatement count(db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                                  "('PARAMETERS', 'COUNTRIES')");
        return count.step() == SqliteStatement::kRow && count.columnInt(0) == 2;
    });
    return schema;
}

bool ProgramDb::createStationProfiles(sqlite3 *db)
{
    return SqliteStatement::exec(
        db, "CREATE TABLE STATIONPROFILES(ID INTEGER PRIMARY KEY, NAME TEXT NOT NULL);"
            "CREATE TABLE STATIONPROFILEFIELDS(PROFILE INTEGER NOT NULL, NAME TEXT NOT NULL, VALUE TEXT NOT NULL);"
            "INSERT INTO STATIONPROFILES(ID, NAME) VALUES (1, 'Home');"
            "INSERT INTO STATIONPROFILEFIELDS(PROFILE, NAME, VALUE) SELECT 1, 'MY_GRIDSQUARE', VALUE FROM PARAMETERS "
            "WHERE PARAMETER = 'gridlocator' AND VALUE != '';"
            "INSERT OR IGNORE INTO PARAMETERS(PARAMETER, VALUE) VALUES ('stationprofile', '1')");
}

bool ProgramDb::LoadStationProfiles(QList<StationProfile> &profiles, qint32 &activeId)
{
    profiles.clear();
    SlotConnection db(m_dbProgram, location());
    if (!db.isOpen())
        return false;
    SqliteTransaction snapshot(db.handle());
    SqliteStatement names(db.handle(), "SELECT ID, NAME FROM STATIONPROFILES ORDER BY ID");
    SqliteStatement values(db.handle(), "SELECT PROFILE, NAME, VALUE FROM STATIONPROFILEFIELDS");
    SqliteStatement active(db.handle(), kGetParameter);
    if (!names.isPrepared() || !values.isPrepared() || !active.isPrepared())
        return false;
    if (!names.forEachRow([&profiles](SqliteStatement &row) {
            StationProfile profile;
            profile.id = row.columnInt(0);
            profile.name = row.columnText(1);
            profiles.append(profile);
        }))
        return false;
    const bool read = values.forEachRow([&profiles](SqliteStatement &row) {
        for (StationProfile &profile : profiles) {
            if (profile.id == row.columnInt(0))
                profile.setValue(row.columnBytes(1), row.columnText(2));
        }
    });
    active.bind(1, QByteArray("stationprofile"));
    const int rc = active.step();
    activeId = rc == SQLITE_ROW ? active.columnInt(0) : 0;
    if (!profiles.isEmpty() && std::none_of(profiles.cbegin(), profiles.cend(),
                                            [activeId](const StationProfile &p) { return p.id == activeId; }))
        activeId = profiles.first().id;
    return read;
}

bool ProgramDb::SaveStationProfiles(const QList<StationProfile> &profiles, int activeIndex)
{
    SlotConnection db(m_dbProgram, location());
    if (!db.isOpen())
        return false;
    SqliteTransaction transaction(db.handle(), SqliteTransaction::Kind::Write);
    if (!transaction.isActive()
        || !SqliteStatement::exec(db.handle(), "DELETE FROM STATIONPROFILES; DELETE FROM STATIONPROFILEFIELDS;"))
        return false;
    qint32 activeId = 0;
    for (qsizetype i = 0; i < profiles.size(); ++i) {
        const StationProfile &profile = profiles.at(i);
        SqliteStatement insert(db.handle(), "INSERT INTO STATIONPROFILES(ID, NAME) VALUES (?, ?)");
        if (profile.id > 0)
            insert.bind(1, profile.id);
        insert.bind(2, profile.name);
        if (!insert.run())
            return false;
        const qint64 id = sqlite3_last_insert_rowid(db.handle());
        if (i == activeIndex)
            activeId = static_cast<qint32>(id);
        for (qsizetype f = 0; f < StationProfile::fields().size(); ++f) {
            if (profile.values.value(f).isEmpty())
                continue;
            SqliteStatement field(db.handle(), "INSERT INTO STATIONPROFILEFIELDS(PROFILE, NAME, VALUE) VALUES (?, ?, ?)");
            field.bind(1, id);
            field.bind(2, QByteArray(StationProfile::fields().at(f).adifName));
            field.bind(3, profile.values.at(f));
            if (!field.run())
                return false;
        }
    }
    SqliteStatement active(db.handle(), "INSERT OR REPLACE INTO PARAMETERS(PARAMETER, VALUE) VALUES ('stationprofile', ?)");
    active.bind(1, QString::number(activeId));
    return active.run() && transaction.commit();
}

QString ProgramDb::lastError() const
{
    return StoreLog::lastFailure();
}
