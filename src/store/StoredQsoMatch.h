#pragma once

#include <QByteArray>

#include <memory>

class SqliteStatement;
struct QsoBytes;
struct sqlite3;

// Whether the logbook already holds a QSO that a new one repeats: the same call in any
// letter case, the same date, the same time to the minute, band and mode. One prepared
// statement on a connection the caller holds, asked once per QSO; it reads through the
// index on (DATE, TIME, CALL), so a question costs the same in any size of logbook.
class StoredQsoMatch
{
public:
    explicit StoredQsoMatch(sqlite3 *db);
    ~StoredQsoMatch();
    StoredQsoMatch(const StoredQsoMatch &) = delete;
    StoredQsoMatch &operator=(const StoredQsoMatch &) = delete;

    // False also when the question could not be asked (its failure is logged): the QSO
    // is then stored rather than lost.
    bool holds(const QsoBytes &qso);

    // The part of a stored time that is compared: hours and minutes.
    static QByteArray minuteOf(const QByteArray &time);

private:
    std::unique_ptr<SqliteStatement> m_query;
    QByteArray m_minute;
    QByteArray m_minuteEnd;
};
