#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <memory>

class SqliteStatement;
struct QsoBytes;
struct sqlite3;

// Whether the logbook already holds a QSO that a new one repeats: the same call in any
// letter case, the same date, the same time to the minute, band and mode. Prepared
// statements on a connection the caller holds, asked once per QSO: the logbook through
// its index on (DATE, TIME, CALL), so a question costs the same in any size of logbook,
// or one row by its row id.
class StoredQsoMatch
{
public:
    explicit StoredQsoMatch(sqlite3 *db);
    ~StoredQsoMatch();
    StoredQsoMatch(const StoredQsoMatch &) = delete;
    StoredQsoMatch &operator=(const StoredQsoMatch &) = delete;

    // Both are false also when the question could not be asked (its failure is logged):
    // the QSO is then stored rather than lost.
    bool holds(const QsoBytes &qso);
    bool isRow(const QsoBytes &qso, qint64 rowId);

    // The part of a stored time that is compared: hours and minutes.
    static QByteArrayView minuteOf(QByteArrayView time);

private:
    bool ask(SqliteStatement &query, const QsoBytes &qso);

    sqlite3 *m_db;
    std::unique_ptr<SqliteStatement> m_any;
    std::unique_ptr<SqliteStatement> m_row;
    QByteArray m_minute;
    QByteArray m_minuteEnd;
};
