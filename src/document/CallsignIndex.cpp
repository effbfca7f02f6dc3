#include "CallsignIndex.h"

#include "CallsignResolution.h"
#include "platform/CodePage.h"
#include "store/SlotConnection.h"
#include "store/SqliteStatement.h"

#include <QMutex>
#include <QMutexLocker>

#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

namespace {

// What tells one state of a database file from another: the file itself, its size, its
// modification time, and SQLite's data version on a connection kept open for it, which
// every write transaction of another connection or program changes, also one that
// leaves size and time as they were. (The file is not read directly: closing any
// descriptor of it would end the locks of this process's other connections to it.)
struct FileState
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    qint64 dataVersion = -1;

    bool operator==(const FileState &other) const
    {
        return exists == other.exists && device == other.device && inode == other.inode && size == other.size
            && modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec
            && dataVersion == other.dataVersion;
    }

    static FileState of(const char *path)
    {
        FileState state;
        struct stat info{};
        if (::stat(path, &info) != 0)
            return state;
        state.exists = true;
        state.device = info.st_dev;
        state.inode = info.st_ino;
        state.size = info.st_size;
        state.modified = info.st_mtim;
        state.dataVersion = dataVersionOf(path, state);
        return state;
    }

    // The connection follows the file: a file put in the place of another gets a new one.
    static qint64 dataVersionOf(const char *path, const FileState &state)
    {
        static sqlite3 *watcher = nullptr;
        static dev_t device = 0;
        static ino_t inode = 0;
        if (watcher && (device != state.device || inode != state.inode)) {
            sqlite3_close(watcher);
            watcher = nullptr;
        }
        if (!watcher && !SlotConnection::openFile(QByteArray(path), SlotConnection::Mode::ReadOnly, watcher))
            return -1;
        device = state.device;
        inode = state.inode;
        SqliteStatement version(watcher, "PRAGMA data_version");
        return version.step() == SqliteStatement::kRow ? version.columnInt64(0) : -1;
    }
};

} // namespace

std::shared_ptr<const CallsignIndex> CallsignIndex::current()
{
    static QMutex mutex;
    static FileState loadedState;
    static std::shared_ptr<const CallsignIndex> loaded;
    const QMutexLocker lock(&mutex);
    const FileState state = FileState::of(ProgramDb::kProgramDatabase);
    if (!loaded || !(state == loadedState)) {
        ProgramDb::ResolutionTables tables;
        if (state.exists)
            ProgramDb().LoadResolutionTables(tables);
        loaded = std::make_shared<const CallsignIndex>(tables);
        loadedState = state;
    }
    return loaded;
}

CallsignIndex::CallsignIndex(const ProgramDb::ResolutionTables &tables)
    : m_calls(tableOf(tables.calls))
    , m_prefixes(tableOf(tables.prefixes))
    , m_callsRead(tables.callsRead)
    , m_prefixesRead(tables.prefixesRead)
    , m_countriesRead(tables.countriesRead)
{
    // Every row is read into the record of its entity, so the last one wins.
    for (const ProgramDb::UM_COUNTRYINFO &country : tables.countries)
        m_countries.insert(country.dxccId, country);
    for (auto prefix = m_prefixes.keyBegin(); prefix != m_prefixes.keyEnd(); ++prefix)
        m_longestPrefix = std::max(m_longestPrefix, prefix->size());
}

CallsignIndex::Table CallsignIndex::tableOf(const QList<ProgramDb::ResolutionTables::Entry> &rows)
{
    Table table;
    table.reserve(rows.size());
    for (const ProgramDb::ResolutionTables::Entry &row : rows) {
        Entry &entry = table[row.key];
        if (entry.rows++ == 0) {
            entry.dxccId = row.dxccId;
            entry.cqZone = row.cqZone;
            entry.ituZone = row.ituZone;
        }
    }
    return table;
}

int CallsignIndex::entityOfCall(const QString &call) const
{
    const auto found = m_calls.constFind(CodePage::toAnsi(call));
    return found == m_calls.constEnd() ? 0 : found->dxccId;
}

// The entry of the longest leading part of `text` that stands in exactly one row, or,
// when none does, of the empty text (which a table may hold). The search starts at the
// length of the longest prefix: a text of a million characters takes as few lookups as
// a real call, not a million lookups of up to a million characters each.
const CallsignIndex::Entry *CallsignIndex::longestUniquePrefix(const QByteArray &text) const
{
    for (qsizetype length = std::min(text.size(), m_longestPrefix); length > 0; --length) {
        const auto found = m_prefixes.constFind(QByteArray::fromRawData(text.constData(), length));
        if (found != m_prefixes.constEnd() && found->rows == 1)
            return &*found;
    }
    const auto empty = m_prefixes.constFind(QByteArray());
    return empty == m_prefixes.constEnd() ? nullptr : &*empty;
}

int CallsignIndex::entityOfPrefix(const QString &text) const
{
    const Entry *entry = longestUniquePrefix(CodePage::toAnsi(text));
    return entry ? entry->dxccId : 0;
}

void CallsignIndex::applyZones(const Entry *entry, ProgramDb::UM_COUNTRYINFO &info)
{
    if (!entry)
        return;
    if (!entry->cqZone.isEmpty())
        info.cqZone = entry->cqZone;
    if (!entry->ituZone.isEmpty())
        info.ituZone = entry->ituZone;
}

bool CallsignIndex::countryInfo(int dxccId, const QString &call, ProgramDb::UM_COUNTRYINFO &info) const
{
    info = m_countries.value(dxccId);
    if (!m_countriesRead || !m_callsRead || !m_prefixesRead)
        return false;
    // The whole zone call, suffixes and separators included: its own zones first, then
    // those of its prefix, which therefore win.
    const QByteArray ansiCall = CodePage::toAnsi(CallsignResolution::resolveWithZoneCall(call, *this).zoneCall);
    const auto exact = m_calls.constFind(ansiCall);
    applyZones(exact == m_calls.constEnd() ? nullptr : &*exact, info);
    applyZones(longestUniquePrefix(ansiCall), info);
    return true;
}

int CallsignIndex::resolve(const QString &call) const
{
    return CallsignResolution::resolve(call, *this);
}

// Without a separator neither a suffix nor a prefix in front of the call applies: the
// call's own entry, else its longest unique prefix, exactly as resolve() decides.
int CallsignIndex::resolveStored(const QByteArray &call) const
{
    if (call.contains('/') || call.contains('\\') || call.contains('-'))
        return resolve(CodePage::fromAnsi(call));
    const auto exact = m_calls.constFind(call);
    if (exact != m_calls.constEnd() && exact->dxccId >= 1)
        return exact->dxccId;
    const Entry *prefix = longestUniquePrefix(call);
    return prefix ? prefix->dxccId : 0;
}

bool CallsignIndex::cqZone(int dxccId, const QByteArray &call, QString &zone) const
{
    zone = m_countries.value(dxccId).cqZone;
    if (!m_countriesRead || !m_callsRead || !m_prefixesRead)
        return false;
    // Only a call with a separator can have a zone call of its own.
    const QByteArray zoneCall = call.contains('/')
        ? CodePage::toAnsi(CallsignResolution::resolveWithZoneCall(CodePage::fromAnsi(call), *this).zoneCall)
        : call;
    const auto exact = m_calls.constFind(zoneCall);
    for (const Entry *entry : {exact == m_calls.constEnd() ? nullptr : &*exact, longestUniquePrefix(zoneCall)}) {
        if (entry && !entry->cqZone.isEmpty())
            zone = entry->cqZone;
    }
    return true;
}
