#pragma once

#include "store/ProgramDb.h"
#include "store/Sqlite3DB.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <memory>

// The program database's CALLS, PREFIXES and COUNTRIES tables in memory, answering the
// lookups of call-sign resolution and the country information exactly as the store's
// queries on the tables do, in microseconds instead of a database round trip each.
class CallsignIndex
{
public:
    // The index of the program database at ProgramDb::location(): loaded on
    // first use, and again whenever the file is another one or has changed since (its
    // device, inode, size, modification time and SQLite change counter are checked on
    // every call). Without a readable file it knows nothing.
    static std::shared_ptr<const CallsignIndex> current();

    explicit CallsignIndex(const ProgramDb::ResolutionTables &tables);

    // The entity of a call listed on its own in CALLS, or 0.
    int entityOfCall(const QString &call) const;
    // The entity of the longest leading part of text that stands exactly once in
    // PREFIXES, or 0. It takes time in proportion to the text's length at most, however
    // long the text is.
    int entityOfPrefix(const QString &text) const;
    // The entity's COUNTRIES record (the last of its rows) with its zones replaced by
    // those of the CALLS row and then of the longest unique prefix of the call's zone
    // call (the call itself, or the call its call area digit makes, see
    // CallsignResolution::Resolution). False when the tables could not be read (the
    // store's query then gives no record).
    bool countryInfo(int dxccId, const QString &call, ProgramDb::UM_COUNTRYINFO &info) const;
    // The DXCC entity of a call, by the rules of CallsignResolution.
    int resolve(const QString &call) const;
    // The same for a call given as its stored bytes, as an import reads it: a call
    // without separators, the usual case, takes two table lookups and no conversion.
    int resolveStored(const QByteArray &call) const;
    // The CQ zone countryInfo() gives the call, without the rest of the record; false
    // when countryInfo() fails.
    bool cqZone(int dxccId, const QByteArray &call, QString &zone) const;

private:
    struct Entry
    {
        int rows = 0; // how many rows hold the key; the first one's values are kept
        qint32 dxccId = 0;
        QString cqZone;
        QString ituZone;
    };
    using Table = QHash<QByteArray, Entry>;

    static Table tableOf(const QList<ProgramDb::ResolutionTables::Entry> &rows);
    const Entry *longestUniquePrefix(const QByteArray &text) const;
    static void applyZones(const Entry *entry, ProgramDb::UM_COUNTRYINFO &info);

    Table m_calls;
    Table m_prefixes;
    // The length of PREFIXES' longest key: no longer leading part of a call can be one.
    qsizetype m_longestPrefix = 0;
    QHash<qint32, ProgramDb::UM_COUNTRYINFO> m_countries;
    bool m_callsRead = false;
    bool m_prefixesRead = false;
    bool m_countriesRead = false;
};
