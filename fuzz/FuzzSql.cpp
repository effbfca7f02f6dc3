#include "FuzzSql.h"

#include "FuzzCheck.h"

#include <QFile>

#include <sqlite3.h>

namespace FuzzSql {

Rows rows(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *statement = nullptr;
    fuzzCheck(sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK, "the check's query prepares",
              sqlite3_errmsg(db), sql);
    Rows out;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        QByteArrayList row;
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            if (sqlite3_column_type(statement, column) == SQLITE_NULL) {
                row.append(QByteArrayLiteral("NULL"));
                continue;
            }
            // column_blob gives the bytes as stored, a NUL inside a text included.
            const auto *bytes = static_cast<const char *>(sqlite3_column_blob(statement, column));
            row.append(QByteArray(bytes, sqlite3_column_bytes(statement, column)));
        }
        out.append(row);
    }
    sqlite3_finalize(statement);
    fuzzCheck(rc == SQLITE_DONE, "the check's query runs", sqlite3_errmsg(db), sql);
    return out;
}

QByteArray text(const Rows &rows)
{
    QByteArrayList lines;
    for (const QByteArrayList &row : rows)
        lines.append(row.join('|'));
    return lines.join('\n');
}

sqlite3 *open(const QString &path)
{
    sqlite3 *db = nullptr;
    const bool opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr)
                     == SQLITE_OK;
    fuzzCheck(opened, "the database opens", sqlite3_errmsg(db));
    return db;
}

} // namespace FuzzSql
