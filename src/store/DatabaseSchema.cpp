#include "DatabaseSchema.h"

#include "DatabaseBackup.h"
#include "SlotConnection.h"
#include "SqliteStatement.h"
#include "SqliteTransaction.h"
#include "StoreLog.h"

#include <QFileInfo>

#include <sqlite3.h>

DatabaseSchema::DatabaseSchema(QList<Migration> migrations, std::function<bool(sqlite3 *)> isOwnKind)
    : m_migrations(std::move(migrations))
    , m_isOwnKind(std::move(isOwnKind))
{
}

int DatabaseSchema::currentVersion() const
{
    return m_migrations.isEmpty() ? 0 : m_migrations.last().version;
}

int DatabaseSchema::userVersion(sqlite3 *db)
{
    SqliteStatement version(db, "PRAGMA user_version");
    return version.step() == SqliteStatement::kRow ? version.columnInt(0) : -1;
}

bool DatabaseSchema::setUserVersion(sqlite3 *db, int version)
{
    return SqliteStatement::exec(db, QByteArray("PRAGMA user_version = " + QByteArray::number(version)).constData());
}

QString DatabaseSchema::backupPath(const QString &path, int version)
{
    return path + QStringLiteral(".v%1.bak").arg(version);
}

DatabaseSchema::State DatabaseSchema::inspect(const QString &path, int *version) const
{
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, path, SlotConnection::Mode::ReadOnly);
    if (!db.isOpen())
        return State::Unreadable;
    const int found = userVersion(db.handle());
    if (version)
        *version = found;
    if (found < 0)
        return State::Unreadable;
    if (!m_isOwnKind(db.handle()))
        return State::Foreign;
    if (found > currentVersion())
        return State::Newer;
    return found == currentVersion() ? State::Current : State::Older;
}

bool DatabaseSchema::migrate(const QString &path, int fromVersion, QString *error) const
{
    const QString copy = backupPath(path, fromVersion);
    if (!DatabaseBackup::copy(path, copy, {}, error) || !applyMigrations(path, fromVersion, error))
        return false;
    qCInfo(lcStore).noquote() << "migrated" << path << "from version" << fromVersion << "to" << currentVersion()
                              << "after a copy in" << copy;
    return true;
}

bool DatabaseSchema::applyMigrations(const QString &path, int fromVersion, QString *error) const
{
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, path);
    SqliteTransaction transaction(db.handle(), SqliteTransaction::Kind::Write);
    bool migrated = db.isOpen() && transaction.isActive() && userVersion(db.handle()) == fromVersion;
    for (const Migration &migration : m_migrations) {
        if (migrated && migration.version > fromVersion)
            migrated = migration.apply(db.handle()) && setUserVersion(db.handle(), migration.version);
    }
    if (migrated && transaction.commit())
        return true;
    if (error)
        *error = StoreLog::lastFailure();
    return false;
}
