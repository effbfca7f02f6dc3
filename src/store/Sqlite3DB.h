#pragma once

#include "ConfirmedRule.h"
#include "CqZoneGrid.h"
#include "DxccTotals.h"
#include "QsoRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <functional>
#include <optional>

struct sqlite3;
class DatabaseSchema;
class LogbookTransaction;
class QsoRow;
class SqliteStatement;

// The store of the logbook files and of the program database. Every operation opens
// the file it needs, runs its statements, finalizes them and closes the file before
// it returns; no connection is held between operations. Every value is bound as a
// statement parameter, so texts are passed as typed (O'Neil stays O'Neil).
class Sqlite3DB
{
public:
    // One QSO (QsoRecord.h).
    using UM_RECORD = ::UM_RECORD;

    // One DXCCREPORT row as the worked/confirmed grid reads it.
    struct UM_DXCCREPORT
    {
        QString band;
        qint32 countW = 0;
        qint32 countC = 0;
    };

    // One combination counted by the statistics rebuild.
    struct UM_DXCCREBUILD
    {
        QString band;
        qint32 mode = 0;
        qint32 dxcc = 0;
        qint32 countW = 0;
        qint32 countC = 0;
    };

    // A band and mode code a call was worked on.
    struct UM_BANDMODE
    {
        QString band;
        qint32 mode = 0;
    };

    static constexpr int kListLimit = 100;
    static constexpr int kBatchRows = 500;

    // The statements that make a new logbook file.
    static constexpr const char *kCreateQsos =
        "CREATE TABLE QSOS(ID INTEGER PRIMARY KEY UNIQUE NOT NULL,DATE TEXT NOT NULL,TIME TEXT NOT NULL,"
        "CALL TEXT NOT NULL,SENT TEXT NOT NULL,RCVD TEXT NOT NULL,FREQ TEXT NOT NULL,BAND TEXT NOT NULL,"
        "MODE INTEGER NOT NULL,POWER TEXT NOT NULL,GRID TEXT NOT NULL,QSLSENT INTEGER NOT NULL,"
        "QSLRCVD INTEGER NOT NULL,CQZONE TEXT NOT NULL,NAME TEXT NOT NULL,QTH TEXT NOT NULL,"
        "ADDRESS1 TEXT NOT NULL,ADDRESS2 TEXT NOT NULL,REMARKS TEXT NOT NULL,QSLMGR TEXT NOT NULL,"
        "IOTA TEXT NOT NULL,COUNTRY INTEGER NOT NULL)";
    static constexpr const char *kCreateQsosIndex = "CREATE INDEX IDX_QSOS_CALL ON QSOS (CALL)";
    // Indexes for the reads that would otherwise go through every QSO: the newest QSOs
    // and the export in date order (with the call, so a search can test it on the way),
    // the calls that begin with a text in any letter case, an entity's newest QSOs, and
    // the CQ zone marks. A logbook made before them gets them when it is opened.
    static constexpr const char *kCreateReadIndexes =
        "CREATE INDEX IF NOT EXISTS IDX_QSOS_DATETIME ON QSOS (DATE, TIME, CALL);"
        "CREATE INDEX IF NOT EXISTS IDX_QSOS_CALLNOCASE ON QSOS (CALL COLLATE NOCASE);"
        "CREATE INDEX IF NOT EXISTS IDX_QSOS_COUNTRY ON QSOS (COUNTRY, DATE, TIME);"
        "CREATE INDEX IF NOT EXISTS IDX_QSOS_CQZONE ON QSOS (BAND, CAST(CQZONE AS NUMBER), QSLRCVD) "
        "WHERE MODE IN (1,2,3)";
    static constexpr const char *kCreateDxccReport =
        "CREATE TABLE DXCCREPORT (ID INTEGER PRIMARY KEY UNIQUE NOT NULL,DXCC INTEGER NOT NULL,"
        "BAND TEXT NOT NULL,MODE INTEGER NOT NULL,COUNTW INTEGER NOT NULL,COUNTC INTEGER NOT NULL)";
    // The ADIF fields a QSO came with that QSOS has no column for, kept so that an export
    // gives them back: one row per field, in the order they came. Added to a logbook made
    // before it the first time a field is kept; older programs read QSOS as before.
    static constexpr const char *kCreateQsoFields =
        "CREATE TABLE IF NOT EXISTS QSOFIELDS(QSO INTEGER NOT NULL, NAME TEXT NOT NULL, VALUE TEXT NOT NULL);"
        "CREATE INDEX IF NOT EXISTS IDX_QSOFIELDS_QSO ON QSOFIELDS (QSO)";

    // The user-defined fields that imported files declared in their headers, kept so that
    // the export declares them again: the field's name, its ADIF type indicator (may be
    // empty) and its enumeration or range as the file gave it ("{S,M,L}", "{5:20}"; may be
    // empty). One row per name in any letter case. Made by the first import that brings
    // any; older programs never look at it.
    static constexpr const char *kCreateUserFields =
        "CREATE TABLE IF NOT EXISTS USERFIELDS(NAME TEXT NOT NULL UNIQUE COLLATE NOCASE, TYPE TEXT NOT NULL, "
        "LIMITS TEXT NOT NULL)";
    // The index the import asks whether a QSO is already stored through.
    static constexpr const char *kDateTimeIndex = "IDX_QSOS_DATETIME";

    // One kept field of a QSO: its ADIF name and its value, both as stored (UTF-8).
    struct UM_QSOFIELD
    {
        qint64 qso = 0;
        QByteArray name;
        QByteArray value;
    };

    // One user-defined field (USERFIELDS).
    struct UM_USERFIELD
    {
        QByteArray name;
        QByteArray type;
        QByteArray limits;
        bool operator==(const UM_USERFIELD &other) const
        {
            return name == other.name && type == other.type && limits == other.limits;
        }
    };

    Sqlite3DB() = default;
    Sqlite3DB(const Sqlite3DB &) = delete;
    Sqlite3DB &operator=(const Sqlite3DB &) = delete;

    // Logbook files.
    // Makes the file and the tables of a new logbook at path: QSOS with its index, then
    // DXCCREPORT. The only operation that creates a file; every other one needs the file.
    bool CreateLogbook(const QString &path);
    // The versions of a logbook's tables and the migrations between them.
    static const DatabaseSchema &Schema();
    // Gives the logbook the read indexes it lacks, in one transaction; true when it has
    // them all. A logbook that cannot take them (read-only, locked) is read without.
    bool EnsureReadIndexes(const QString &path);

    // Runs `work` on one connection to the logbook at path inside one write transaction:
    // every operation of this store on that path within `work` joins it. Commits when
    // `work` returns true and rolls everything back otherwise; true when committed.
    bool InLogbookTransaction(const QString &path, const std::function<bool()> &work);

    // Every operation reports whether it succeeded; a failure is also logged under
    // korva3.store with SQLite's message.
    //
    // QSOs. The list queries return the newest QSOs up to their limit, oldest first, in
    // `out` (emptied first): true when the query ran, whatever it found.
    bool QueryLatestQsos(QList<UM_RECORD> &out, int count, const QString &path);
    bool QueryQsosByCountry(QList<UM_RECORD> &out, int dxcc, const QString &path);
    bool QueryQsosByCall(QList<UM_RECORD> &out, const QString &callPrefix, const QString &path);
    // The QSOs of the record's call (in any letter case), band and mode code whose start
    // lies within `minutes` of the record's, oldest first.
    bool QueryQsosNear(QList<UM_RECORD> &out, const UM_RECORD &qso, int minutes, const QString &path);
    // The bands and mode codes of the QSOs with exactly this call (in any letter case),
    // each pair once.
    bool QueryBandModesOfCall(QList<UM_BANDMODE> &out, const QString &call, const QString &path);
    // One full record; a missing row gives one record with empty texts and zeros. `out`
    // stays empty when the logbook cannot be read.
    bool QueryQso(QList<UM_RECORD> &out, int rowId, const QString &path);
    // Writes element 0, with its ADIF mode fields and the kept fields given (their QSO
    // numbers are ignored); the new row id, nothing on failure.
    std::optional<int> InsertQso(const QList<UM_RECORD> &in, const QString &path,
                                 const QList<UM_QSOFIELD> &kept = {});
    // Writes every element on a connection the caller opened, at most kBatchRows rows
    // per statement. `lastRowId`, when given, receives the row id of the last one: the
    // rows of one statement take consecutive row ids.
    bool InsertQsoBatch(const QList<UM_RECORD> &in, sqlite3 *db, qint64 *lastRowId = nullptr);
    // Makes QSOFIELDS when the logbook has none yet, on a connection the caller opened.
    static bool EnsureQsoFields(sqlite3 *db);
    // Writes kept fields on a connection the caller opened.
    static bool InsertQsoFields(const QList<UM_QSOFIELD> &fields, sqlite3 *db);
    // Adds user-defined fields on a connection the caller opened, making USERFIELDS when
    // the logbook has none yet; a name the logbook already defines keeps its definition.
    static bool InsertUserFields(const QList<UM_USERFIELD> &fields, sqlite3 *db);
    // The user-defined fields in the order they came; `out` is emptied first. True when
    // they were read (a logbook without USERFIELDS has none).
    bool ReadUserFields(QList<UM_USERFIELD> &out, const QString &path);
    // For writing many QSOs at once, on a connection the caller opened, inside its
    // transaction: SQLite updates an index row by row as rows come, while building one
    // afresh over all rows sorts them once, several times quicker. DropQsoIndexes takes
    // down every index of QSOS made by a statement (not the one of its key, nor the one
    // named `keep`) and returns those statements, nothing on failure; RestoreQsoIndexes
    // runs them again.
    static std::optional<QList<QByteArray>> DropQsoIndexes(sqlite3 *db, const QByteArray &keep = QByteArray());
    static bool RestoreQsoIndexes(sqlite3 *db, const QList<QByteArray> &createStatements);
    // The highest row id of QSOS: about the number of QSOs, without counting them.
    static qint64 HighestQsoRowId(sqlite3 *db);
    bool UpdateQso(const QList<UM_RECORD> &in, const QString &path, int rowId);
    // Sets the kept field NAME of a QSO to `value` (UTF-8), in place of any it had.
    bool ReplaceQsoField(int rowId, const QByteArray &name, const QByteArray &value, const QString &path);
    bool DeleteQso(int rowId, const QString &path);
    // How many QSOs ReadExportQsos would give; -1 when the logbook cannot be read.
    qint64 CountExportQsos(const QString &path, int days);
    // Hands `row` every QSO of the logbook dated after the day `days` days ago (UTC),
    // newest first, as its stored bytes with its kept fields; stops when `row` returns
    // false. False when the logbook cannot be read to the end or `row` stopped.
    bool ReadExportQsos(const QString &path, int days, const std::function<bool(const QsoRow &)> &row);
    // The same for the QSOs of the row ids, in their order; a row that no longer exists
    // is left out.
    bool ReadQsoRows(const QString &path, const QList<qint64> &rowIds, const std::function<bool(const QsoRow &)> &row);

    // DXCC statistics of a logbook.
    bool AddToDxccStats(int dxcc, const QString &band, int mode, int qslRcvd, const QString &path);
    bool RemoveFromDxccStats(int dxcc, const QString &band, int mode, int qslRcvd, const QString &path);
    // A QSO counted in (`sign` +1) or taken out (-1) as confirmed or not, whatever made it
    // so (ConfirmedRule decides); AddToDxccStats and RemoveFromDxccStats count a QSO with
    // QSL received `qslRcvd` and no LoTW confirmation by the logbook's rule.
    bool ChangeDxccCounts(int sign, int dxcc, const QString &band, int mode, bool confirmed, const QString &path);
    // The same on a connection the caller holds; the band as its stored bytes.
    static bool CountDxccStats(sqlite3 *db, int sign, int dxcc, const QByteArray &band, int mode, bool confirmed);
    // The rows of an entity for the three grid modes, CW, SSB and digital, in the order
    // they were written: out[mode - 1].
    bool QueryDxccGrid(std::array<QList<UM_DXCCREPORT>, 3> &out, int dxcc, const QString &path);
    // Replaces DXCCREPORT with the counts of QSOS, confirmed by the logbook's rule
    // (ConfirmedRule), in one transaction; false, with the previous table kept, when any
    // step failed.
    bool RebuildDxccStats(const QString &path);
    // The same on a connection the caller holds inside its own transaction.
    static bool RebuildDxccStats(sqlite3 *db);
    static int BandIndex(const QByteArray &band);
    // Fill the caller's record and return true, or leave it as it was and return false.
    bool GetDxccTotals(DxccTotals &totals, const QString &path);
    bool GetCqZoneGrid(CqZoneGrid &grid, const QString &path);

    // Confirmations of a QSO and the Club Log outbox, inside an enclosing transaction or
    // on a connection of their own (QslStore).
    bool IsLotwConfirmed(qint64 rowId, const QString &path);
    // The rule the logbook's statistics count by (the default when it cannot be read).
    ConfirmedRule RuleOf(const QString &path);
    // `action` as QslStore::Action: 1 send the QSO of `rowId`, 2 delete the QSO of `call`
    // that started at `start` on `band`.
    bool AppendOutbox(int action, qint64 rowId, const QString &call, const QString &start, const QString &band,
                      const QString &path);

    // SQLite's message for the latest failure of a store operation on this thread.
    QString lastError() const;

private:
    friend class LogbookTransaction;

    bool queryQsoList(QList<UM_RECORD> &out, const char *sql, const QString &path,
                      const std::function<void(SqliteStatement &)> &bindParameters);
    static bool readModeFields(sqlite3 *db, QList<UM_RECORD> &records);
    static bool writeModeFields(sqlite3 *db, qint64 rowId, const UM_RECORD &record);
    bool changeDxccStats(int sign, int dxcc, const QString &band, int mode, int qslRcvd,
                         const QString &path);

    sqlite3 *m_dbLogbook = nullptr;
};
