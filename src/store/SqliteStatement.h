#pragma once

#include <QByteArray>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement, finalized when the object goes. Text goes in as UTF-8 and
// comes out as UTF-8 when the stored bytes are valid UTF-8, else as Windows-1252 (text
// stored before the logbooks held UTF-8); SQLite copies every bound text. A prepare or a
// step that fails is logged under korva3.store with SQLite's message, which
// lastError() keeps.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3 *db, const char *sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    bool isPrepared() const { return m_stmt != nullptr; }
    // SQLite's message for the last failure of this statement; empty when none failed.
    const QString &lastError() const { return m_lastError; }

    // SQLITE_ROW and SQLITE_DONE, for callers that do not include sqlite3.h.
    static const int kRow;
    static const int kDone;

    // Parameters are numbered from 1.
    void bind(int index, int value);
    void bind(int index, qint64 value);
    void bind(int index, const QString &text);
    void bind(int index, const QByteArray &bytes);
    // Binds the bytes without SQLite's copy: they must stay unchanged until the
    // statement has run and been reset, or the parameter is bound again.
    void bindStatic(int index, const QByteArray &bytes);

    // SQLITE_ROW, SQLITE_DONE or an error code.
    int step();
    // Makes the statement ready to run again; bindings stay until they are replaced.
    void reset();
    // Steps a statement that returns no rows; true when it ran to its end.
    bool run();

    // Columns of the current row, numbered from 0. NULL, or no current row (the last
    // step gave no row), reads as 0 or as an empty text.
    int columnInt(int column) const;
    qint64 columnInt64(int column) const;
    double columnDouble(int column) const;
    QByteArray columnBytes(int column) const;
    QString columnText(int column) const;
    // The column's bytes without a copy; valid until the next step.
    QByteArray columnRawBytes(int column) const;

    // Steps the statement and hands each row to `row`; true when the rows ran to their
    // end, false when a step failed.
    template <typename RowFunction>
    bool forEachRow(RowFunction row)
    {
        int rc;
        while ((rc = step()) == kRow)
            row(*this);
        return rc == kDone;
    }

    // Runs statements that return no rows with sqlite3_exec; SQLite's own message is
    // logged and released, never shown. True when all of them ran.
    static bool exec(sqlite3 *db, const char *sql);

private:
    void failed(const char *what, const QByteArray &statement);

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    bool m_hasRow = false;
    QString m_lastError;
};
