#pragma once

#include <QList>
#include <QString>

#include <functional>

struct sqlite3;

// The version of a database's tables, kept in SQLite's `PRAGMA user_version`, and the
// numbered changes that bring an older database up to the version this program knows.
// Version 0 is a database made by the original statements. Before any change a complete
// copy of the file is written beside it (NAME.vN.bak, N the version it had), and all the
// changes run in one transaction that also sets the new version: a database is either
// wholly at its old version or wholly at the new one.
class DatabaseSchema
{
public:
    // One change: the version it brings the database to, and the work on a connection
    // inside the transaction.
    struct Migration
    {
        int version;
        std::function<bool(sqlite3 *)> apply;
    };

    enum class State {
        Current,    // at the version this program knows
        Older,      // needs the migrations from its version on
        Newer,      // made by a newer program: read, never written
        Foreign,    // an SQLite file without the tables of this kind of database
        Unreadable, // not an SQLite file, or it cannot be opened
    };

    // `isOwnKind` tells from a connection whether the file holds this kind's tables.
    DatabaseSchema(QList<Migration> migrations, std::function<bool(sqlite3 *)> isOwnKind);

    int currentVersion() const;
    // The file's state and version, read without writing anything.
    State inspect(const QString &path, int *version = nullptr) const;
    // The backup copy, then every migration above the file's version; false, with the
    // reason in `error` and the file as it was, when either failed.
    bool migrate(const QString &path, int fromVersion, QString *error) const;
    // The migrations alone, without the copy: for a database just made, which holds
    // nothing a copy would save.
    bool applyMigrations(const QString &path, int fromVersion, QString *error) const;
    // The path of the copy written before migrating from `version`.
    static QString backupPath(const QString &path, int version);

    // The version of the database open on `db`; -1 when it cannot be read.
    static int userVersion(sqlite3 *db);
    static bool setUserVersion(sqlite3 *db, int version);

private:
    QList<Migration> m_migrations;
    std::function<bool(sqlite3 *)> m_isOwnKind;
};
