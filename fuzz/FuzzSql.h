#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <QString>

struct sqlite3;

// What the fuzz targets read back from a database, straight through SQLite's C API, so
// that the checks do not go through the code they check.
namespace FuzzSql {

using Rows = QList<QByteArrayList>;

// Every row of the query, each value as its stored bytes ("NULL" for a null). Stops the
// run when the query cannot be prepared or run.
Rows rows(sqlite3 *db, const char *sql);
// The rows as one text, a row a line and "|" between values, for the failure message.
QByteArray text(const Rows &rows);

// A connection to the file, stopping the run when it cannot be opened.
sqlite3 *open(const QString &path);

} // namespace FuzzSql
