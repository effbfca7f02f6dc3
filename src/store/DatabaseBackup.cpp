#include "DatabaseBackup.h"

#include "SlotConnection.h"
#include "SqliteStatement.h"
#include "StoreLog.h"

#include <QFile>

#include <sqlite3.h>

namespace DatabaseBackup {

namespace {

// Pages copied per step: small enough for the progress to move and for other programs
// to write between steps, large enough that a big logbook takes few steps.
constexpr int kPagesPerStep = 2048;
// A logbook written to all the time would restart a stepwise copy for ever; after this
// many restarts the rest is copied in one step, holding the read lock until it ends.
constexpr int kRestartsBeforeOneStep = 3;

bool failed(QString *error, const QString &reason)
{
    qCWarning(lcStore).noquote() << "backup failed:" << reason;
    StoreLog::noteFailure(reason);
    if (error)
        *error = reason;
    return false;
}

// Steps the backup to its end; SQLite's result code of the last step.
int runSteps(sqlite3_backup *backup, const std::function<void(int)> &progress)
{
    int restarts = 0;
    int lastRemaining = -1;
    int rc = SQLITE_OK;
    while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        const bool oneStep = restarts >= kRestartsBeforeOneStep;
        rc = sqlite3_backup_step(backup, oneStep ? -1 : kPagesPerStep);
        const int remaining = sqlite3_backup_remaining(backup);
        const int total = sqlite3_backup_pagecount(backup);
        if (lastRemaining >= 0 && remaining > lastRemaining)
            ++restarts;
        lastRemaining = remaining;
        if (progress && total > 0)
            progress(static_cast<int>((static_cast<qint64>(total) - remaining) * 100 / total));
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
            sqlite3_sleep(50); // another program writes: let it finish
    }
    return rc;
}

// The pages of `source` into the new file `partial`; both are closed when it returns.
bool copyPages(const QString &source, const QString &partial, const std::function<void(int)> &progress,
               QString &reason)
{
    sqlite3 *from = nullptr;
    sqlite3 *to = nullptr;
    SlotConnection sourceConnection(from, source, SlotConnection::Mode::ReadOnly);
    if (!sourceConnection.isOpen()) {
        reason = QStringLiteral("%1 cannot be read").arg(source);
        return false;
    }
    SlotConnection targetConnection(to, partial, SlotConnection::Mode::Create);
    if (!targetConnection.isOpen()) {
        reason = QStringLiteral("%1 cannot be written").arg(partial);
        return false;
    }
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup) {
        reason = QString::fromUtf8(sqlite3_errmsg(to));
        return false;
    }
    runSteps(backup, progress);
    const int rc = sqlite3_backup_finish(backup);
    if (rc != SQLITE_OK) {
        reason = QString::fromUtf8(sqlite3_errstr(rc));
        return false;
    }
    // The pages of a logbook in WAL mode mark the copy so too; as one plain file it
    // opens anywhere, from read-only media as well.
    if (!SqliteStatement::exec(to, "PRAGMA journal_mode=DELETE;")) {
        reason = QStringLiteral("%1 cannot be written").arg(partial);
        return false;
    }
    return true;
}

} // namespace

bool copy(const QString &source, const QString &target, const std::function<void(int)> &progress,
          QString *error)
{
    const QString partial = target + QStringLiteral(".part");
    QFile::remove(partial);
    QString reason;
    if (!copyPages(source, partial, progress, reason)) {
        QFile::remove(partial);
        return failed(error, reason);
    }
    // The copy is whole: only now does it take the target's name.
    QFile::remove(target);
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        return failed(error, QStringLiteral("%1 cannot be written").arg(target));
    }
    return true;
}

} // namespace DatabaseBackup
