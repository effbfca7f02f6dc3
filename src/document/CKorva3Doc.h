#pragma once

#include "AdifImporter.h"
#include "store/CqZoneGrid.h"
#include "store/DxccTotals.h"
#include "store/ProgramDb.h"
#include "store/Sqlite3DB.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

// One open logbook file, and the windows' only way to it: every operation hands the
// store the document's own path and returns what it found. The reference data comes
// from the program database "korva3.sqlite3" in the current directory.
class CKorva3Doc : public QObject
{
    Q_OBJECT

public:
    using Record = Sqlite3DB::UM_RECORD;

    // `path` is the logbook file. Call-sign resolution and the reference lists use only
    // the program database, so a document made for them alone may have an empty path.
    explicit CKorva3Doc(const QString &path, QObject *parent = nullptr);

    const QString &pathName() const { return m_pathName; }
    // The file name without its folder.
    const QString &title() const { return m_title; }

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
    // One full QSO; a row that no longer exists reads as a record of empty fields.
    // Nothing when the logbook cannot be read.
    std::optional<Record> ReadQso(int rowId);

    // The writes. Each changes the QSO and the DXCC statistics together, in one
    // transaction, so the two never disagree; a QSO of no entity (country 0) has no place
    // in the statistics. A write that fails changes nothing.
    //
    // Inserts the QSO (its rowId is ignored) and counts it in. Returns the new row id,
    // 0 on failure.
    int AddQso(const Record &qso);
    // Writes `changed` over the QSO `rowId`; the statistics follow when its entity, band,
    // mode or QSL received changed. False when the write failed or the QSO no longer
    // exists.
    bool ChangeQso(int rowId, const Record &changed);
    // Deletes the QSO and rebuilds the statistics from the QSOs that remain.
    bool DeleteQso(int rowId);

    // --- Statistics ----------------------------------------------------------------
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
    // Adif file...", "Error open database" (nothing written), at most one write failure
    // ("Error writing to database" for a refused batch, which is left out while reading
    // goes on; "Error writing to database..." for a failure that undid the whole import),
    // then "%d Qso Records added" with the number of records stored.
    AdifImporter::Result ImportAdifFile(const QString &filePath);
    // "Export Adif": asks for a file and writes the QSOs of the export period to it.
    void OnExportAdif();
    // The export to a chosen file; on success says "Logbook %s exported to file %s". A
    // file that is a database (this logbook, another one, the program database) is
    // refused with "This file cannot be overwritten"; "Cannot create Adif file..." and
    // "Error writing Adif file..." say why the file was not written.
    bool ExportAdifFile(const QString &filePath);
    // Days of an export period code; any code but 1 to 5 means all (36500 days).
    static int ExportDays(int periodCode);

    // ADIF export period: 0 all, 1 one year, 2 six months, 3 three months, 4 one month,
    // 5 one week. Read from parameter "adifexport" when the document is made.
    qint32 m_adifPeriod = 0;
    // The code lists, as LoadReferenceLists left them.
    QList<ProgramDb::UM_COMBOBOX> m_modes;
    QList<ProgramDb::UM_COMBOBOX> m_qslSentList;
    QList<ProgramDb::UM_COMBOBOX> m_qslRcvdList;
    QList<ProgramDb::UM_COMBOBOX> m_countries;

private:
    bool countIn(const Record &qso);
    bool takeOut(const Record &qso);
    bool isProtectedExportTarget(const QString &filePath) const;
    bool writeAdifFile(const QString &filePath);

    Sqlite3DB m_db;
    ProgramDb m_programDb;
    DxccTotals m_dxccTotals;
    CqZoneGrid m_cqZoneGrid;
    QString m_pathName;
    QString m_title;
};
