#include "Sqlite3DB.h"

#include "ConfirmedRule.h"
#include "DatabaseSchema.h"
#include "LogbookTextMigration.h"
#include "LogbookTransaction.h"
#include "QsoBatchInserter.h"
#include "QsoColumns.h"
#include "QsoRow.h"
#include "QslStore.h"
#include "SlotConnection.h"
#include "SqliteStatement.h"
#include "SqliteTransaction.h"
#include "StoreLog.h"

#include "platform/CodePage.h"

#include <QFileInfo>
#include <QHash>

#include <sqlite3.h>

#include <algorithm>
#include <vector>

namespace {

// --- QSOS ---------------------------------------------------------------------------

const char kLatestQsos[] =
    "SELECT ROWID,DATE,TIME,CALL,SENT,RCVD,FREQ,MODE,QSLSENT,QSLRCVD FROM (SELECT ROWID,DATE,TIME,"
    "CALL,SENT,RCVD,FREQ,MODE,QSLSENT,QSLRCVD FROM QSOS ORDER BY DATE DESC, TIME DESC LIMIT ?) "
    "ORDER BY DATE ASC, TIME ASC";
const char kQsosByCountry[] =
    "SELECT ROWID,DATE,TIME,CALL,SENT,RCVD,FREQ,MODE,QSLSENT,QSLRCVD FROM (SELECT ROWID,DATE,TIME,"
    "CALL,SENT,RCVD,FREQ,MODE,QSLSENT,QSLRCVD FROM QSOS WHERE COUNTRY = ? ORDER BY DATE DESC, "
    "TIME DESC LIMIT ?) ORDER BY DATE ASC, TIME ASC";
const char kQsosByCall[] =
    "SELECT ROWID,DATE,TIME,CALL,SENT,RCVD,FREQ,MODE,QSLSENT,QSLRCVD FROM (SELECT ROWID,DATE,TIME,"
    "CALL,SENT,RCVD,FREQ,MODE,QSLSENT,QSLRCVD FROM QSOS WHERE CALL LIKE ? ORDER BY DATE DESC, "
    "TIME DESC LIMIT ?) ORDER BY DATE ASC, TIME ASC";
// The same for a text many calls begin with: the QSOs newest first until the list is
// full, instead of every match sorted.
const char kQsosByCallNewestFirst[] =
    "SELECT ROWID,DATE,TIME,CALL,SENT,RCVD,FREQ,MODE,QSLSENT,QSLRCVD FROM (SELECT ROWID,DATE,TIME,"
    "CALL,SENT,RCVD,FREQ,MODE,QSLSENT,QSLRCVD FROM QSOS INDEXED BY IDX_QSOS_DATETIME WHERE CALL LIKE ? "
    "ORDER BY DATE DESC, TIME DESC LIMIT ?) ORDER BY DATE ASC, TIME ASC";
const char kCountCallMatches[] = "SELECT COUNT(*) FROM (SELECT 1 FROM QSOS WHERE CALL LIKE ? LIMIT ?)";
// Matches from which reading the newest QSOs first finds a full list sooner than
// sorting all matches does.
constexpr int kManyCallMatches = 5000;
constexpr int kQsoRowValues = QsoColumns::kCount;
const char kLastInsertRowId[] = "SELECT last_insert_rowid()";
const char kDeleteQso[] = "DELETE FROM QSOS WHERE ROWID = ?";
const char kDeleteQsoFields[] = "DELETE FROM QSOFIELDS WHERE QSO = ?";
const char kHasQsoFields[] = "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = 'QSOFIELDS'";
const char kHasIndex[] = "SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name = ?";
const char kQsoIndexes[] =
    "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND tbl_name = 'QSOS' AND sql IS NOT NULL ORDER BY rowid";
const char kQsoFieldRow[] = "(?,?,?)";
const char kInsertQsoFieldsHead[] = "INSERT INTO QSOFIELDS (QSO, NAME, VALUE) VALUES ";
constexpr int kQsoFieldBatchRows = 300;

// --- The statements built from the column table --------------------------------------

const QByteArray &qsoStatement()
{
    static const QByteArray sql = "SELECT " + QsoColumns::nameList() + " FROM QSOS WHERE ROWID = ?";
    return sql;
}

const QByteArray &updateQsoStatement()
{
    static const QByteArray sql = "UPDATE QSOS SET " + QsoColumns::assignmentList() + " WHERE ROWID = ?";
    return sql;
}

// The export's rows, with the QSO's kept fields in one last column as ADIF fields
// ("<NAME:LENGTH>VALUE", the length in bytes) when the logbook keeps any.
QByteArray qsoRowsStatement(bool withKeptFields, const QByteArray &where)
{
    const QByteArray kept = withKeptFields ? QByteArrayLiteral(
                                ", (SELECT group_concat('<' || NAME || ':' || length(CAST(VALUE AS BLOB)) || '>' "
                                "|| VALUE, '') FROM QSOFIELDS WHERE QSO = QSOS.ROWID)")
                                           : QByteArray();
    return "SELECT ROWID, " + QsoColumns::nameList() + kept + " FROM QSOS " + where;
}

QByteArray exportQsosStatement(bool withKeptFields)
{
    return qsoRowsStatement(withKeptFields,
                            "WHERE DATE > DATETIME('now', '-' || ? || ' days') ORDER BY DATE DESC, TIME DESC");
}

const char kCountExportQsos[] = "SELECT COUNT(*) FROM QSOS WHERE DATE > DATETIME('now', '-' || ? || ' days')";

bool hasQsoFields(sqlite3 *db)
{
    SqliteStatement count(db, kHasQsoFields);
    return count.step() == SQLITE_ROW && count.columnInt(0) > 0;
}

// Whether any QSO has kept fields: the export reads them only then.
bool keepsAnyQsoField(sqlite3 *db)
{
    if (!hasQsoFields(db))
        return false;
    SqliteStatement any(db, "SELECT EXISTS (SELECT 1 FROM QSOFIELDS)");
    return any.step() == SQLITE_ROW && any.columnInt(0) != 0;
}

bool hasIndex(sqlite3 *db, const char *name)
{
    SqliteStatement count(db, kHasIndex);
    count.bind(1, QByteArray(name));
    return count.step() == SQLITE_ROW && count.columnInt(0) > 0;
}

// --- DXCCREPORT ---------------------------------------------------------------------

const char kFindStatsRow[] =
    "SELECT ROWID, COUNTW, COUNTC FROM DXCCREPORT WHERE DXCC = ? AND BAND = ? AND MODE = ?";
const char kUpdateStatsRow[] = "UPDATE DXCCREPORT SET COUNTW = ?, COUNTC = ? WHERE ROWID = ?";
const char kInsertStatsRow[] =
    "INSERT INTO DXCCREPORT (DXCC, BAND, MODE, COUNTW, COUNTC) VALUES (?,?,?,?,?)";
const char kDxccGrid[] =
    "SELECT MODE, BAND, COUNTW, COUNTC FROM DXCCREPORT WHERE DXCC = ? AND MODE IN (1,2,3) ORDER BY ROWID";
const char kClearStats[] = "DELETE FROM DXCCREPORT";
const char kRebuildScan[] = "SELECT BAND, MODE, QSLRCVD, COUNTRY, ROWID FROM QSOS WHERE COUNTRY != 0";
const char kRebuildInsertHead[] = "INSERT INTO DXCCREPORT (DXCC, BAND, MODE, COUNTW, COUNTC) VALUES";
const char kRebuildRow[] = "(?, ?, ?, ?, ?)";

// The report bands as SQL: each band quoted ('160') between `open` and `close`, joined
// by commas.
QByteArray reportBandsSql(const char *open, const char *close)
{
    QByteArray list;
    for (const char *band : ReportBands::kBands)
        list += (list.isEmpty() ? QByteArray() : QByteArray(",")) + open + "'" + band + "'" + close;
    return list;
}

// Rows in the order of their groups, so that the sums over bands, over modes and over
// everything follow from one pass.
const QByteArray &totalsByBandMode()
{
    static const QByteArray sql = "SELECT DXCC, BAND, MODE, SUM(COUNTW), SUM(COUNTC) FROM DXCCREPORT WHERE MODE IN "
                                  "(1,2,3) AND BAND IN ("
                                + reportBandsSql("", "") + ") GROUP BY DXCC, BAND, MODE ORDER BY DXCC, BAND, MODE";
    return sql;
}
const char kQsoCount[] = "SELECT COUNT(ROWID) FROM QSOS";
const QByteArray &cqZones()
{
    static const QByteArray sql = "SELECT DISTINCT BAND, CAST(CQZONE AS NUMBER), MAX(QSLRCVD) FROM QSOS WHERE MODE IN "
                                  "(1,2,3) AND BAND IN ("
                                + reportBandsSql("", "") + ") GROUP BY BAND, CAST(CQZONE AS NUMBER)";
    return sql;
}
// The same marks cell by cell, each one a single look into IDX_QSOS_CQZONE.
const QByteArray &cqZonesIndexed()
{
    static const QByteArray sql =
        "WITH B(BAND) AS (VALUES " + reportBandsSql("(", ")")
        + "), Z(ZONE) AS (SELECT 1 UNION ALL SELECT ZONE + 1 FROM Z WHERE ZONE < 40) "
          "SELECT BAND, ZONE, M FROM (SELECT B.BAND, Z.ZONE, (SELECT MAX(QSLRCVD) FROM QSOS WHERE MODE IN (1,2,3) "
          "AND BAND = B.BAND AND CAST(CQZONE AS NUMBER) = Z.ZONE) AS M FROM B, Z) WHERE M IS NOT NULL";
    return sql;
}
// The cells of the QSOs LoTW confirmed, found through the index of LoTW's states.
const QByteArray &cqZonesOfLotw()
{
    static const QByteArray sql = "SELECT Q.BAND, CAST(Q.CQZONE AS NUMBER), F.VALUE FROM QSOFIELDS F JOIN QSOS Q ON "
                                  "Q.ROWID = F.QSO WHERE F.NAME = 'LOTW_QSL_RCVD' AND Q.MODE IN (1,2,3) AND Q.BAND IN ("
                                + reportBandsSql("", "") + ")";
    return sql;
}
const char kCqZoneIndex[] = "IDX_QSOS_CQZONE";
const char kCountReadIndexes[] =
    "SELECT COUNT(*) FROM sqlite_master WHERE type = 'index' AND name IN "
    "('IDX_QSOS_DATETIME', 'IDX_QSOS_CALLNOCASE', 'IDX_QSOS_COUNTRY', 'IDX_QSOS_CQZONE')";
constexpr int kReadIndexes = 4;

// A multi-row statement: head, then `rows` copies of the row text separated by commas.
QByteArray multiRowStatement(const QByteArray &head, const QByteArray &row, int rows)
{
    QByteArray sql = head;
    sql.reserve(head.size() + rows * (row.size() + 1));
    for (int i = 0; i < rows; ++i) {
        if (i > 0)
            sql += ',';
        sql += row;
    }
    return sql;
}

// Binds the written values of a QSO from parameter `first` on, in the column table's
// order.
void bindQsoValues(SqliteStatement &statement, int first, const Sqlite3DB::UM_RECORD &r)
{
    int i = first;
    for (const QsoColumns::Description &column : QsoColumns::all()) {
        if (column.text)
            statement.bind(i++, r.*column.text);
        else
            statement.bind(i++, r.*column.number);
    }
}

// A record from the columns of the column table, starting at result column `first`.
void readQsoValues(const SqliteStatement &statement, int first, Sqlite3DB::UM_RECORD &r)
{
    int i = first;
    for (const QsoColumns::Description &column : QsoColumns::all()) {
        if (column.text)
            r.*column.text = statement.columnText(i++);
        else
            r.*column.number = statement.columnInt(i++);
    }
}

// Counts one group of DXCCREPORT rows into a pair: worked and confirmed are tested
// independently, and only real entities count.
void countGroup(DxccTotals::Pair &pair, int dxcc, int sumWorked, int sumConfirmed)
{
    if (dxcc <= 0)
        return;
    if (sumWorked > 0)
        ++pair.worked;
    if (sumConfirmed > 0)
        ++pair.confirmed;
}

int modeColumn(int mode)
{
    return (mode >= 1 && mode <= DxccTotals::kModes) ? mode - 1 : -1;
}

// Counts the entities of the DXCC report from the sums per entity, band and mode, given
// in that order: an entity counts in a cell, a band total, a mode total and the mixed
// total when its sums there are above zero.
class TotalsCounter
{
public:
    explicit TotalsCounter(DxccTotals &totals)
        : m_totals(totals)
    {
    }

    void add(int dxcc, int band, int mode, int worked, int confirmed)
    {
        if (dxcc != m_dxcc)
            finishEntity();
        else if (band != m_band)
            finishBand();
        m_dxcc = dxcc;
        m_band = band;
        if (band < 0 || mode < 0)
            return;
        countGroup(m_totals.cells[band][mode], dxcc, worked, confirmed);
        m_bandSum.worked += worked;
        m_bandSum.confirmed += confirmed;
        m_modeSums[mode].worked += worked;
        m_modeSums[mode].confirmed += confirmed;
        m_mixedSum.worked += worked;
        m_mixedSum.confirmed += confirmed;
    }

    void finish() { finishEntity(); }

private:
    void finishBand()
    {
        if (m_band >= 0)
            countGroup(m_totals.cells[m_band][DxccTotals::kBandTotal], m_dxcc, m_bandSum.worked, m_bandSum.confirmed);
        m_bandSum = {};
    }

    void finishEntity()
    {
        finishBand();
        for (int mode = 0; mode < DxccTotals::kModes; ++mode)
            countGroup(m_totals.modeTotals[mode], m_dxcc, m_modeSums[mode].worked, m_modeSums[mode].confirmed);
        countGroup(m_totals.mixed, m_dxcc, m_mixedSum.worked, m_mixedSum.confirmed);
        std::fill(std::begin(m_modeSums), std::end(m_modeSums), DxccTotals::Pair{});
        m_mixedSum = {};
    }

    DxccTotals &m_totals;
    int m_dxcc = 0;
    int m_band = -1;
    DxccTotals::Pair m_bandSum;
    DxccTotals::Pair m_modeSums[DxccTotals::kModes];
    DxccTotals::Pair m_mixedSum;
};

// Key of one combination counted by the rebuild; the band is compared byte for byte.
struct RebuildKey
{
    int dxcc;
    int mode;
    QByteArray band;
    bool operator==(const RebuildKey &other) const
    {
        return dxcc == other.dxcc && mode == other.mode && band == other.band;
    }
};

size_t qHash(const RebuildKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.dxcc, key.mode, key.band);
}

} // namespace

// --- Logbook files ------------------------------------------------------------------

bool Sqlite3DB::CreateLogbook(const QString &path)
{
    // A file that was there already keeps its own version: only a file made here is
    // known to hold nothing but a new logbook.
    const bool madeHere = !QFileInfo::exists(path);
    {
        SlotConnection db(m_dbLogbook, path, SlotConnection::Mode::Create);
        if (!db.isOpen() || !SqliteStatement::exec(db.handle(), kCreateQsos)
            || !SqliteStatement::exec(db.handle(), kCreateQsosIndex))
            return false;
    }
    SlotConnection db(m_dbLogbook, path);
    return db.isOpen() && SqliteStatement::exec(db.handle(), kCreateDxccReport)
        && SqliteStatement::exec(db.handle(), kCreateQsoFields) && SqliteStatement::exec(db.handle(), kCreateReadIndexes)
        && (!madeHere
            || (SqliteStatement::exec(db.handle(), QslStore::kCreateTables)
                && DatabaseSchema::setUserVersion(db.handle(), Schema().currentVersion())));
}

// Version 0: QSOS with its call index and DXCCREPORT, as the first logbooks were made,
// their text in Windows-1252.
// 1: QSOFIELDS, the ADIF fields a QSO came with that QSOS has no column for; every text
// in UTF-8. (USERFIELDS, the user-defined fields imported files declared, is made by the
// first import that brings any.)
// 2: what confirmations need (QslStore): the logbook's named values, the confirmations
// that matched no QSO, the Club Log outbox, an index of LoTW's states; a LoTW
// confirmation imported before counts as confirmed from now on, so the statistics are
// counted again when the logbook holds one.
const DatabaseSchema &Sqlite3DB::Schema()
{
    static const DatabaseSchema schema(
        {
            {1,
             [](sqlite3 *db) {
                 return EnsureQsoFields(db) && LogbookTextMigration::convertToUtf8(db);
             }},
            {2,
             [](sqlite3 *db) {
                 QSet<qint64> lotw;
                 return SqliteStatement::exec(db, QslStore::kCreateTables) && QslStore::lotwConfirmedRows(db, lotw)
                     && (lotw.isEmpty() || RebuildDxccStats(db))
                     && ConfirmedRule::keep(db, ConfirmedRule(ConfirmedRule::kDefault));
             }},
        },
        [](sqlite3 *db) {
            SqliteStatement count(db, "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = 'QSOS'");
            return count.step() == SqliteStatement::kRow && count.columnInt(0) == 1;
        });
    return schema;
}

bool Sqlite3DB::EnsureReadIndexes(const QString &path)
{
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen())
        return false;
    SqliteStatement count(db.handle(), kCountReadIndexes);
    if (count.step() == SQLITE_ROW && count.columnInt(0) == kReadIndexes)
        return true;
    SqliteTransaction transaction(db.isBorrowed() ? nullptr : db.handle(), SqliteTransaction::Kind::Write);
    if (!db.isBorrowed() && !transaction.isActive())
        return false;
    return SqliteStatement::exec(db.handle(), kCreateReadIndexes) && (db.isBorrowed() || transaction.commit());
}

bool Sqlite3DB::InLogbookTransaction(const QString &path, const std::function<bool()> &work)
{
    LogbookTransaction transaction(*this, path);
    return transaction.isActive() && work() && transaction.commit();
}

// --- QSOs ---------------------------------------------------------------------------

bool Sqlite3DB::queryQsoList(QList<UM_RECORD> &out, const char *sql, const QString &path,
                             const std::function<void(SqliteStatement &)> &bindParameters)
{
    out.clear();
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen())
        return false;
    SqliteStatement statement(db.handle(), sql);
    if (!statement.isPrepared())
        return false;
    bindParameters(statement);
    const bool listed = statement.forEachRow([&out](SqliteStatement &row) {
        UM_RECORD record;
        record.rowId = row.columnInt(0);
        record.date = row.columnText(1);
        record.time = row.columnText(2);
        record.call = row.columnText(3);
        record.sent = row.columnText(4);
        record.rcvd = row.columnText(5);
        record.freq = row.columnText(6);
        record.mode = row.columnInt(7);
        record.qslSent = row.columnInt(8);
        record.qslRcvd = row.columnInt(9);
        out.append(record);
    });
    return listed && readModeFields(db.handle(), out);
}

// The kept MODE and SUBMODE of the records, by their row ids: one query for a list.
bool Sqlite3DB::readModeFields(sqlite3 *db, QList<UM_RECORD> &records)
{
    if (records.isEmpty() || !hasQsoFields(db))
        return true;
    QHash<qint64, UM_RECORD *> byRowId;
    QByteArray sql = "SELECT QSO, NAME, VALUE FROM QSOFIELDS WHERE NAME IN ('MODE', 'SUBMODE') AND QSO IN (";
    for (UM_RECORD &record : records) {
        sql += byRowId.isEmpty() ? "?" : ",?";
        byRowId.insert(record.rowId, &record);
    }
    SqliteStatement fields(db, (sql + ")").constData());
    int parameter = 1;
    for (const UM_RECORD &record : std::as_const(records))
        fields.bind(parameter++, record.rowId);
    return fields.forEachRow([&byRowId](SqliteStatement &row) {
        UM_RECORD *record = byRowId.value(row.columnInt64(0));
        (row.columnBytes(1) == "MODE" ? record->adifMode : record->adifSubmode) = row.columnText(2);
    });
}

// Replaces the kept MODE and SUBMODE of a QSO by the record's (none when it has none);
// the same ones stay where they are among the QSO's kept fields.
bool Sqlite3DB::writeModeFields(sqlite3 *db, qint64 rowId, const UM_RECORD &record)
{
    QList<UM_RECORD> stored(1);
    stored.first().rowId = static_cast<qint32>(rowId);
    if (!readModeFields(db, stored))
        return false;
    if (stored.first().adifMode == record.adifMode && stored.first().adifSubmode == record.adifSubmode)
        return true;
    if (!EnsureQsoFields(db))
        return false;
    SqliteStatement remove(db, "DELETE FROM QSOFIELDS WHERE QSO = ? AND NAME IN ('MODE', 'SUBMODE')");
    remove.bind(1, rowId);
    if (!remove.run())
        return false;
    QList<UM_QSOFIELD> fields;
    if (!record.adifMode.isEmpty())
        fields.append({rowId, "MODE", record.adifMode.toUtf8()});
    if (!record.adifSubmode.isEmpty())
        fields.append({rowId, "SUBMODE", record.adifSubmode.toUtf8()});
    return InsertQsoFields(fields, db);
}

bool Sqlite3DB::QueryLatestQsos(QList<UM_RECORD> &out, int count, const QString &path)
{
    return queryQsoList(out, kLatestQsos, path, [count](SqliteStatement &s) { s.bind(1, count); });
}

bool Sqlite3DB::QueryQsosByCountry(QList<UM_RECORD> &out, int dxcc, const QString &path)
{
    return queryQsoList(out, kQsosByCountry, path, [dxcc](SqliteStatement &s) {
        s.bind(1, dxcc);
        s.bind(2, kListLimit);
    });
}

bool Sqlite3DB::QueryQsosByCall(QList<UM_RECORD> &out, const QString &callPrefix, const QString &path)
{
    // The pattern is bound whole, not joined in the statement, so that SQLite can look
    // the calls up in the index that ignores letter case.
    const QString pattern = callPrefix + QLatin1Char('%');
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen()) {
        out.clear();
        return false;
    }
    SqliteStatement count(db.handle(), kCountCallMatches);
    count.bind(1, pattern);
    count.bind(2, kManyCallMatches);
    const bool many = count.step() == SQLITE_ROW && count.columnInt(0) >= kManyCallMatches
                   && hasIndex(db.handle(), kDateTimeIndex);
    return queryQsoList(out, many ? kQsosByCallNewestFirst : kQsosByCall, path, [&pattern](SqliteStatement &s) {
        s.bind(1, pattern);
        s.bind(2, kListLimit);
    });
}

bool Sqlite3DB::QueryQsosNear(QList<UM_RECORD> &out, const UM_RECORD &qso, int minutes, const QString &path)
{
    static const char kNear[] =
        "SELECT ROWID,DATE,TIME,CALL,SENT,RCVD,FREQ,MODE,QSLSENT,QSLRCVD FROM QSOS WHERE CALL = ? COLLATE NOCASE "
        "AND BAND = ? AND MODE = ? AND ABS(julianday(DATE || ' ' || TIME) - julianday(? || ' ' || ?)) * 1440 <= ? "
        "ORDER BY DATE, TIME";
    return queryQsoList(out, kNear, path, [&qso, minutes](SqliteStatement &s) {
        s.bind(1, qso.call);
        s.bind(2, qso.band);
        s.bind(3, qso.mode);
        s.bind(4, qso.date);
        s.bind(5, qso.time);
        s.bind(6, minutes);
    });
}

bool Sqlite3DB::QueryBandModesOfCall(QList<UM_BANDMODE> &out, const QString &call, const QString &path)
{
    static const char kBandModes[] = "SELECT DISTINCT BAND, MODE FROM QSOS WHERE CALL = ? COLLATE NOCASE";
    out.clear();
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen())
        return false;
    SqliteStatement statement(db.handle(), kBandModes);
    if (!statement.isPrepared())
        return false;
    statement.bind(1, call);
    return statement.forEachRow([&out](SqliteStatement &row) { out.append({row.columnText(0), row.columnInt(1)}); });
}

bool Sqlite3DB::QueryQso(QList<UM_RECORD> &out, int rowId, const QString &path)
{
    out.clear();
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen())
        return false;
    SqliteStatement statement(db.handle(), qsoStatement().constData());
    if (!statement.isPrepared())
        return false;
    statement.bind(1, rowId);
    // A missing row reads as empty texts and zeros: one record comes back all the same.
    const int rc = statement.step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        return false;
    UM_RECORD r;
    r.rowId = rowId;
    readQsoValues(statement, 0, r);
    out.append(r);
    return readModeFields(db.handle(), out);
}

std::optional<int> Sqlite3DB::InsertQso(const QList<UM_RECORD> &in, const QString &path,
                                        const QList<UM_QSOFIELD> &kept)
{
    if (in.isEmpty())
        return std::nullopt;
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen())
        return std::nullopt;
    {
        SqliteStatement insert(db.handle(), QsoColumns::insertStatement(1).constData());
        if (!insert.isPrepared())
            return std::nullopt;
        bindQsoValues(insert, 1, in.first());
        if (!insert.run())
            return std::nullopt;
    }
    SqliteStatement lastId(db.handle(), kLastInsertRowId);
    if (lastId.step() != SQLITE_ROW)
        return std::nullopt;
    const int rowId = lastId.columnInt(0);
    const UM_RECORD &qso = in.first();
    if ((!qso.adifMode.isEmpty() || !qso.adifSubmode.isEmpty()) && !writeModeFields(db.handle(), rowId, qso))
        return std::nullopt;
    if (!kept.isEmpty()) {
        QList<UM_QSOFIELD> fields = kept;
        for (UM_QSOFIELD &field : fields)
            field.qso = rowId;
        if (!EnsureQsoFields(db.handle()) || !InsertQsoFields(fields, db.handle()))
            return std::nullopt;
    }
    return rowId;
}

bool Sqlite3DB::InsertQsoBatch(const QList<UM_RECORD> &in, sqlite3 *db, qint64 *lastRowId)
{
    QsoBatchInserter inserter(db);
    std::vector<QsoBytes> rows;
    rows.reserve(static_cast<std::size_t>(std::min<qsizetype>(kBatchRows, in.size())));
    qint64 last = 0;
    for (qsizetype first = 0; first < in.size(); first += kBatchRows) {
        const int count = static_cast<int>(std::min<qsizetype>(kBatchRows, in.size() - first));
        rows.clear();
        for (int i = 0; i < count; ++i)
            rows.push_back(QsoBytes::from(in[first + i]));
        if (!inserter.insert(rows.data(), count, last))
            return false;
    }
    if (lastRowId)
        *lastRowId = last != 0 ? last : sqlite3_last_insert_rowid(db);
    return true;
}

std::optional<QList<QByteArray>> Sqlite3DB::DropQsoIndexes(sqlite3 *db, const QByteArray &keep)
{
    QList<std::pair<QByteArray, QByteArray>> indexes;
    {
        SqliteStatement list(db, kQsoIndexes);
        if (!list.isPrepared() || !list.forEachRow([&indexes](SqliteStatement &row) {
                indexes.append({row.columnBytes(0), row.columnBytes(1)});
            }))
            return std::nullopt;
    }
    QList<QByteArray> statements;
    for (const auto &[name, sql] : indexes) {
        if (name == keep)
            continue;
        if (!SqliteStatement::exec(db, ("DROP INDEX \"" + QByteArray(name).replace('"', "\"\"") + '"').constData()))
            return std::nullopt;
        statements.append(sql);
    }
    return statements;
}

bool Sqlite3DB::RestoreQsoIndexes(sqlite3 *db, const QList<QByteArray> &createStatements)
{
    return std::all_of(createStatements.cbegin(), createStatements.cend(),
                       [db](const QByteArray &sql) { return SqliteStatement::exec(db, sql.constData()); });
}

qint64 Sqlite3DB::HighestQsoRowId(sqlite3 *db)
{
    SqliteStatement highest(db, "SELECT COALESCE(MAX(ROWID), 0) FROM QSOS");
    return highest.step() == SQLITE_ROW ? highest.columnInt64(0) : 0;
}

bool Sqlite3DB::EnsureQsoFields(sqlite3 *db)
{
    return hasQsoFields(db) || SqliteStatement::exec(db, kCreateQsoFields);
}

bool Sqlite3DB::InsertQsoFields(const QList<UM_QSOFIELD> &fields, sqlite3 *db)
{
    for (qsizetype first = 0; first < fields.size(); first += kQsoFieldBatchRows) {
        const int rows = static_cast<int>(std::min<qsizetype>(kQsoFieldBatchRows, fields.size() - first));
        SqliteStatement insert(db, multiRowStatement(kInsertQsoFieldsHead, kQsoFieldRow, rows).constData());
        if (!insert.isPrepared())
            return false;
        for (int i = 0; i < rows; ++i) {
            const UM_QSOFIELD &field = fields[first + i];
            insert.bind(1 + 3 * i, field.qso);
            insert.bind(2 + 3 * i, field.name);
            insert.bind(3 + 3 * i, field.value);
        }
        if (!insert.run())
            return false;
    }
    return true;
}

bool Sqlite3DB::InsertUserFields(const QList<UM_USERFIELD> &fields, sqlite3 *db)
{
    if (fields.isEmpty())
        return true;
    if (!SqliteStatement::exec(db, kCreateUserFields))
        return false;
    SqliteStatement insert(db, "INSERT OR IGNORE INTO USERFIELDS (NAME, TYPE, LIMITS) VALUES (?,?,?)");
    for (const UM_USERFIELD &field : fields) {
        insert.bind(1, field.name);
        insert.bind(2, field.type);
        insert.bind(3, field.limits);
        if (!insert.run())
            return false;
        insert.reset();
    }
    return true;
}

bool Sqlite3DB::ReadUserFields(QList<UM_USERFIELD> &out, const QString &path)
{
    out.clear();
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen())
        return false;
    SqliteStatement has(db.handle(), "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = 'USERFIELDS'");
    if (has.step() != SQLITE_ROW)
        return false;
    if (has.columnInt(0) == 0)
        return true;
    SqliteStatement rows(db.handle(), "SELECT NAME, TYPE, LIMITS FROM USERFIELDS ORDER BY ROWID");
    return rows.forEachRow([&out](SqliteStatement &row) {
        out.append({row.columnBytes(0), row.columnBytes(1), row.columnBytes(2)});
    });
}

bool Sqlite3DB::UpdateQso(const QList<UM_RECORD> &in, const QString &path, int rowId)
{
    if (in.isEmpty())
        return false;
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen())
        return false;
    SqliteStatement update(db.handle(), updateQsoStatement().constData());
    if (!update.isPrepared())
        return false;
    bindQsoValues(update, 1, in.first());
    update.bind(kQsoRowValues + 1, rowId);
    return update.run() && writeModeFields(db.handle(), rowId, in.first());
}

bool Sqlite3DB::ReplaceQsoField(int rowId, const QByteArray &name, const QByteArray &value, const QString &path)
{
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen() || !EnsureQsoFields(db.handle()))
        return false;
    SqliteStatement remove(db.handle(), "DELETE FROM QSOFIELDS WHERE QSO = ? AND NAME = ?");
    remove.bind(1, rowId);
    remove.bind(2, QString::fromLatin1(name));
    return remove.run() && InsertQsoFields({{rowId, name, value}}, db.handle());
}

bool Sqlite3DB::DeleteQso(int rowId, const QString &path)
{
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen())
        return false;
    SqliteTransaction transaction(db.isBorrowed() ? nullptr : db.handle(), SqliteTransaction::Kind::Write);
    if (!db.isBorrowed() && !transaction.isActive())
        return false;
    // The QSO's kept fields go with it.
    for (const char *sql : {kDeleteQso, kDeleteQsoFields}) {
        if (sql == kDeleteQsoFields && !hasQsoFields(db.handle()))
            break;
        SqliteStatement remove(db.handle(), sql);
        if (!remove.isPrepared())
            return false;
        remove.bind(1, rowId);
        if (!remove.run())
            return false;
    }
    return db.isBorrowed() || transaction.commit();
}

qint64 Sqlite3DB::CountExportQsos(const QString &path, int days)
{
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen())
        return -1;
    SqliteStatement count(db.handle(), kCountExportQsos);
    if (!count.isPrepared())
        return -1;
    count.bind(1, days);
    return count.step() == SQLITE_ROW ? count.columnInt64(0) : -1;
}

bool Sqlite3DB::ReadExportQsos(const QString &path, int days, const std::function<bool(const QsoRow &)> &row)
{
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen())
        return false;
    SqliteStatement rows(db.handle(), exportQsosStatement(keepsAnyQsoField(db.handle())).constData());
    if (!rows.isPrepared())
        return false;
    rows.bind(1, days);
    int rc;
    while ((rc = rows.step()) == SQLITE_ROW) {
        if (!row(QsoRow(rows)))
            return false;
    }
    return rc == SQLITE_DONE;
}

bool Sqlite3DB::ReadQsoRows(const QString &path, const QList<qint64> &rowIds,
                            const std::function<bool(const QsoRow &)> &row)
{
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen())
        return false;
    SqliteStatement rows(db.handle(), qsoRowsStatement(keepsAnyQsoField(db.handle()), "WHERE ROWID = ?").constData());
    if (!rows.isPrepared())
        return false;
    for (qint64 rowId : rowIds) {
        rows.reset();
        rows.bind(1, rowId);
        const int rc = rows.step();
        if (rc == SQLITE_ROW && !row(QsoRow(rows)))
            return false;
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            return false;
    }
    return true;
}

// --- DXCC statistics ----------------------------------------------------------------

bool Sqlite3DB::AddToDxccStats(int dxcc, const QString &band, int mode, int qslRcvd, const QString &path)
{
    return changeDxccStats(+1, dxcc, band, mode, qslRcvd, path);
}

bool Sqlite3DB::RemoveFromDxccStats(int dxcc, const QString &band, int mode, int qslRcvd,
                                    const QString &path)
{
    return changeDxccStats(-1, dxcc, band, mode, qslRcvd, path);
}

bool Sqlite3DB::changeDxccStats(int sign, int dxcc, const QString &band, int mode, int qslRcvd,
                                const QString &path)
{
    SlotConnection db(m_dbLogbook, path);
    return db.isOpen()
        && CountDxccStats(db.handle(), sign, dxcc, CodePage::toStored(band), mode,
                          ConfirmedRule::of(db.handle()).confirms(qslRcvd, false));
}

bool Sqlite3DB::ChangeDxccCounts(int sign, int dxcc, const QString &band, int mode, bool confirmed, const QString &path)
{
    SlotConnection db(m_dbLogbook, path);
    return db.isOpen() && CountDxccStats(db.handle(), sign, dxcc, CodePage::toStored(band), mode, confirmed);
}

bool Sqlite3DB::CountDxccStats(sqlite3 *db, int sign, int dxcc, const QByteArray &band, int mode, bool confirmed)
{
    int rowId = 0;
    int countW = 0;
    int countC = 0;
    {
        SqliteStatement find(db, kFindStatsRow);
        if (!find.isPrepared())
            return false;
        find.bind(1, dxcc);
        find.bind(2, band);
        find.bind(3, mode);
        const int rc = find.step();
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            return false;
        rowId = find.columnInt(0);
        countW = find.columnInt(1);
        countC = find.columnInt(2);
    }
    // Counts are not clamped: taking out a QSO that was never counted leaves -1,
    // which every reader treats as not worked.
    countW += sign;
    if (confirmed)
        countC += sign;

    if (rowId != 0) {
        SqliteStatement update(db, kUpdateStatsRow);
        update.bind(1, countW);
        update.bind(2, countC);
        update.bind(3, rowId);
        return update.run();
    }
    SqliteStatement insert(db, kInsertStatsRow);
    insert.bind(1, dxcc);
    insert.bind(2, band);
    insert.bind(3, mode);
    insert.bind(4, countW);
    insert.bind(5, countC);
    return insert.run();
}

bool Sqlite3DB::QueryDxccGrid(std::array<QList<UM_DXCCREPORT>, 3> &out, int dxcc, const QString &path)
{
    for (QList<UM_DXCCREPORT> &rows : out)
        rows.clear();
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen())
        return false;
    SqliteStatement statement(db.handle(), kDxccGrid);
    if (!statement.isPrepared())
        return false;
    statement.bind(1, dxcc);
    return statement.forEachRow([&out](SqliteStatement &row) {
        out[static_cast<std::size_t>(row.columnInt(0) - 1)].append({row.columnText(1), row.columnInt(2), row.columnInt(3)});
    });
}

bool Sqlite3DB::RebuildDxccStats(const QString &path)
{
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen())
        return false;
    if (db.isBorrowed())
        return RebuildDxccStats(db.handle());
    SqliteTransaction transaction(db.handle(), SqliteTransaction::Kind::Write);
    return transaction.isActive() && RebuildDxccStats(db.handle()) && transaction.commit();
}

bool Sqlite3DB::RebuildDxccStats(sqlite3 *db)
{
    if (!SqliteStatement::exec(db, kClearStats))
        return false;
    const ConfirmedRule rule = ConfirmedRule::of(db);
    QSet<qint64> lotw;
    if (rule.countsLotw() && !QslStore::lotwConfirmedRows(db, lotw))
        return false;

    // One entry per combination; the table is written in the order of each
    // combination's last QSO in the scan, which `lastSeen` records.
    QList<UM_DXCCREBUILD> entries;
    QList<qint64> lastSeen;
    QHash<RebuildKey, qsizetype> index;
    {
        SqliteStatement scan(db, kRebuildScan);
        if (!scan.isPrepared())
            return false;
        qint64 position = 0;
        const bool complete = scan.forEachRow([&](SqliteStatement &row) {
            const QByteArray band = row.columnRawBytes(0);
            const int mode = row.columnInt(1);
            const bool confirmed = rule.confirms(row.columnInt(2), !lotw.isEmpty() && lotw.contains(row.columnInt64(4)));
            const int dxcc = row.columnInt(3);
            auto found = index.constFind(RebuildKey{dxcc, mode, band});
            if (found == index.constEnd()) {
                found = index.insert(RebuildKey{dxcc, mode, QByteArray(band.constData(), band.size())},
                                     entries.size());
                entries.append({CodePage::fromStored(band), mode, dxcc, 0, 0});
                lastSeen.append(0);
            }
            UM_DXCCREBUILD &entry = entries[*found];
            ++entry.countW;
            if (confirmed)
                ++entry.countC;
            lastSeen[*found] = position++;
        });
        if (!complete)
            return false;
    }

    QList<qsizetype> order(entries.size());
    for (qsizetype i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&lastSeen](qsizetype a, qsizetype b) { return lastSeen[a] < lastSeen[b]; });

    for (qsizetype first = 0; first < order.size(); first += kBatchRows) {
        const int rows = static_cast<int>(std::min<qsizetype>(kBatchRows, order.size() - first));
        SqliteStatement insert(db, multiRowStatement(kRebuildInsertHead, kRebuildRow, rows).constData());
        if (!insert.isPrepared())
            return false;
        for (int i = 0; i < rows; ++i) {
            const UM_DXCCREBUILD &entry = entries[order[first + i]];
            const int p = 1 + i * 5;
            insert.bind(p, entry.dxcc);
            insert.bind(p + 1, entry.band);
            insert.bind(p + 2, entry.mode);
            insert.bind(p + 3, entry.countW);
            insert.bind(p + 4, entry.countC);
        }
        if (!insert.run())
            return false;
    }
    return true;
}

int Sqlite3DB::BandIndex(const QByteArray &band)
{
    return ReportBands::BandIndex(band);
}

bool Sqlite3DB::GetDxccTotals(DxccTotals &totals, const QString &path)
{
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen())
        return false;
    DxccTotals work;
    SqliteStatement byBandMode(db.handle(), totalsByBandMode().constData());
    if (!byBandMode.isPrepared())
        return false;
    TotalsCounter counter(work);
    if (!byBandMode.forEachRow([&counter](SqliteStatement &row) {
            counter.add(row.columnInt(0), BandIndex(row.columnRawBytes(1)), modeColumn(row.columnInt(2)),
                        row.columnInt(3), row.columnInt(4));
        }))
        return false;
    counter.finish();

    SqliteStatement count(db.handle(), kQsoCount);
    if (!count.isPrepared() || count.step() != SQLITE_ROW)
        return false;
    work.totalQsos = count.columnInt(0);

    totals = work;
    return true;
}

bool Sqlite3DB::GetCqZoneGrid(CqZoneGrid &grid, const QString &path)
{
    SlotConnection db(m_dbLogbook, path);
    if (!db.isOpen())
        return false;
    // Without its index (a logbook that could not be given one) the cell by cell query
    // would read every QSO once per cell; the grouped one reads them once.
    SqliteStatement statement(db.handle(),
                              (hasIndex(db.handle(), kCqZoneIndex) ? cqZonesIndexed() : cqZones()).constData());
    if (!statement.isPrepared())
        return false;
    CqZoneGrid work;
    std::fill(&work.marks[0][0], &work.marks[0][0] + sizeof work.marks, ' ');
    // The cells are first marked by the cards (or only worked, when cards do not count),
    // then LoTW's confirmations mark theirs.
    const ConfirmedRule rule = ConfirmedRule::of(db.handle());
    const bool cardsCount = rule.confirms(ConfirmedRule::kCardReceived, false);
    // Zone 0 is a text that is not a number; zones above 40 have no column.
    const auto mark = [&work](const QByteArray &bandText, int zone, char value) {
        const int band = BandIndex(bandText);
        if (band >= 0 && zone >= 1 && zone <= CqZoneGrid::kZones)
            work.marks[band][zone - 1] = value;
    };
    const bool complete = statement.forEachRow([&](SqliteStatement &row) {
        mark(row.columnRawBytes(0), row.columnInt(1),
             cardsCount && row.columnInt(2) == ConfirmedRule::kCardReceived ? 'C' : 'W');
    });
    if (!complete)
        return false;
    if (rule.countsLotw() && hasQsoFields(db.handle())) {
        SqliteStatement lotw(db.handle(), cqZonesOfLotw().constData());
        if (!lotw.isPrepared() || !lotw.forEachRow([&](SqliteStatement &row) {
                if (ConfirmedRule::lotwConfirms(row.columnRawBytes(2)))
                    mark(row.columnRawBytes(0), row.columnInt(1), 'C');
            }))
            return false;
    }
    grid = work;
    return true;
}

bool Sqlite3DB::IsLotwConfirmed(qint64 rowId, const QString &path)
{
    SlotConnection db(m_dbLogbook, path);
    return db.isOpen() && QslStore::isLotwConfirmed(db.handle(), rowId);
}

ConfirmedRule Sqlite3DB::RuleOf(const QString &path)
{
    SlotConnection db(m_dbLogbook, path);
    return db.isOpen() ? ConfirmedRule::of(db.handle()) : ConfirmedRule();
}

bool Sqlite3DB::AppendOutbox(int action, qint64 rowId, const QString &call, const QString &start, const QString &band,
                             const QString &path)
{
    SlotConnection db(m_dbLogbook, path);
    return db.isOpen()
        && QslStore::appendOutbox(db.handle(), {0, static_cast<QslStore::Action>(action), rowId, call, start, band});
}

QString Sqlite3DB::lastError() const
{
    return StoreLog::lastFailure();
}
