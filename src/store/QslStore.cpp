#include "QslStore.h"

#include "ConfirmedRule.h"
#include "SqliteStatement.h"

#include <QStringView>

namespace {

const char kQsosOfCall[] =
    "SELECT ROWID, CALL, DATE, TIME, BAND, MODE FROM QSOS WHERE CALL >= ?1 COLLATE NOCASE AND CALL < ?2 COLLATE NOCASE";
const char kModeFields[] =
    "SELECT NAME, VALUE FROM QSOFIELDS WHERE QSO = ? AND NAME IN ('MODE', 'SUBMODE', 'SAT_NAME', 'PROP_MODE')";
const char kQsoState[] = "SELECT QSLRCVD, COUNTRY, MODE, BAND, CQZONE, GRID, IOTA FROM QSOS WHERE ROWID = ?";
const char kKeptFields[] = "SELECT NAME, VALUE FROM QSOFIELDS WHERE QSO = ? ORDER BY ROWID";
const char kRemoveKept[] = "DELETE FROM QSOFIELDS WHERE QSO = ? AND NAME = ?";
const char kInsertKept[] = "INSERT INTO QSOFIELDS (QSO, NAME, VALUE) VALUES (?, ?, ?)";
const char *const kFillColumn[] = {
    "UPDATE QSOS SET CQZONE = ?2 WHERE ROWID = ?1 AND CQZONE = ''",
    "UPDATE QSOS SET GRID = ?2 WHERE ROWID = ?1 AND GRID = ''",
    "UPDATE QSOS SET IOTA = ?2 WHERE ROWID = ?1 AND IOTA = ''",
};
const char kLotwConfirmed[] = "SELECT QSO, VALUE FROM QSOFIELDS WHERE NAME = 'LOTW_QSL_RCVD'";
const char kLotwOfRow[] = "SELECT VALUE FROM QSOFIELDS WHERE QSO = ? AND NAME = 'LOTW_QSL_RCVD'";

bool tableExists(sqlite3 *db, const char *name)
{
    SqliteStatement count(db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = ?");
    count.bind(1, QByteArray(name));
    return count.step() == SqliteStatement::kRow && count.columnInt(0) > 0;
}

// "(?, ?, ?)" for the names, in their order: the parameters of an IN list.
QByteArray nameParameters(qsizetype count)
{
    QByteArray list;
    for (qsizetype i = 0; i < count; ++i)
        list += i == 0 ? "?" : ", ?";
    return list;
}

} // namespace

const char *const QslStore::kCreateTables =
    "CREATE TABLE IF NOT EXISTS LOGBOOKSTATE(NAME TEXT PRIMARY KEY NOT NULL, VALUE TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS UNMATCHEDQSLS(ID INTEGER PRIMARY KEY, SERVICE TEXT NOT NULL, RECEIVED TEXT NOT NULL,"
    " CALL TEXT NOT NULL, QSOSTART TEXT NOT NULL, BAND TEXT NOT NULL, MODE TEXT NOT NULL, RECORD TEXT NOT NULL);"
    "CREATE UNIQUE INDEX IF NOT EXISTS IDX_UNMATCHEDQSLS ON UNMATCHEDQSLS (SERVICE, CALL, QSOSTART, BAND, MODE);"
    "CREATE TABLE IF NOT EXISTS CLUBLOGOUTBOX(ID INTEGER PRIMARY KEY, ACTION INTEGER NOT NULL, QSO INTEGER NOT NULL,"
    " CALL TEXT NOT NULL, QSOSTART TEXT NOT NULL, BAND TEXT NOT NULL);"
    // LoTW's states are read for every statistics rebuild and CQ zone report: an index of
    // those rows alone costs nothing for the other kept fields.
    "CREATE INDEX IF NOT EXISTS IDX_QSOFIELDS_LOTW ON QSOFIELDS (QSO, VALUE) WHERE NAME = 'LOTW_QSL_RCVD';";

QslStore::QslStore(sqlite3 *db)
    : m_db(db)
{
}

QslStore::~QslStore() = default;

SqliteStatement &QslStore::statement(std::unique_ptr<SqliteStatement> &slot, const char *sql)
{
    if (!slot)
        slot = std::make_unique<SqliteStatement>(m_db, sql);
    else
        slot->reset();
    return *slot;
}

bool QslStore::qsosOfCall(const QString &call, const std::function<void(const MatchQso &)> &qso)
{
    SqliteStatement &byCall = statement(m_byCall, kQsosOfCall);
    // "/" sorts right before "0": the range holds the call and the call with a suffix.
    byCall.bind(1, call);
    byCall.bind(2, call + QLatin1Char('0'));
    QList<MatchQso> found;
    if (!byCall.forEachRow([&found](SqliteStatement &row) {
            MatchQso q;
            q.rowId = row.columnInt64(0);
            q.call = row.columnText(1);
            q.date = row.columnText(2);
            q.time = row.columnText(3);
            q.band = row.columnText(4);
            q.mode = row.columnInt(5);
            found.append(q);
        }))
        return false;
    for (MatchQso &q : found) {
        SqliteStatement &fields = statement(m_modeFields, kModeFields);
        fields.bind(1, q.rowId);
        if (!fields.forEachRow([&q](SqliteStatement &row) {
                const QByteArray name = row.columnBytes(0);
                QString &target = name == "MODE"       ? q.adifMode
                                : name == "SUBMODE"    ? q.adifSubmode
                                : name == "SAT_NAME"   ? q.satellite
                                                       : q.propagation;
                target = row.columnText(1);
            }))
            return false;
        qso(q);
    }
    return true;
}

std::optional<QslStore::QsoState> QslStore::qsoState(qint64 rowId)
{
    SqliteStatement &read = statement(m_state, kQsoState);
    read.bind(1, rowId);
    if (read.step() != SqliteStatement::kRow)
        return std::nullopt;
    QsoState state;
    state.qslRcvd = read.columnInt(0);
    state.country = read.columnInt(1);
    state.mode = read.columnInt(2);
    state.band = read.columnBytes(3);
    state.cqZone = read.columnText(4);
    state.grid = read.columnText(5);
    state.iota = read.columnText(6);
    return state;
}

bool QslStore::keptFields(qint64 rowId, QList<Sqlite3DB::UM_QSOFIELD> &out)
{
    out.clear();
    SqliteStatement &read = statement(m_kept, kKeptFields);
    read.bind(1, rowId);
    return read.forEachRow([&out, rowId](SqliteStatement &row) { out.append({rowId, row.columnBytes(0), row.columnBytes(1)}); });
}

bool QslStore::setKept(qint64 rowId, const QByteArray &name, const QString &value)
{
    if (!removeKept(rowId, name))
        return false;
    SqliteStatement &insert = statement(m_insertKept, kInsertKept);
    insert.bind(1, rowId);
    insert.bind(2, name);
    insert.bind(3, value);
    return insert.run();
}

bool QslStore::removeKept(qint64 rowId, const QByteArray &name)
{
    SqliteStatement &remove = statement(m_removeKept, kRemoveKept);
    remove.bind(1, rowId);
    remove.bind(2, name);
    return remove.run();
}

bool QslStore::fillColumn(qint64 rowId, Column column, const QString &value)
{
    const auto index = static_cast<std::size_t>(column);
    SqliteStatement &fill = statement(m_fill[index], kFillColumn[index]);
    fill.bind(1, rowId);
    fill.bind(2, value);
    return fill.run();
}

// --- Unmatched confirmations ----------------------------------------------------------

bool QslStore::keepUnmatched(sqlite3 *db, const Unmatched &c)
{
    SqliteStatement insert(db, "INSERT OR IGNORE INTO UNMATCHEDQSLS (SERVICE, RECEIVED, CALL, QSOSTART, BAND, MODE, RECORD) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?)");
    insert.bind(1, c.service);
    insert.bind(2, c.received);
    insert.bind(3, c.call);
    insert.bind(4, c.start);
    insert.bind(5, c.band);
    insert.bind(6, c.mode);
    insert.bind(7, c.record);
    return insert.run();
}

bool QslStore::readUnmatched(sqlite3 *db, QList<Unmatched> &out)
{
    out.clear();
    if (!tableExists(db, "UNMATCHEDQSLS"))
        return true;
    SqliteStatement read(db, "SELECT ID, SERVICE, RECEIVED, CALL, QSOSTART, BAND, MODE, RECORD FROM UNMATCHEDQSLS "
                             "ORDER BY QSOSTART, ID");
    return read.forEachRow([&out](SqliteStatement &row) {
        out.append({row.columnInt64(0), row.columnText(1), row.columnText(2), row.columnText(3), row.columnText(4),
                    row.columnText(5), row.columnText(6), row.columnBytes(7)});
    });
}

bool QslStore::removeUnmatched(sqlite3 *db, qint64 id)
{
    SqliteStatement remove(db, "DELETE FROM UNMATCHEDQSLS WHERE ID = ?");
    remove.bind(1, id);
    return remove.run();
}

// --- The Club Log outbox ---------------------------------------------------------------

std::optional<qint64> QslStore::appendOutbox(sqlite3 *db, const OutboxEntry &entry)
{
    SqliteStatement insert(db, "INSERT INTO CLUBLOGOUTBOX (ACTION, QSO, CALL, QSOSTART, BAND) VALUES (?, ?, ?, ?, ?)");
    insert.bind(1, static_cast<int>(entry.action));
    insert.bind(2, entry.qso);
    insert.bind(3, entry.call);
    insert.bind(4, entry.start);
    insert.bind(5, entry.band);
    if (!insert.run())
        return std::nullopt;
    SqliteStatement last(db, "SELECT last_insert_rowid()");
    return last.step() == SqliteStatement::kRow ? std::optional<qint64>(last.columnInt64(0)) : std::nullopt;
}

bool QslStore::readOutbox(sqlite3 *db, QList<OutboxEntry> &out)
{
    out.clear();
    if (!tableExists(db, "CLUBLOGOUTBOX"))
        return true;
    SqliteStatement read(db, "SELECT ID, ACTION, QSO, CALL, QSOSTART, BAND FROM CLUBLOGOUTBOX ORDER BY ID");
    return read.forEachRow([&out](SqliteStatement &row) {
        out.append({row.columnInt64(0), row.columnInt(1) == static_cast<int>(Action::DeleteQso) ? Action::DeleteQso
                                                                                                : Action::SendQso,
                    row.columnInt64(2), row.columnText(3), row.columnText(4), row.columnText(5)});
    });
}

bool QslStore::removeOutbox(sqlite3 *db, qint64 id)
{
    SqliteStatement remove(db, "DELETE FROM CLUBLOGOUTBOX WHERE ID = ?");
    remove.bind(1, id);
    return remove.run();
}

// --- Named values ----------------------------------------------------------------------

std::optional<QString> QslStore::stateOf(sqlite3 *db, const QString &name)
{
    if (!tableExists(db, "LOGBOOKSTATE"))
        return std::nullopt;
    SqliteStatement read(db, "SELECT VALUE FROM LOGBOOKSTATE WHERE NAME = ?");
    read.bind(1, name);
    if (read.step() != SqliteStatement::kRow)
        return std::nullopt;
    return read.columnText(0);
}

bool QslStore::setStateOf(sqlite3 *db, const QString &name, const QString &value)
{
    SqliteStatement write(db, "INSERT OR REPLACE INTO LOGBOOKSTATE (NAME, VALUE) VALUES (?, ?)");
    write.bind(1, name);
    write.bind(2, value);
    return write.run();
}

// --- LoTW's states ---------------------------------------------------------------------

bool QslStore::lotwConfirmedRows(sqlite3 *db, QSet<qint64> &out)
{
    out.clear();
    if (!tableExists(db, "QSOFIELDS"))
        return true;
    SqliteStatement read(db, kLotwConfirmed);
    return read.forEachRow([&out](SqliteStatement &row) {
        if (ConfirmedRule::lotwConfirms(row.columnRawBytes(1)))
            out.insert(row.columnInt64(0));
    });
}

bool QslStore::isLotwConfirmed(sqlite3 *db, qint64 rowId)
{
    if (!tableExists(db, "QSOFIELDS"))
        return false;
    SqliteStatement read(db, kLotwOfRow);
    read.bind(1, rowId);
    return read.step() == SqliteStatement::kRow && ConfirmedRule::lotwConfirms(read.columnRawBytes(0));
}

bool QslStore::forEachQsoWithKept(sqlite3 *db, const QList<QByteArray> &names,
                                  const std::function<void(qint64, const QList<QString> &)> &qso)
{
    QByteArray sql = "SELECT ROWID";
    for (qsizetype i = 0; i < names.size(); ++i)
        sql += ", (SELECT VALUE FROM QSOFIELDS WHERE QSO = QSOS.ROWID AND NAME = ?" + QByteArray::number(i + 1) + ")";
    SqliteStatement read(db, (sql + " FROM QSOS ORDER BY DATE, TIME, ROWID").constData());
    for (qsizetype i = 0; i < names.size(); ++i)
        read.bind(static_cast<int>(i + 1), names.at(i));
    QList<QString> values(names.size());
    return read.forEachRow([&](SqliteStatement &row) {
        for (qsizetype i = 0; i < names.size(); ++i)
            values[i] = row.columnText(static_cast<int>(i + 1));
        qso(row.columnInt64(0), values);
    });
}

bool QslStore::keptOfRows(sqlite3 *db, const QList<qint64> &rowIds, const QList<QByteArray> &names,
                          const std::function<void(qint64, const QList<QString> &)> &qso)
{
    if (!tableExists(db, "QSOFIELDS")) {
        for (qint64 rowId : rowIds)
            qso(rowId, QList<QString>(names.size()));
        return true;
    }
    SqliteStatement read(db, ("SELECT NAME, VALUE FROM QSOFIELDS WHERE QSO = ? AND NAME IN (" + nameParameters(names.size())
                              + ")")
                                 .constData());
    for (qint64 rowId : rowIds) {
        read.reset();
        read.bind(1, rowId);
        for (qsizetype i = 0; i < names.size(); ++i)
            read.bind(static_cast<int>(i + 2), names.at(i));
        QList<QString> values(names.size());
        if (!read.forEachRow([&](SqliteStatement &row) {
                const qsizetype at = names.indexOf(row.columnBytes(0));
                if (at >= 0)
                    values[at] = row.columnText(1);
            }))
            return false;
        qso(rowId, values);
    }
    return true;
}
