#include "CKorva3Doc.h"

#include "CallsignIndex.h"
#include "LogbookWatcher.h"
#include "ProgressScope.h"
#include "adif/AdifWriter.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"
#include "store/BandPlan.h"

#include "store/DatabaseSchema.h"
#include "store/QsoModes.h"
#include "store/SlotConnection.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>

namespace {

const char kWriteError[] = "Error writing to database...";
const char kInUse[] = "The logbook is in use by another program";

} // namespace

CKorva3Doc::CKorva3Doc(const QString &path, QObject *parent)
    : QObject(parent)
    , m_pathName(path)
    , m_title(QFileInfo(path).fileName())
    , m_lastBackup(QDateTime::currentDateTimeUtc())
{
    // A parameter that cannot be read counts as 0: all QSOs.
    m_adifPeriod = Numbers::atoi(GetParameter("adifexport").value_or(QByteArray()));
    if (!path.isEmpty() && QFileInfo::exists(path))
        openLogbook();
}

CKorva3Doc::~CKorva3Doc() = default;

// An older logbook is brought up to this program's version (after a copy of it); one of
// a newer program is only read, never written, so nothing it keeps is lost. A logbook
// that cannot be written (a read-only file) is read as it is, and its writes fail as
// they come. A file without the logbook's tables is left alone.
void CKorva3Doc::openLogbook()
{
    const DatabaseSchema &schema = Sqlite3DB::Schema();
    int version = 0;
    switch (schema.inspect(m_pathName, &version)) {
    case DatabaseSchema::State::Newer:
        m_openState = OpenState::ReadOnly;
        m_openMessage = QStringLiteral("The logbook %1 has schema version %2, newer than this Korva3 knows (%3). "
                                       "It is opened read-only: nothing can be added or changed.")
                            .arg(m_title)
                            .arg(version)
                            .arg(schema.currentVersion());
        return;
    case DatabaseSchema::State::Foreign:
        // The program database, or any other SQLite file: adding a QSO to it would fail,
        // and nothing of a logbook is to be written into it.
        m_openState = OpenState::NotALogbook;
        m_openMessage = QStringLiteral("%1 is no logbook: it has no table of QSOs.").arg(m_pathName);
        return;
    case DatabaseSchema::State::Unreadable:
        return;
    case DatabaseSchema::State::Older:
        if (QFileInfo(m_pathName).isWritable()) {
            QString error;
            if (!schema.migrate(m_pathName, version, &error)) {
                m_openState = OpenState::ReadOnly;
                m_openMessage = QStringLiteral("The logbook %1 could not be brought up to date (%2). It is opened "
                                               "read-only: nothing can be added or changed.")
                                    .arg(m_title, error);
                return;
            }
        }
        break;
    case DatabaseSchema::State::Current: break;
    }
    m_db.EnsureReadIndexes(m_pathName);
    if (QFileInfo(m_pathName).isWritable())
        m_journal.useWal(m_pathName);
}

void CKorva3Doc::watchForOutsideChanges(int intervalMs)
{
    if (m_pathName.isEmpty())
        return;
    if (!m_watcher) {
        m_watcher = std::make_unique<LogbookWatcher>(m_pathName);
        connect(m_watcher.get(), &LogbookWatcher::changedOutside, this, [this] {
            m_changedSinceBackup = true;
            emit changedOutside();
            emit changed();
        });
    }
    m_watcher->start(intervalMs);
}

void CKorva3Doc::backupTaken(const QDateTime &when)
{
    m_lastBackup = when;
    m_changedSinceBackup = false;
}

// Before every write: a logbook only read says why, and the write does not start.
bool CKorva3Doc::refuseWrite()
{
    m_lockWaitsGivenUp = SlotConnection::lockWaitsGivenUp();
    if (m_openState == OpenState::Ready)
        return false;
    Prompter::current().error(m_openMessage);
    return true;
}

void CKorva3Doc::writeFailed()
{
    Prompter::current().error(WriteFailureText(m_lockWaitsGivenUp));
}

QString CKorva3Doc::WriteFailureText(quint64 lockWaitsBefore)
{
    if (SlotConnection::lockWaitsGivenUp() == lockWaitsBefore)
        return QLatin1String(kWriteError);
    return QLatin1String(kWriteError) + QLatin1Char('\n') + QLatin1String(kInUse);
}

// After every committed write, before its signals: the watcher is not to take it for
// another program's.
void CKorva3Doc::committed()
{
    m_changedSinceBackup = true;
    if (m_watcher)
        m_watcher->takeOwnWrite();
    emit changed();
}

// --- The program database -----------------------------------------------------------

int CKorva3Doc::ResolveCallsign(const QString &call)
{
    return CallsignIndex::current()->resolve(call);
}

std::optional<ProgramDb::UM_COUNTRYINFO> CKorva3Doc::GetCountryInfo(int dxccId, const QString &call)
{
    ProgramDb::UM_COUNTRYINFO info;
    if (!CallsignIndex::current()->countryInfo(dxccId, call, info))
        return std::nullopt;
    return info;
}

QString CKorva3Doc::GetQslManager(const QString &call)
{
    return m_programDb.GetQslManager(call).value_or(QString());
}

std::optional<QByteArray> CKorva3Doc::GetParameter(const QByteArray &name)
{
    return m_programDb.GetParameter(name);
}

bool CKorva3Doc::SetParameter(const QString &name, const QString &value)
{
    return m_programDb.SetParameter(name, value);
}

bool CKorva3Doc::LoadStationProfiles(QList<StationProfile> &profiles, qint32 &activeId)
{
    return m_programDb.LoadStationProfiles(profiles, activeId);
}

bool CKorva3Doc::SaveStationProfiles(const QList<StationProfile> &profiles, int activeIndex)
{
    return m_programDb.SaveStationProfiles(profiles, activeIndex);
}

std::optional<StationProfile> CKorva3Doc::ActiveStationProfile()
{
    QList<StationProfile> profiles;
    qint32 activeId = 0;
    if (!LoadStationProfiles(profiles, activeId))
        return std::nullopt;
    for (const StationProfile &profile : std::as_const(profiles)) {
        if (profile.id == activeId)
            return profile;
    }
    return std::nullopt;
}

QList<Sqlite3DB::UM_QSOFIELD> CKorva3Doc::StationFields()
{
    QList<Sqlite3DB::UM_QSOFIELD> kept;
    const std::optional<StationProfile> profile = ActiveStationProfile();
    if (!profile)
        return kept;
    for (qsizetype i = 0; i < StationProfile::fields().size(); ++i) {
        const StationProfile::Field &field = StationProfile::fields().at(i);
        if (field.keptOnQso && !profile->values.at(i).isEmpty())
            kept.append({0, field.adifName, profile->values.at(i).toUtf8()});
    }
    return kept;
}

void CKorva3Doc::LoadReferenceLists()
{
    m_programDb.LoadCodeList(m_modes, ProgramDb::kModesQuery);
    m_programDb.LoadCodeList(m_qslSentList, ProgramDb::kQslSentQuery);
    m_programDb.LoadCodeList(m_qslRcvdList, ProgramDb::kQslRcvdQuery);
    m_programDb.LoadCodeList(m_countries, ProgramDb::kCountriesQuery);
}

QString CKorva3Doc::BandFromFrequency(const QString &frequency)
{
    return BandPlan::bandOf(frequency.toLatin1());
}

// --- QSOs ---------------------------------------------------------------------------

QList<CKorva3Doc::Record> CKorva3Doc::LoadLatestQsos(int count)
{
    QList<Record> records;
    m_db.QueryLatestQsos(records, count, m_pathName);
    return records;
}

QList<CKorva3Doc::Record> CKorva3Doc::FindQsosByCall(const QString &callPrefix)
{
    QList<Record> records;
    m_db.QueryQsosByCall(records, callPrefix, m_pathName);
    return records;
}

QList<CKorva3Doc::Record> CKorva3Doc::FindQsosByCountry(int dxcc)
{
    QList<Record> records;
    m_db.QueryQsosByCountry(records, dxcc, m_pathName);
    return records;
}

QList<Sqlite3DB::UM_BANDMODE> CKorva3Doc::FindBandModesOfCall(const QString &call)
{
    QList<Sqlite3DB::UM_BANDMODE> pairs;
    m_db.QueryBandModesOfCall(pairs, call, m_pathName);
    return pairs;
}

std::optional<CKorva3Doc::Record> CKorva3Doc::ReadQso(int rowId)
{
    QList<Record> records;
    if (!m_db.QueryQso(records, rowId, m_pathName) || records.isEmpty())
        return std::nullopt;
    return records.first();
}

std::optional<CKorva3Doc::Record> CKorva3Doc::FindQsoNear(const Record &qso, int minutes)
{
    QList<Record> near;
    m_db.QueryQsosNear(near, qso, minutes, m_pathName);
    const QString mode = QsoModes::shownName(qso.mode, qso.adifMode, qso.adifSubmode);
    for (const Record &found : std::as_const(near)) {
        if (QsoModes::shownName(found.mode, found.adifMode, found.adifSubmode).compare(mode, Qt::CaseInsensitive) == 0)
            return found;
    }
    return std::nullopt;
}

std::optional<CKorva3Doc::Record> CKorva3Doc::ReadQsoToChange(int rowId)
{
    const std::optional<Record> qso = ReadQso(rowId);
    if (!qso || qso->call.isEmpty()) {
        Prompter::current().error(QStringLiteral("Error retrieving qso data from database..."));
        return std::nullopt;
    }
    return qso;
}

int CKorva3Doc::AddQso(const Record &qso, const QList<Sqlite3DB::UM_QSOFIELD> &kept)
{
    if (refuseWrite())
        return 0;
    Record stored = qso;
    stored.rowId = 0;
    std::optional<int> rowId;
    const bool added = m_db.InLogbookTransaction(m_pathName, [&] {
        rowId = m_db.InsertQso({stored}, m_pathName, kept);
        return rowId && countIn(stored);
    });
    if (!added) {
        writeFailed();
        return 0;
    }
    committed();
    emit qsoAdded(*rowId);
    emit statisticsChanged(stored.country);
    return *rowId;
}

bool CKorva3Doc::ChangeQso(int rowId, const Record &changed, const QList<Sqlite3DB::UM_QSOFIELD> &kept)
{
    if (refuseWrite())
        return false;
    Record old;
    const bool written = m_db.InLogbookTransaction(m_pathName, [&] {
        // The stored QSO, not a copy read earlier: another window may have changed it.
        QList<Record> stored;
        if (!m_db.QueryQso(stored, rowId, m_pathName) || stored.isEmpty() || stored.first().call.isEmpty())
            return false;
        old = stored.first();
        if (!m_db.UpdateQso({changed}, m_pathName, rowId))
            return false;
        for (const Sqlite3DB::UM_QSOFIELD &field : kept) {
            if (!m_db.ReplaceQsoField(rowId, field.name, field.value, m_pathName))
                return false;
        }
        if (changed.country == old.country && changed.band == old.band && changed.mode == old.mode
            && changed.qslRcvd == old.qslRcvd)
            return true;
        return countIn(changed) && takeOut(old);
    });
    if (!written) {
        writeFailed();
        return false;
    }
    committed();
    emit qsoChanged(rowId);
    emit statisticsChanged(old.country);
    if (changed.country != old.country)
        emit statisticsChanged(changed.country);
    return true;
}

bool CKorva3Doc::DeleteQso(int rowId)
{
    if (refuseWrite())
        return false;
    const bool deleted = m_db.InLogbookTransaction(m_pathName, [&] {
        return m_db.DeleteQso(rowId, m_pathName) && m_db.RebuildDxccStats(m_pathName);
    });
    if (!deleted) {
        writeFailed();
        return false;
    }
    committed();
    emit qsoDeleted(rowId);
    emit statisticsChanged(0);
    return true;
}

// --- DXCC statistics ----------------------------------------------------------------

void CKorva3Doc::CountQsoInStatistics(int dxcc, const QString &band, int mode, int qslRcvd)
{
    if (m_openState == OpenState::Ready && m_db.AddToDxccStats(dxcc, band, mode, qslRcvd, m_pathName)) {
        committed();
        emit statisticsChanged(dxcc);
    }
}

void CKorva3Doc::RemoveQsoFromStatistics(int dxcc, const QString &band, int mode, int qslRcvd)
{
    if (m_openState == OpenState::Ready && m_db.RemoveFromDxccStats(dxcc, band, mode, qslRcvd, m_pathName)) {
        committed();
        emit statisticsChanged(dxcc);
    }
}

// The rebuild leaves QSOs of no entity out, and so do the steps that keep the table up
// to date between rebuilds.
bool CKorva3Doc::countIn(const Record &qso)
{
    return qso.country == 0 || m_db.AddToDxccStats(qso.country, qso.band, qso.mode, qso.qslRcvd, m_pathName);
}

bool CKorva3Doc::takeOut(const Record &qso)
{
    return qso.country == 0
        || m_db.RemoveFromDxccStats(qso.country, qso.band, qso.mode, qso.qslRcvd, m_pathName);
}

std::array<QList<Sqlite3DB::UM_DXCCREPORT>, 3> CKorva3Doc::QueryDxccGrid(int dxcc)
{
    std::array<QList<Sqlite3DB::UM_DXCCREPORT>, 3> grid;
    m_db.QueryDxccGrid(grid, dxcc, m_pathName);
    return grid;
}

const DxccTotals &CKorva3Doc::ReadDxccTotals()
{
    m_db.GetDxccTotals(m_dxccTotals, m_pathName);
    return m_dxccTotals;
}

const CqZoneGrid &CKorva3Doc::ReadCqZoneGrid()
{
    m_db.GetCqZoneGrid(m_cqZoneGrid, m_pathName);
    return m_cqZoneGrid;
}

bool CKorva3Doc::OnRebuildDxccStat()
{
    if (refuseWrite())
        return false;
    if (!m_db.RebuildDxccStats(m_pathName)) {
        writeFailed();
        return false;
    }
    committed();
    emit statisticsChanged(0);
    Prompter::current().plain(QStringLiteral("DXCC statistics rebuilt"));
    return true;
}

// --- ADIF ---------------------------------------------------------------------------

namespace {

const char kAdifFilter[] = "Adif Files (*.adi)|*.adi|All Files (*.*)|*.*||";

// Records without DXCC get their entity from the program database: without one they
// would all be stored as entity 0.
bool hasProgramDatabase()
{
    const DatabaseSchema::State state = ProgramDb::Schema().inspect(QLatin1String(ProgramDb::kProgramDatabase));
    return state != DatabaseSchema::State::Foreign && state != DatabaseSchema::State::Unreadable;
}

QString importedText(const AdifImporter::Result &result)
{
    const QString added = QStringLiteral("%1 Qso Records added").arg(result.added);
    return result.duplicates == 0 ? added : added + QStringLiteral(", %1 duplicates skipped").arg(result.duplicates);
}

// The companion files SQLite keeps beside a database while it writes it.
bool isDatabaseCompanion(const QString &filePath)
{
    for (const char *suffix : {"-journal", "-wal", "-shm"}) {
        if (filePath.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

void CKorva3Doc::OnImportAdif()
{
    Prompter::FileRequest request;
    request.kind = Prompter::FileRequest::Kind::Open;
    request.title = QStringLiteral("Import Adif file");
    request.filter = QLatin1String(kAdifFilter);
    request.defaultExtension = QStringLiteral("adi");
    request.mustExist = true;
    const QString filePath = Prompter::current().chooseFile(request);
    if (!filePath.isEmpty())
        ImportAdifFile(filePath);
}

AdifImporter::Result CKorva3Doc::ImportAdifFile(const QString &filePath)
{
    Prompter &prompter = Prompter::current();
    AdifImporter importer;
    if (refuseWrite()) {
        AdifImporter::Result refused = importer.result();
        if (!isLogbook())
            refused.status = AdifImporter::Status::NotALogbook;
        return refused;
    }
    if (!importer.openFile(filePath)) {
        prompter.plain(importer.result().status == AdifImporter::Status::NotAFile
                           ? QStringLiteral("%1 is not a regular file: nothing imported").arg(filePath)
                           : QStringLiteral("Cannot open Adif file..."));
        return importer.result();
    }
    if (!importer.skipHeader())
        return importer.result();
    if (!hasProgramDatabase()) {
        prompter.plain(QStringLiteral("Program database not found: %1. Records without DXCC would get no "
                                      "entity: nothing imported")
                           .arg(QLatin1String(ProgramDb::kProgramDatabase)));
        AdifImporter::Result refused = importer.result();
        refused.status = AdifImporter::Status::NoProgramDatabase;
        return refused;
    }
    ProgressScope progress(QStringLiteral("Add database"));
    const AdifImporter::Result result = importFrom(
        importer, [&progress](int percent) { progress.setPercent(percent); },
        [this, &prompter](AdifImporter::Failure failure) {
            prompter.plain(failure == AdifImporter::Failure::BatchRefused ? QStringLiteral("Error writing to database")
                                                                          : WriteFailureText(m_lockWaitsGivenUp));
        });
    if (result.status == AdifImporter::Status::Imported) {
        if (!result.unreadRest.isEmpty())
            prompter.plain(QStringLiteral("The Adif file could not be read to its end (%1): the records after that "
                                          "point are missing")
                               .arg(result.unreadRest));
        prompter.plain(importedText(result));
    } else if (result.status == AdifImporter::Status::CannotOpenDatabase) {
        prompter.plain(QStringLiteral("Error open database"));
    } else if (result.status == AdifImporter::Status::NotALogbook) {
        prompter.plain(QStringLiteral("%1 is not a logbook: nothing imported").arg(m_title));
    }
    return result;
}

AdifImporter::Result CKorva3Doc::AddAdifRecords(QIODevice &source)
{
    AdifImporter importer;
    if (m_openState != OpenState::Ready)
        return importer.result();
    importer.setSource(source);
    if (!importer.skipHeader())
        return importer.result();
    return importFrom(importer, {}, {});
}

AdifImporter::Result CKorva3Doc::AddAdifRecord(const QByteArray &adif)
{
    QBuffer buffer;
    buffer.setData(adif);
    buffer.open(QIODevice::ReadOnly);
    return AddAdifRecords(buffer);
}

// The one way records come in, once the header is read: the records, then the signals
// of what was stored.
AdifImporter::Result CKorva3Doc::importFrom(AdifImporter &importer, const std::function<void(int)> &progress,
                                           const std::function<void(AdifImporter::Failure)> &failure)
{
    importer.setProgressHandler(progress);
    importer.setWriteFailureHandler(failure);
    importer.importInto(m_pathName);
    const AdifImporter::Result &result = importer.result();
    if (result.added > 0) {
        committed();
        emit qsosImported(result.added);
        emit statisticsChanged(0);
    }
    return result;
}

void CKorva3Doc::OnExportAdif()
{
    Prompter::FileRequest request;
    request.kind = Prompter::FileRequest::Kind::Save;
    request.title = QStringLiteral("Export Adif file");
    request.filter = QLatin1String(kAdifFilter);
    request.defaultExtension = QStringLiteral("adi");
    request.confirmOverwrite = true;
    const QString filePath = Prompter::current().chooseFile(request);
    if (!filePath.isEmpty())
        ExportAdifFile(filePath);
}

// An export never overwrites a database: the open logbook (whatever its content), or
// any other SQLite database, or a companion file SQLite writes beside one (a hot journal
// is part of its database). Nor does it replace what is no regular file: a device, a
// FIFO, a folder.
bool CKorva3Doc::isProtectedExportTarget(const QString &filePath) const
{
    const QFileInfo target(filePath);
    if (isDatabaseCompanion(target.fileName()))
        return true;
    if (!target.exists())
        return target.isSymLink(); // a link to nothing: where it would write is unknown
    if (!target.isFile())
        return true;
    if (target.canonicalFilePath() == QFileInfo(m_pathName).canonicalFilePath())
        return true;
    return SlotConnection::holdsDatabase(filePath);
}

bool CKorva3Doc::ExportAdifFile(const QString &filePath)
{
    if (!isLogbook()) {
        Prompter::current().plain(m_openMessage);
        return false;
    }
    if (isProtectedExportTarget(filePath)) {
        Prompter::current().plain(QStringLiteral("This file cannot be overwritten"));
        return false;
    }
    if (!writeAdifFile(filePath))
        return false;
    Prompter::current().plain(
        QStringLiteral("Logbook %1 exported to file %2").arg(m_title, QFileInfo(filePath).fileName()));
    return true;
}

// Writes the export, its progress shown in the main window; a failure is reported here.
bool CKorva3Doc::writeAdifFile(const QString &filePath)
{
    ProgressScope progress(QStringLiteral("Export Adif"));
    const auto percent = [&progress](int percent) { progress.setPercent(percent); };
    switch (AdifWriter::ExportAdif(m_db, filePath, m_pathName, ExportDays(m_adifPeriod), percent)) {
    case AdifWriter::Result::Written: break;
    case AdifWriter::Result::CannotCreate:
        Prompter::current().plain(QStringLiteral("Cannot create Adif file..."));
        return false;
    case AdifWriter::Result::CannotWrite:
        Prompter::current().plain(QStringLiteral("Error writing Adif file..."));
        return false;
    case AdifWriter::Result::CannotReadLogbook: return false;
    }
    return true;
}

int CKorva3Doc::ExportDays(int periodCode)
{
    switch (periodCode) {
    case 1: return 365;
    case 2: return 180;
    case 3: return 90;
    case 4: return 30;
    case 5: return 7;
    default: return 36500;
    }
}
