#include "CKorva3Doc.h"

#include "CallsignIndex.h"
#include "LogbookWatcher.h"
#include "ProgressScope.h"
#include "QslStates.h"
#include "adif/AdifQsoMapping.h"
#include "adif/AdifWriter.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"
#include "store/BandPlan.h"

#include "store/DatabaseSchema.h"
#include "store/LogbookTransaction.h"
#include "store/QsoModes.h"
#include "store/QsoRow.h"
#include "store/SlotConnection.h"
#include "store/SqliteTransaction.h"
#include "store/StoreLog.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QThread>

#include <memory>

namespace {

const char kWriteError[] = "Error writing to database...";
const char kInUse[] = "The logbook is in use by another program";

// The documents alive on the windows' thread, which a new rule reaches.
QList<CKorva3Doc *> &openDocuments()
{
    static QList<CKorva3Doc *> documents;
    return documents;
}

// Runs `work` on a connection of its own inside one write transaction.
bool runInTransaction(const QString &path, const std::function<bool(sqlite3 *)> &work)
{
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, path);
    if (!db.isOpen())
        return false;
    SqliteTransaction transaction(db.handle(), SqliteTransaction::Kind::Write);
    return transaction.isActive() && work(db.handle()) && transaction.commit();
}

// A QSO's start as the outbox keeps it.
QString startOf(const Sqlite3DB::UM_RECORD &qso)
{
    return qso.date + QLatin1Char(' ') + qso.time;
}

bool keptLotwConfirms(const QList<Sqlite3DB::UM_QSOFIELD> &kept)
{
    for (const Sqlite3DB::UM_QSOFIELD &field : kept) {
        if (field.name == ConfirmedRule::kLotwField)
            return ConfirmedRule::lotwConfirms(field.value);
    }
    return false;
}

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
    openDocuments().append(this);
}

CKorva3Doc::~CKorva3Doc()
{
    openDocuments().removeOne(this);
    // A download's work still writing finishes first; its signals go with the document.
    for (QThread *worker : std::as_const(m_workers)) {
        worker->disconnect(this);
        worker->wait();
        delete worker;
    }
}

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
    applySettingsRule();
}

// The rule Setup chose counts in every logbook: one counted by another rule (or opened
// before Setup changed it) is counted again. A logbook that cannot be written keeps the
// statistics it has.
void CKorva3Doc::applySettingsRule()
{
    if (m_openState != OpenState::Ready || !QFileInfo(m_pathName).isWritable())
        return;
    const ConfirmedRule wanted = ConfirmedRule::fromSettings();
    if (confirmedRule() == wanted)
        return;
    runInTransaction(m_pathName, [wanted](sqlite3 *db) {
        return ConfirmedRule::keep(db, wanted) && Sqlite3DB::RebuildDxccStats(db);
    });
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
        return rowId && countIn(stored, keptLotwConfirms(kept))
            && (!m_clubLogOutbox || appendOutbox(QslStore::Action::SendQso, stored, *rowId));
    });
    if (!added) {
        writeFailed();
        return 0;
    }
    committed();
    emit qsoAdded(*rowId);
    emit statisticsChanged(stored.country);
    if (m_clubLogOutbox)
        emit outboxChanged();
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
        if (m_clubLogOutbox
            && (!appendOutbox(QslStore::Action::DeleteQso, old, rowId)
                || !appendOutbox(QslStore::Action::SendQso, changed, rowId)))
            return false;
        // LoTW's state stays as it was: what counts as confirmed follows the card alone.
        const bool lotw = m_db.IsLotwConfirmed(rowId, m_pathName);
        const ConfirmedRule rule = m_db.RuleOf(m_pathName);
        if (changed.country == old.country && changed.band == old.band && changed.mode == old.mode
            && rule.confirms(changed.qslRcvd, lotw) == rule.confirms(old.qslRcvd, lotw))
            return true;
        return countIn(changed, lotw) && takeOut(old, lotw);
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
    if (m_clubLogOutbox)
        emit outboxChanged();
    return true;
}

bool CKorva3Doc::DeleteQso(int rowId)
{
    if (refuseWrite())
        return false;
    const bool deleted = m_db.InLogbookTransaction(m_pathName, [&] {
        if (m_clubLogOutbox) {
            QList<Record> stored;
            if (!m_db.QueryQso(stored, rowId, m_pathName) || stored.isEmpty()
                || (!stored.first().call.isEmpty() && !appendOutbox(QslStore::Action::DeleteQso, stored.first(), rowId)))
                return false;
        }
        return m_db.DeleteQso(rowId, m_pathName) && m_db.RebuildDxccStats(m_pathName);
    });
    if (!deleted) {
        writeFailed();
        return false;
    }
    committed();
    emit qsoDeleted(rowId);
    emit statisticsChanged(0);
    if (m_clubLogOutbox)
        emit outboxChanged();
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
bool CKorva3Doc::countIn(const Record &qso, bool lotwConfirmed)
{
    return qso.country == 0
        || m_db.ChangeDxccCounts(+1, qso.country, qso.band, qso.mode,
                                 m_db.RuleOf(m_pathName).confirms(qso.qslRcvd, lotwConfirmed), m_pathName);
}

bool CKorva3Doc::takeOut(const Record &qso, bool lotwConfirmed)
{
    return qso.country == 0
        || m_db.ChangeDxccCounts(-1, qso.country, qso.band, qso.mode,
                                 m_db.RuleOf(m_pathName).confirms(qso.qslRcvd, lotwConfirmed), m_pathName);
}

bool CKorva3Doc::appendOutbox(QslStore::Action action, const Record &qso, qint64 rowId)
{
    return m_db.AppendOutbox(static_cast<int>(action), rowId, qso.call, startOf(qso), qso.band, m_pathName);
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
    const DatabaseSchema::State state = ProgramDb::Schema().inspect(ProgramDb::location());
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
    // Records that come from other programs (a QSO just logged) go to Club Log as well.
    if (m_clubLogOutbox) {
        importer.setRowsWrittenHandler([](sqlite3 *db, qint64 first, qint64 last) {
            for (qint64 rowId = first; rowId <= last; ++rowId) {
                if (!QslStore::appendOutbox(db, {0, QslStore::Action::SendQso, rowId, QString(), QString(), QString()}))
                    return false;
            }
            return true;
        });
    }
    const AdifImporter::Result result = importFrom(importer, {}, {});
    if (m_clubLogOutbox && result.added > 0)
        emit outboxChanged();
    return result;
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

// --- Confirmations ------------------------------------------------------------------

bool CKorva3Doc::WriteConfirmations(const ConfirmationWork &work)
{
    if (m_openState != OpenState::Ready) {
        m_lastWriteError = m_openMessage;
        return false;
    }
    m_lastWriteError.clear();
    const bool written = runInTransaction(m_pathName, [&work](sqlite3 *db) {
        ConfirmationWriter writer(db);
        return work(writer) && writer.writeStatistics();
    });
    finishConfirmations(written);
    return written;
}

void CKorva3Doc::WriteConfirmationsInBackground(ConfirmationWork work, std::function<void(bool)> done)
{
    if (m_openState != OpenState::Ready) {
        m_lastWriteError = m_openMessage;
        QMetaObject::invokeMethod(this, [done] { done(false); }, Qt::QueuedConnection);
        return;
    }
    m_lastWriteError.clear();
    auto outcome = std::make_shared<std::pair<bool, QString>>(false, QString());
    QThread *worker = QThread::create([path = m_pathName, work = std::move(work), outcome] {
        outcome->first = runInTransaction(path, [&work](sqlite3 *db) {
            ConfirmationWriter writer(db);
            return work(writer) && writer.writeStatistics();
        });
        if (!outcome->first)
            outcome->second = StoreLog::lastFailure();
    });
    m_workers.append(worker);
    connect(worker, &QThread::finished, this, [this, worker, outcome, done = std::move(done)] {
        m_workers.removeOne(worker);
        worker->deleteLater();
        m_lastWriteError = outcome->second;
        finishConfirmations(outcome->first);
        done(outcome->first);
    });
    worker->start();
}

void CKorva3Doc::finishConfirmations(bool written)
{
    if (!written) {
        if (m_lastWriteError.isEmpty())
            m_lastWriteError = m_db.lastError();
        return;
    }
    committed();
    emit statisticsChanged(0);
    emit confirmationsChanged();
}

QList<QslStore::Unmatched> CKorva3Doc::UnmatchedConfirmations()
{
    QList<QslStore::Unmatched> list;
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, m_pathName, SlotConnection::Mode::ReadOnly);
    if (db.isOpen())
        QslStore::readUnmatched(db.handle(), list);
    return list;
}

std::optional<QString> CKorva3Doc::LogbookValue(const QString &name)
{
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, m_pathName, SlotConnection::Mode::ReadOnly);
    return db.isOpen() ? QslStore::stateOf(db.handle(), name) : std::nullopt;
}

QHash<int, QStringList> CKorva3Doc::ReadQslStates(const QList<int> &rowIds)
{
    QHash<int, QStringList> states;
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, m_pathName, SlotConnection::Mode::ReadOnly);
    if (!db.isOpen())
        return states;
    const QList<qint64> rows(rowIds.cbegin(), rowIds.cend());
    QslStore::keptOfRows(db.handle(), rows,
                         {QslStates::kLotwRcvd, QslStates::kLotwSent, QslStates::kEqslRcvd, QslStates::kEqslSent},
                         [&states](qint64 rowId, const QList<QString> &values) { states.insert(static_cast<int>(rowId), values); });
    return states;
}

QList<qint64> CKorva3Doc::QsosDueForUpload(ConfirmationWriter::Service service, const QString &stationCall)
{
    QList<qint64> due;
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, m_pathName, SlotConnection::Mode::ReadOnly);
    if (!db.isOpen())
        return due;
    const bool lotw = service == ConfirmationWriter::Service::Lotw;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString station = stationCall.trimmed();
    QslStore::forEachQsoWithKept(
        db.handle(),
        {lotw ? QslStates::kLotwSent : QslStates::kEqslSent, QslStates::kLotwUploaded, "STATION_CALLSIGN"},
        [&](qint64 rowId, const QList<QString> &values) {
            const bool ours = !lotw || station.isEmpty() || values.at(2).trimmed().isEmpty()
                           || values.at(2).trimmed().compare(station, Qt::CaseInsensitive) == 0;
            if (ours && (lotw ? QslStates::dueForLotw(values.at(0), values.at(1), now) : QslStates::dueForEqsl(values.at(0))))
                due.append(rowId);
        });
    return due;
}

std::optional<QByteArray> CKorva3Doc::AdifOfQsos(const QList<qint64> &rowIds)
{
    QByteArray adif = "Korva3 ADIF\r\n<ADIF_VER:5>3.1.4 <PROGRAMID:6>Korva3 <EOH>\r\n";
    const bool read = m_db.ReadQsoRows(m_pathName, rowIds, [&adif](const QsoRow &row) {
        AdifQsoMapping::appendRecord(adif, row);
        adif += "\r\n";
        return true;
    });
    return read ? std::optional<QByteArray>(adif) : std::nullopt;
}

bool CKorva3Doc::MarkUploaded(ConfirmationWriter::Service service, const QList<qint64> &rowIds, const QDateTime &whenUtc)
{
    const bool lotw = service == ConfirmationWriter::Service::Lotw;
    const QString when = whenUtc.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const QString day = whenUtc.toUTC().toString(QStringLiteral("yyyyMMdd"));
    return WriteConfirmations([&](ConfirmationWriter &writer) {
        QslStore store(writer.handle());
        for (qint64 rowId : rowIds) {
            const bool marked = lotw ? store.setKept(rowId, QslStates::kLotwSent, QStringLiteral("Q"))
                                           && store.setKept(rowId, QslStates::kLotwUploaded, when)
                                     : store.setKept(rowId, QslStates::kEqslSent, QStringLiteral("Y"))
                                           && store.setKept(rowId, QslStates::kEqslSentDate, day);
            if (!marked)
                return false;
        }
        return true;
    });
}

ConfirmedRule CKorva3Doc::confirmedRule()
{
    return m_db.RuleOf(m_pathName);
}

bool CKorva3Doc::ApplyConfirmedRule(ConfirmedRule rule)
{
    if (m_openState != OpenState::Ready || confirmedRule() == rule)
        return m_openState == OpenState::Ready;
    if (!runInTransaction(m_pathName,
                          [rule](sqlite3 *db) { return ConfirmedRule::keep(db, rule) && Sqlite3DB::RebuildDxccStats(db); })) {
        writeFailed();
        return false;
    }
    committed();
    emit statisticsChanged(0);
    return true;
}

void CKorva3Doc::ApplyConfirmedRuleEverywhere(ConfirmedRule rule)
{
    for (CKorva3Doc *document : openDocuments()) {
        if (document->isLogbook() && !document->pathName().isEmpty())
            document->ApplyConfirmedRule(rule);
    }
}

QList<QslStore::OutboxEntry> CKorva3Doc::ReadOutbox()
{
    QList<QslStore::OutboxEntry> entries;
    sqlite3 *slot = nullptr;
    SlotConnection db(slot, m_pathName, SlotConnection::Mode::ReadOnly);
    if (db.isOpen())
        QslStore::readOutbox(db.handle(), entries);
    return entries;
}

bool CKorva3Doc::RemoveOutboxEntry(qint64 id)
{
    return m_openState == OpenState::Ready
        && runInTransaction(m_pathName, [id](sqlite3 *db) { return QslStore::removeOutbox(db, id); });
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
