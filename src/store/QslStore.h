#pragma once

#include "Sqlite3DB.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

struct sqlite3;
class SqliteStatement;

// What a logbook keeps about confirmations, on a connection the caller holds (inside
// its transaction): the QSOs of a call as a confirmation is matched against them, the
// QSL states and what the services add as kept fields of QSOFIELDS, the confirmations
// that matched no QSO (UNMATCHEDQSLS), the QSOs waiting for Club Log (CLUBLOGOUTBOX), and
// named values such as the date each download goes on from (LOGBOOKSTATE).
//
// An object prepares each statement once and reuses it, so that a download of a hundred
// thousand confirmations pays for its SQL only once.
class QslStore
{
public:
    // The tables of logbook version 2, each made when missing.
    static const char *const kCreateTables;

    // One QSO as matching needs it.
    struct MatchQso
    {
        qint64 rowId = 0;
        QString call;
        QString date; // YYYY-MM-DD
        QString time; // HH:MM:SS
        QString band;
        qint32 mode = 0;
        QString adifMode;
        QString adifSubmode;
        QString satellite;
        QString propagation;
    };
    // The columns a confirmation reads or may fill.
    struct QsoState
    {
        qint32 qslRcvd = 0;
        qint32 country = 0;
        qint32 mode = 0;
        QByteArray band;
        QString cqZone;
        QString grid;
        QString iota;
    };
    // The columns of QSOS a confirmation fills where the operator left them empty.
    enum class Column { CqZone, Grid, Iota };

    struct Unmatched
    {
        qint64 id = 0;
        QString service;  // "LoTW", "eQSL"
        QString received; // when it was downloaded, "YYYY-MM-DD HH:MM:SS" UTC
        QString call;
        QString start;    // the QSO's start, "YYYY-MM-DD HH:MM:SS" UTC
        QString band;
        QString mode;
        QByteArray record; // the whole ADIF record as the service sent it, ending in <EOR>
    };

    enum class Action { SendQso = 1, DeleteQso = 2 };
    struct OutboxEntry
    {
        qint64 id = 0;
        Action action = Action::SendQso;
        qint64 qso = 0;  // the row to send as it is when sent; for a delete, the row it was
        QString call;    // for a delete: the QSO as Club Log knows it
        QString start;   // "YYYY-MM-DD HH:MM:SS" UTC
        QString band;
    };

    explicit QslStore(sqlite3 *db);
    ~QslStore();
    QslStore(const QslStore &) = delete;
    QslStore &operator=(const QslStore &) = delete;

    // Every QSO whose call is `call`, or `call` followed by "/" and more, in any letter
    // case (the portable suffixes the matcher ignores come that way).
    bool qsosOfCall(const QString &call, const std::function<void(const MatchQso &)> &qso);
    // Nothing when the QSO does not exist or cannot be read.
    std::optional<QsoState> qsoState(qint64 rowId);
    // The QSO's kept fields in their order (`out` emptied first).
    bool keptFields(qint64 rowId, QList<Sqlite3DB::UM_QSOFIELD> &out);
    // Replaces the kept field of that name (or adds it).
    bool setKept(qint64 rowId, const QByteArray &name, const QString &value);
    bool removeKept(qint64 rowId, const QByteArray &name);
    // Writes the column only when it is empty.
    bool fillColumn(qint64 rowId, Column column, const QString &value);

    // The list of confirmations that matched nothing. A confirmation listed already (the
    // same service, call, start, band and mode) is not listed twice.
    static bool keepUnmatched(sqlite3 *db, const Unmatched &confirmation);
    static bool readUnmatched(sqlite3 *db, QList<Unmatched> &out);
    static bool removeUnmatched(sqlite3 *db, qint64 id);

    static std::optional<qint64> appendOutbox(sqlite3 *db, const OutboxEntry &entry);
    static bool readOutbox(sqlite3 *db, QList<OutboxEntry> &out);
    static bool removeOutbox(sqlite3 *db, qint64 id);

    // A named value of the logbook; nothing when it has none (or no such table).
    static std::optional<QString> stateOf(sqlite3 *db, const QString &name);
    static bool setStateOf(sqlite3 *db, const QString &name, const QString &value);

    // The rows whose LOTW_QSL_RCVD confirms.
    static bool lotwConfirmedRows(sqlite3 *db, QSet<qint64> &out);
    static bool isLotwConfirmed(sqlite3 *db, qint64 rowId);
    // Every QSO, oldest first, with the values of the kept fields `names` (an empty text
    // for one it lacks).
    static bool forEachQsoWithKept(sqlite3 *db, const QList<QByteArray> &names,
                                   const std::function<void(qint64 rowId, const QList<QString> &values)> &qso);
    // The values of the kept fields `names` of each of the rows.
    static bool keptOfRows(sqlite3 *db, const QList<qint64> &rowIds, const QList<QByteArray> &names,
                           const std::function<void(qint64 rowId, const QList<QString> &values)> &qso);

private:
    SqliteStatement &statement(std::unique_ptr<SqliteStatement> &slot, const char *sql);

    sqlite3 *m_db;
    std::unique_ptr<SqliteStatement> m_byCall;
    std::unique_ptr<SqliteStatement> m_modeFields;
    std::unique_ptr<SqliteStatement> m_state;
    std::unique_ptr<SqliteStatement> m_kept;
    std::unique_ptr<SqliteStatement> m_removeKept;
    std::unique_ptr<SqliteStatement> m_insertKept;
    std::unique_ptr<SqliteStatement> m_fill[3];
};
