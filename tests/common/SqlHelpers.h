#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QVariant>

#include <sqlite3.h>

// Direct SQLite access for tests: set up files and look at what the code wrote,
// without going through the code under test.
namespace SqlHelpers {

inline bool exec(const QString &path, const QByteArray &sql)
{
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK;
    if (ok) {
        char *message = nullptr;
        ok = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK;
        sqlite3_free(message);
    }
    sqlite3_close(db);
    return ok;
}

// A database whose header asks for a newer writer is read-only for SQLite, also for a
// user who may write any file; the usual writer version (1) makes it writable again.
inline bool setReadOnly(const QString &path, bool readOnly)
{
    QFile header(path);
    return header.open(QIODevice::ReadWrite) && header.seek(18) && header.write(readOnly ? "\x03" : "\x01", 1) == 1;
}

// All rows of a query, each row's columns joined by '|' (NULL as "NULL"), rows by '\n'.
inline QByteArray rows(const QString &path, const QByteArray &sql)
{
    sqlite3 *db = nullptr;
    QByteArray out = "<error>";
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) == SQLITE_OK) {
            out.clear();
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                if (!out.isEmpty())
                    out += '\n';
                for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                    if (c > 0)
                        out += '|';
                    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, c));
                    out += text ? QByteArray(text, sqlite3_column_bytes(stmt, c)) : QByteArray("NULL");
                }
            }
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return out;
}

inline int count(const QString &path, const QByteArray &table)
{
    return rows(path, "SELECT COUNT(*) FROM " + table).toInt();
}

} // namespace SqlHelpers
