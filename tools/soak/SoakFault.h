#pragma once

#include <QString>

#include <memory>
#include <random>

class FileSizeLimit;
class HeldLock;
class LogbookCheck;

// One write failure set up around a step of the soak run, undone when the object goes:
// a trigger that refuses a write, a limit on the size of files (SIGXFSZ left as the
// program has it), a write lock held by another connection (let go within the busy
// timeout, or held past it), or another connection's read transaction (let go within
// the timeout, or held three times as long).
class SoakFault
{
public:
    enum class Kind {
        None,
        RefusingTrigger,
        FileSizeLimit,
        LockLetGoSoon,
        LockHeldPastTimeout,
        ReaderLetGoSoon,
        ReaderHeldPastTimeout,
    };
    static constexpr int kKinds = 7;

    // `wal`: the logbook is in WAL mode, where readers block no write.
    SoakFault(Kind kind, LogbookCheck &check, const QString &logbook, bool wal, std::mt19937 &random);
    ~SoakFault();
    SoakFault(const SoakFault &) = delete;
    SoakFault &operator=(const SoakFault &) = delete;

    Kind kind() const { return m_kind; }
    // False when the fault could not be set up (the step then runs without it).
    bool isSetUp() const { return m_setUp; }
    // Whether a write may fail under it: a lock let go within the busy timeout must not
    // make anything fail, nor a reader of a logbook in WAL mode.
    bool mayFailWrites() const;
    // Whether a write that fails under it is to say that another program holds the
    // logbook.
    bool holdsTheLogbook() const;
    // False when a lock held past the busy timeout was let go before the step ended:
    // the step waited for it longer than the timeout.
    bool stillHeld() const;
    QString description() const { return m_description; }
    static const char *kindName(Kind kind);

private:
    Kind m_kind;
    LogbookCheck &m_check;
    bool m_wal;
    bool m_setUp = false;
    QString m_description;
    std::unique_ptr<FileSizeLimit> m_limit;
    std::unique_ptr<HeldLock> m_lock;
};
