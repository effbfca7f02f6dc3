#pragma once

#include "StationProfile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

struct sqlite3;
class DatabaseSchema;

// The store of the program database "korva3.sqlite3", opened by its relative name in the
// current folder unless a folder was chosen with useFolder: the station parameters, the code lists, the QSL managers and the
// tables call-sign resolution reads. As the logbook store does, every operation opens
// the file, runs its statements and closes it before it returns (unless a
// ProgramDatabaseSession holds it open), binds every value as a parameter, and reports
// failure by its result; the failure is logged under korva3.store with SQLite's
// message, which lastError() keeps. Reading never creates the file.
class ProgramDb
{
public:
    // One entry of a code list: the stored code and the text shown.
    struct UM_COMBOBOX
    {
        qint32 id = 0;
        QString text;
    };

    // One COUNTRIES row with the zones of the resolved call.
    struct UM_COUNTRYINFO
    {
        qint32 rowId = 0;
        QString countryPrefix;
        QString country;
        qint32 dxccId = 0;
        QString continent;
        QString cqZone;
        QString ituZone;
        double latitude = 0.0;
        double longitude = 0.0;
        double gmtDiff = 0.0;
    };

    // The rows of the program database that call-sign resolution reads, in row id order:
    // CALLS, PREFIXES, and the COUNTRIES rows that are entities (prefix not starting
    // with "*"). A table that could not be read completely is marked so and left empty.
    struct ResolutionTables
    {
        // One CALLS or PREFIXES row: the call or prefix as stored (Windows-1252 bytes),
        // its entity and its zone overrides (empty for none).
        struct Entry
        {
            QByteArray key;
            qint32 dxccId = 0;
            QString cqZone;
            QString ituZone;
        };
        QList<Entry> calls;
        QList<Entry> prefixes;
        QList<UM_COUNTRYINFO> countries;
        bool callsRead = false;
        bool prefixesRead = false;
        bool countriesRead = false;
    };

    static constexpr const char *kProgramDatabase = "korva3.sqlite3";
    // The path every operation opens: kProgramDatabase by its relative name, or in the
    // folder given to useFolder. An empty folder returns to the current one. Chosen once
    // at start-up, before any operation (korva3-cli chooses Korva3's home folder when
    // the current one has none).
    static QString location();
    static void useFolder(const QString &folder);
    // The code lists of the program database.
    static constexpr const char *kModesQuery = "SELECT MODENR, MODE FROM MODES";
    static constexpr const char *kQslSentQuery = "SELECT QSLNR, QSL FROM QSLSENT";
    static constexpr const char *kQslRcvdQuery = "SELECT QSLNR, QSL FROM QSLRCVD";
    static constexpr const char *kCountriesQuery = "SELECT DXCCID, COUNTRY FROM COUNTRIES";

    // The versions of the program database's tables and the migrations between them.
    static const DatabaseSchema &Schema();

    ProgramDb() = default;
    ProgramDb(const ProgramDb &) = delete;
    ProgramDb &operator=(const ProgramDb &) = delete;

    // A parameter's stored bytes (empty for a parameter that is not there); nothing when
    // the program database cannot be read.
    std::optional<QByteArray> GetParameter(const QByteArray &name);
    bool SetParameter(const QString &name, const QString &value);

    // The station profiles in the order they were made, and the active one's id (the
    // first profile's when none is chosen); false when they cannot be read.
    bool LoadStationProfiles(QList<StationProfile> &profiles, qint32 &activeId);
    // Replaces the stored profiles by these (a profile of id 0 gets one) and makes the
    // one at `activeIndex` active, in one transaction.
    bool SaveStationProfiles(const QList<StationProfile> &profiles, int activeIndex);

    // Reference lists; `list` stays empty on failure.
    bool LoadCodeList(QList<UM_COMBOBOX> &list, const char *query);
    // The QSL manager of a call (empty when it has none); nothing when the lookup failed.
    std::optional<QString> GetQslManager(const QString &call);

    // Call-sign resolution against the program database, as the in-memory index of the
    // document does it. Texts compare byte for byte, so callers pass upper-case calls.
    // The entity of a call listed on its own in CALLS (0 when none is).
    std::optional<int> FindEntityByCall(const QString &call);
    // The entity of the longest leading part of text that stands exactly once in
    // PREFIXES (0 when none does).
    std::optional<int> FindEntityByPrefix(const QString &text);
    // Empties list and appends the COUNTRIES record of the entity, its zones replaced
    // by those of the call's CALLS row and then of its longest unique prefix where
    // those are known. The list stays empty when the program database fails.
    bool GetCountryInfo(QList<UM_COUNTRYINFO> &list, int dxccId, const QString &call);
    // The three tables resolution reads, in one snapshot of the program database; false
    // when it cannot be opened.
    bool LoadResolutionTables(ResolutionTables &tables);

    // SQLite's message for the latest failure of a store operation on this thread.
    QString lastError() const;

private:
    friend class ProgramDatabaseSession;

    static bool createStationProfiles(sqlite3 *db);

    sqlite3 *m_dbProgram = nullptr;
};
