#include "SoakFault.h"

#include "LogbookCheck.h"
#include "faults/FileSizeLimit.h"
#include "faults/HeldLock.h"
#include "store/SlotConnection.h"

#include <QFileInfo>


namespace {

const char *const kEvents[] = {"INSERT", "UPDATE", "DELETE"};
const char *const kTables[] = {"QSOS", "DXCCREPORT"};

template <typename T, std::size_t N>
T pick(T const (&items)[N], std::mt19937 &random)
{
    return items[std::uniform_int_distribution<std::size_t>(0, N - 1)(random)];
}

} // namespace

SoakFault::SoakFault(Kind kind, LogbookCheck &check, const QString &logbook, bool wal, std::mt19937 &random)
    : m_kind(kind)
    , m_check(check)
    , m_wal(wal)
{
    const int pastTimeoutMs = 3 * SlotConnection::kBusyTimeoutMs;
    switch (kind) {
    case Kind::None:
        m_setUp = true;
        break;
    case Kind::RefusingTrigger: {
        const char *event = pick(kEvents, random);
        const char *table = pick(kTables, random);
        m_setUp = m_check.refuse(event, table);
        m_description = QStringLiteral("a trigger refusing %1 on %2").arg(QLatin1String(event), QLatin1String(table));
        break;
    }
    case Kind::FileSizeLimit: {
        // The logbook may grow by a few pages at most; the journal, a file of its own,
        // starts empty and stays below the limit.
        const qint64 slack = std::uniform_int_distribution<qint64>(0, 16 * 1024)(random);
        m_limit = std::make_unique<FileSizeLimit>(rlim_t(QFileInfo(logbook).size() + slack),
                                                  FileSizeLimit::Signal::AsTheProcessHasIt);
        m_setUp = m_limit->isActive();
        m_description = QStringLiteral("a file size limit %1 bytes above the logbook's size").arg(slack);
        break;
    }
    case Kind::LockLetGoSoon: {
        const int ms = std::uniform_int_distribution<int>(1, 30)(random);
        m_lock = std::make_unique<HeldLock>(logbook);
        m_setUp = m_lock->isHeld();
        m_lock->releaseLater(ms);
        m_description = QStringLiteral("a write lock let go after %1 ms").arg(ms);
        break;
    }
    case Kind::LockHeldPastTimeout:
        m_lock = std::make_unique<HeldLock>(logbook);
        m_setUp = m_lock->isHeld();
        m_lock->releaseLater(pastTimeoutMs);
        m_description = QStringLiteral("a write lock held past the busy timeout");
        break;
    case Kind::ReaderLetGoSoon: {
        const int ms = std::uniform_int_distribution<int>(1, 3000)(random);
        m_lock = std::make_unique<HeldLock>(logbook, HeldLock::Kind::Read);
        m_setUp = m_lock->isHeld();
        m_lock->releaseLater(ms);
        m_description = QStringLiteral("a read transaction let go after %1 ms").arg(ms);
        break;
    }
    case Kind::ReaderHeldPastTimeout:
        m_lock = std::make_unique<HeldLock>(logbook, HeldLock::Kind::Read);
        m_setUp = m_lock->isHeld();
        m_lock->releaseLater(pastTimeoutMs);
        m_description = QStringLiteral("a read transaction held past the busy timeout");
        break;
    }
}

SoakFault::~SoakFault()
{
    if (m_kind == Kind::RefusingTrigger && m_setUp)
        m_check.dropRefusal();
}

bool SoakFault::mayFailWrites() const
{
    switch (m_kind) {
    case Kind::None:
    case Kind::LockLetGoSoon:
    case Kind::ReaderLetGoSoon: return false;
    case Kind::ReaderHeldPastTimeout: return m_setUp && !m_wal;
    case Kind::RefusingTrigger:
    case Kind::FileSizeLimit:
    case Kind::LockHeldPastTimeout: break;
    }
    return m_setUp;
}

bool SoakFault::holdsTheLogbook() const
{
    return mayFailWrites() && (m_kind == Kind::LockHeldPastTimeout || m_kind == Kind::ReaderHeldPastTimeout);
}

bool SoakFault::stillHeld() const
{
    return !(m_kind == Kind::LockHeldPastTimeout || m_kind == Kind::ReaderHeldPastTimeout) || m_lock->isHeld();
}

const char *SoakFault::kindName(Kind kind)
{
    switch (kind) {
    case Kind::None: return "none";
    case Kind::RefusingTrigger: return "refusing trigger";
    case Kind::FileSizeLimit: return "file size limit";
    case Kind::LockLetGoSoon: return "lock let go soon";
    case Kind::LockHeldPastTimeout: return "lock held past timeout";
    case Kind::ReaderLetGoSoon: return "reader let go soon";
    case Kind::ReaderHeldPastTimeout: return "reader held past timeout";
    }
    return "";
}
