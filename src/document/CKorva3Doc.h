#pragma once

#include "AdifImporter.h"
#include "ConfirmationWriter.h"
#include "store/CqZoneGrid.h"
#include "store/DxccTotals.h"
#include "store/LogbookJournal.h"
#include "store/ProgramDb.h"
#include "store/Sqlite3DB.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

class LogbookWatcher;
class QIODevice;
class QThread;

// One open logbook file, and the windows' only way to it: every operation hands the
// store the document's own path and returns what it found. The reference data comes
// from the program database at ProgramDb::location(), "korva3.sqlite3" in the current
// directory unless a program chose another folder.
//
// The document tells what changed: every committed write is followed by its signals,
// and windows refresh from those alone. A logbook written by another program while it
// is open is noticed (watchForOutsideChanges) and told as changedOutside.
//
// While a document has its logbook open, the logbook is in SQLite's WAL mode where it
// can be (see LogbookJournal), so readers and the writer never wait for each other.
//
// A failed write is told to the operator here, once (a message box through the
// Prompter for the operator's own commands); the windows say nothing more. Writes
// through the record-level way in (AddAdifRecords) say nothing: their callers decide.
class CKorva3Doc : public QObject
{
    Q_OBJECT

public:
    using Record = Sqlite3DB::UM_RECORD;

    // What opening found: a logbook at this program's version (an older one is brought
    // up to it after a copy), one that can only be read, or a file that is no logbook.
    enum class OpenState { Ready, ReadOnly, NotALogbook };

    // `path` is the logbook file. Call-sign resolution and the reference lists use only
    // the program database, so a document made for them alone may have an empty path.
    // An existing logbook of an older version is migrated here; openState() and
    // openMessage() tell how that went.
    explicit CKorva3Doc(const QString &path, QObject *parent = nullptr);
    ~CKorva3Doc() override;

    const QString &pathName() const { return m_pathName; }
    // The file name without its folder.
    const QString &title() const { return m_title; }

    OpenState openState() const { return m_openState; }
    // For the operator, when opening has something to say (read-only, migrated, not a
    // logbook); empty otherwise.
    const QString &openMessage() const { return m_openMessage; }
    bool isReadOnly() const { return m_openState == OpenState::ReadOnly; }
    bool isLogbook() const { return m_openState != OpenState::NotALogbook; }

    // Polls the logbook for writes of other programs (korva3-cli, a second Korva3) every
    // `intervalMs`; the windows' documents do, command-line ones need not.
    void watchForOutsideChanges(int intervalMs = 1000);
    // Changed since the last backup (by this program or another one), and when that
    // backup was taken (or the document opened, when none was taken since).
    bool changedSinceBackup() const { return m_changedSinceBackup; }
    QDateTime lastBackup() const { return m_lastBackup; }
    void backupTaken(const QDateTime &when);

    // --- The program database ------------------------------------------------------
    // Call-sign resolution: the DXCC entity of a call, or 0.
    int ResolveCallsign(const QString &call);
    // The entity's record with the zones of the call; nothing when the program database
    // cannot be read.
    std::optional<ProgramDb::UM_COUNTRYINFO> GetCountryInfo(int dxccId, const QString &call);
    // The QSL manager of a call; empty when it has none or the lookup failed.
    QString GetQslManager(const QString &call);
    // A parameter's stored bytes; nothing when the program database cannot be read.
    std::optional<QByteArray> GetParameter(const QByteArray &name);
    bool SetParameter(const QString &name, const QString &value);
    // The station profiles and the active one's id; false when they cannot be read.
    bool LoadStationProfiles(QList<StationProfile> &profiles, qint32 &activeId);
    bool SaveStationProfiles(const QList<StationProfile> &profiles, int activeIndex);
    // The active profile; nothing when there is none or it cannot be read.
    std::optional<StationProfile> ActiveStationProfile();
    // The active profile's values a new QSO keeps, as ADIF fields.
    QList<Sqlite3DB::UM_QSOFIELD> StationFields();
    // Fills the four code lists; a list whose load fails stays empty.
    void LoadReferenceLists();
    // The band label of a frequency text read as MHz or as kHz, or an empty text.
    static QString BandFromFrequency(const QString &frequency);

    // --- QSOs ----------------------------------------------------------------------
    // The newest QSOs up to their limit, oldest first; empty when none or on failure.
    QList<Record> LoadLatestQsos(int count);
    // The newest 100 QSOs whose call begins with the text.
    QList<Record> FindQsosByCall(const QString &callPrefix);
    // The newest 100 QSOs of an entity.
    QList<Record> FindQsosByCountry(int dxcc);
    // A QSO of the same call, band and mode as `qso` (shown by the same name) that started
    // within `minutes` of it: the one the operator may be logging twice.
    std::optional<Record> FindQsoNear(const Record &qso, int minutes);
    // The bands and mode codes the call was worked on (exactly this call, in any letter
    // case); empty when none or on failure.
    QList<Sqlite3DB::UM_BANDMODE> FindBandModesOfCall(const QString &call);
    // One full QSO; a row that no longer exists reads as a record of empty fields.
    // Nothing when the logbook cannot be read.
    std::optional<Record> ReadQso(int rowId);
    // The QSO a window is about to change or delete, read anew: nothing, after "Error
    // retrieving qso data from database..." was said, when it cannot be read or no
    // longer exists (deleted from another window or program).
    std::optional<Record> ReadQsoToChange(int rowId);

    // The operator's writes. Each changes the QSO and the DXCC statistics together, in
    // one transaction, so the two never disagree; a QSO of no entity (country 0) has no
    // place in the statistics. A write that fails changes nothing and says "Error
    // writing to database..." (or why the logbook is read-only).
    //
    // Inserts the QSO (its rowId is ignored) with the ADIF fields given to keep beside it
    // (the station's, for one), and counts it in. Returns the new row id, 0 on failure.
    int AddQso(const Record &qso, const QList<Sqlite3DB::UM_QSOFIELD> &kept = {});
    // Writes `changed` over the QSO `rowId`; the statistics follow when its entity, band,
    // mode or QSL received changed. False when the write failed or the QSO no longer
    // exists. Each of `kept` (its qso ignored) replaces the kept field of its name.
    bool ChangeQso(int rowId, const Record &changed, const QList<Sqlite3DB::UM_QSOFIELD> &kept = {});
    // Deletes the QSO and rebuilds the statistics from the QSOs that remain.
    bool DeleteQso(int rowId);

    // --- Statistics ----------------------------------------------------------------
    // One QSO's state counted into or taken out of the DXCC statistics on its own.
    void CountQsoInStatistics(int dxcc, const QString &band, int mode, int qslRcvd);
    void RemoveQsoFromStatistics(int dxcc, const QString &band, int mode, int qslRcvd);
    // The worked and confirmed counts of an entity per band for the grid modes: [0] CW,
    // [1] SSB, [2] digital.
    std::array<QList<Sqlite3DB::UM_DXCCREPORT>, 3> QueryDxccGrid(int dxcc);
    // The report figures, read anew; when the logbook cannot be read, those read last.
    const DxccTotals &ReadDxccTotals();
    const CqZoneGrid &ReadCqZoneGrid();
    // "Rebuild dxcc stat": rebuilds DXCCREPORT from the QSOs and says "DXCC statistics
    // rebuilt", or "Error writing to database..." when the rebuild failed (the previous
    // table is then kept). True when rebuilt.
    bool OnRebuildDxccStat();

    // --- ADIF ----------------------------------------------------------------------
    // "Import Adif": asks for an ADIF file and adds its records to the logbook.
    void OnImportAdif();
    // The import of a chosen file with its progress display and messages: "Cannot open
    // Adif file...", "... is not a regular file", "Program database not found...", "Error
    // open database", "... is not a logbook" (nothing written), at most one write failure
    // ("Error writing to database" for a refused batch, which is left out while reading
    // goes on; "Error writing to database..." for a failure that undid the whole import),
    // "The Adif file could not be read to its end..." when it was not, then "%d Qso
    // Records added" with the number of records stored (and ", %d duplicates skipped"
    // when records repeated QSOs).
    AdifImporter::Result ImportAdifFile(const QString &filePath);
    // The record-level way in: the ADIF records of any byte source (a file, a datagram,
    // one record in memory; a header is skipped when there is one) through the same
    // path as an import: mapping, entity resolution, kept fields, statistics, one
    // transaction, the signals. Says nothing to the operator; the result tells.
    AdifImporter::Result AddAdifRecords(QIODevice &source);
    AdifImporter::Result AddAdifRecord(const QByteArray &adif);
    // "Export Adif": asks for a file and writes the QSOs of the export period to it.
    void OnExportAdif();
    // The export to a chosen file (ADIF's XML form when its name ends in ".adx"); on
    // success says "Logbook %s exported to file %s". A file that is a database (this
    // logbook, another one, the program database), a database's companion file
    // (-journal, -wal, -shm) or no regular file (a device, a FIFO, a folder) is refused
    // with "This file cannot be overwritten"; "Cannot create Adif file..." and "Error
    // writing Adif file..." say why the file was not written.
    bool ExportAdifFile(const QString &filePath);
    // Days of an export period code; any code but 1 to 5 means all (36500 days).
    static int ExportDays(int periodCode);

    // --- Confirmations --------------------------------------------------------------
    // Runs `work` in one write transaction of its own, as a download's confirmations
    // are written: committed when `work` returns true, else rolled back. After the commit
    // the windows hear of it (statisticsChanged(0), confirmationsChanged, changed). Says
    // nothing to the operator: false when the logbook is only read or a write failed,
    // and lastWriteError() tells why.
    using ConfirmationWork = std::function<bool(ConfirmationWriter &)>;
    bool WriteConfirmations(const ConfirmationWork &work);
    // The same on a thread of its own, so that the windows go on meanwhile; `work` must
    // touch nothing but the writer and what it owns. `done` runs on this document's
    // thread with the outcome. A document that goes waits for the work first.
    void WriteConfirmationsInBackground(ConfirmationWork work, std::function<void(bool written)> done);
    QString lastWriteError() const { return m_lastWriteError; }
    // The confirmations that matched no QSO, by the QSO's start.
    QList<QslStore::Unmatched> UnmatchedConfirmations();
    // A named value the logbook keeps (the date a download goes on from); nothing when
    // it has none or cannot be read.
    std::optional<QString> LogbookValue(const QString &name);
    // For each row id, the values of LOTW_QSL_RCVD, LOTW_QSL_SENT, EQSL_QSL_RCVD and
    // EQSL_QSL_SENT (empty where the QSO has none).
    QHash<int, QStringList> ReadQslStates(const QList<int> &rowIds);

    // Uploads. The QSOs a service has not got yet (QslStates), oldest first; for LoTW
    // only those of `stationCall` (STATION_CALLSIGN, any letter case) or without one,
    // all when it is empty.
    QList<qint64> QsosDueForUpload(ConfirmationWriter::Service service, const QString &stationCall = QString());
    // The ADIF file of the QSOs: a header, then each as the export writes it. Nothing
    // when the logbook cannot be read.
    std::optional<QByteArray> AdifOfQsos(const QList<qint64> &rowIds);
    // The service took the QSOs: LoTW's Q with the time of the upload (until its records
    // show them), eQSL's Y with the date. One transaction; says nothing.
    bool MarkUploaded(ConfirmationWriter::Service service, const QList<qint64> &rowIds, const QDateTime &whenUtc);

    // What counts as confirmed in this logbook's statistics, and a new rule applied: the
    // statistics rebuilt by it in one transaction (nothing happens when it is the rule
    // already). Every open document takes Setup's choice when it opens.
    ConfirmedRule confirmedRule();
    bool ApplyConfirmedRule(ConfirmedRule rule);
    static void ApplyConfirmedRuleEverywhere(ConfirmedRule rule);

    // The Club Log outbox: while it is kept, every QSO added, changed or deleted by the
    // operator's commands or taken in through AddAdifRecords gets an entry in the same
    // transaction (a change sends a delete of the QSO as it was, then the QSO). The
    // sender reads and removes them.
    void setClubLogOutbox(bool keep) { m_clubLogOutbox = keep; }
    bool keepsClubLogOutbox() const { return m_clubLogOutbox; }
    QList<QslStore::OutboxEntry> ReadOutbox();
    bool RemoveOutboxEntry(qint64 id);

    // What a failed write tells the operator: "Error writing to database...", and on a
    // second line "The logbook is in use by another program" when another program held
    // the logbook past the busy timeout (this thread gave up waiting for a lock since
    // SlotConnection::lockWaitsGivenUp() was `lockWaitsBefore`).
    static QString WriteFailureText(quint64 lockWaitsBefore);

    // ADIF export period: 0 all, 1 one year, 2 six months, 3 three months, 4 one month,
    // 5 one week. Read from parameter "adifexport" when the document is made.
    qint32 m_adifPeriod = 0;
    // The code lists, as LoadReferenceLists left them.
    QList<ProgramDb::UM_COMBOBOX> m_modes;
    QList<ProgramDb::UM_COMBOBOX> m_qslSentList;
    QList<ProgramDb::UM_COMBOBOX> m_qslRcvdList;
    QList<ProgramDb::UM_COMBOBOX> m_countries;

signals:
    // After each committed write of this program. An entity of 0 means the statistics
    // of any entity may have changed (a rebuild, an import).
    void qsoAdded(int rowId);
    void qsoChanged(int rowId);
    void qsoDeleted(int rowId);
    void qsosImported(int count);
    void statisticsChanged(int entity);
    // Another program wrote the logbook: anything may have changed.
    void changedOutside();
    // Any of the above: for windows that read everything again whatever changed.
    void changed();
    // A download changed QSL states or the list of unmatched confirmations.
    void confirmationsChanged();
    // Entries joined the Club Log outbox.
    void outboxChanged();

private:
    void openLogbook();
    bool refuseWrite();
    void writeFailed();
    void committed();
    bool countIn(const Record &qso, bool lotwConfirmed = false);
    bool takeOut(const Record &qso, bool lotwConfirmed = false);
    bool appendOutbox(QslStore::Action action, const Record &qso, qint64 rowId);
    void applySettingsRule();
    void finishConfirmations(bool written);
    AdifImporter::Result importFrom(AdifImporter &importer, const std::function<void(int)> &progress,
                                    const std::function<void(AdifImporter::Failure)> &failure);
    bool isProtectedExportTarget(const QString &filePath) const;
    bool writeAdifFile(const QString &filePath);

    Sqlite3DB m_db;
    ProgramDb m_programDb;
    DxccTotals m_dxccTotals;
    CqZoneGrid m_cqZoneGrid;
    QString m_pathName;
    QString m_title;
    OpenState m_openState = OpenState::Ready;
    QString m_openMessage;
    // Goes after the watcher, whose connection must be closed before the logbook can
    // leave WAL mode.
    LogbookJournal m_journal;
    std::unique_ptr<LogbookWatcher> m_watcher;
    bool m_changedSinceBackup = false;
    QDateTime m_lastBackup;
    bool m_clubLogOutbox = false;
    QString m_lastWriteError;
    QList<QThread *> m_workers;
    // The thread's lock waits given up when the write in progress started.
    quint64 m_lockWaitsGivenUp = 0;
};
