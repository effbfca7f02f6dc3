#include "LotwSync.h"

#include "ConfirmationImport.h"
#include "NetLog.h"
#include "document/CKorva3Doc.h"

#include <QFile>
#include <QPointer>

LotwSync::LotwSync(CKorva3Doc &doc, QObject *parent)
    : QObject(parent)
    , m_doc(doc)
    , m_cancelled(std::make_shared<std::atomic<bool>>(false))
{
    connect(&m_client, &LotwClient::fetched, this, &LotwSync::fetched);
    connect(&m_tqsl, &TqslUpload::finished, this, &LotwSync::tqslFinished);
    m_client.http().setProgressHandler([this](qint64 received, qint64 total) {
        emit progress(total > 0 ? static_cast<int>(received * 100 / total) : 0, QStringLiteral("downloading"));
    });
}

LotwSync::~LotwSync() = default;

QString LotwSync::lastQslName(const QString &user)
{
    return QStringLiteral("LotwLastQsl:") + user.toLower();
}

QString LotwSync::lastQsoRxName(const QString &user)
{
    return QStringLiteral("LotwLastQsoRx:") + user.toLower();
}

bool LotwSync::begin()
{
    if (m_running)
        return false;
    m_running = true;
    m_cancelled->store(false);
    m_dir = std::make_unique<QTemporaryDir>();
    return true;
}

void LotwSync::download(const Account &account)
{
    fetch(account, false);
}

void LotwSync::readBack(const Account &account)
{
    fetch(account, true);
}

// The report goes into a file as it arrives: one of a hundred thousand QSLs is tens of
// megabytes, read twice from there and never held whole.
void LotwSync::fetch(const Account &account, bool ownRecords)
{
    if (!begin()) {
        emit finished(ServiceOutcome::failed(QStringLiteral("LoTW: another exchange is running")));
        return;
    }
    m_ownRecords = ownRecords;
    m_user = account.user;
    m_sink = std::make_unique<QFile>(m_dir->filePath(QStringLiteral("lotwreport.adi")));
    if (!m_dir->isValid() || !m_sink->open(QIODevice::WriteOnly)) {
        finish(ServiceOutcome::failed(QStringLiteral("LoTW's reply cannot be kept: no temporary file")));
        return;
    }
    const QString since = m_doc.LogbookValue(ownRecords ? lastQsoRxName(account.user) : lastQslName(account.user))
                              .value_or(QString());
    emit progress(0, QStringLiteral("downloading"));
    if (ownRecords)
        m_client.fetchOwnRecords(m_sink.get(), account.user, account.password, since, account.ownCall);
    else
        m_client.fetchConfirmations(m_sink.get(), account.user, account.password, since, account.ownCall);
}

void LotwSync::fetched(const QString &error)
{
    const QString path = m_sink->fileName();
    m_sink->close();
    if (!error.isEmpty()) {
        finish(ServiceOutcome::failed(m_cancelled->load() ? QStringLiteral("LoTW: cancelled") : error));
        return;
    }
    const ConfirmationImport::Inspection report = ConfirmationImport::inspectLotw(path);
    if (!report.problem.isEmpty()) {
        qCWarning(lcNet).noquote() << report.problem;
        finish(ServiceOutcome::failed(report.problem));
        return;
    }
    auto import = std::make_shared<ConfirmationImport>(
        m_ownRecords ? ConfirmationImport::Kind::LotwOwnRecords : ConfirmationImport::Kind::LotwQsls,
        ConfirmationImport::fromFile(path));
    const QString next = m_ownRecords ? report.lastQsoRx : report.lastQsl;
    if (!next.isEmpty())
        import->setStateToKeep(m_ownRecords ? lastQsoRxName(m_user) : lastQslName(m_user), next);
    import->setCancelFlag(m_cancelled.get());
    import->setProgressHandler([this](int percent) {
        QMetaObject::invokeMethod(this, [this, percent] { emit progress(percent, QStringLiteral("matching")); });
    });
    emit progress(0, QStringLiteral("matching"));
    // The import, its file and the cancel flag outlive the work: the lambda owns them.
    m_doc.WriteConfirmationsInBackground(
        [import, cancelled = m_cancelled](ConfirmationWriter &writer) { return import->write(writer); },
        [self = QPointer<LotwSync>(this), import](bool written) {
            if (!self)
                return;
            ServiceOutcome outcome;
            outcome.ok = written;
            const ConfirmationImport::Summary &summary = import->summary();
            if (!written)
                outcome.error = QStringLiteral("LoTW: %1; nothing of the report was taken")
                                    .arg(import->error().isEmpty() ? self->m_doc.lastWriteError() : import->error());
            outcome.records = summary.records;
            outcome.matched = summary.matched;
            outcome.confirmed = summary.changed;
            outcome.unmatched = summary.unmatched;
            if (self->m_ownRecords && written)
                outcome.note = QStringLiteral("%1 QSOs seen by LoTW for the first time").arg(summary.changed);
            self->finish(outcome);
        });
}

void LotwSync::upload(const QString &location, const QString &stationCall)
{
    if (!begin()) {
        emit finished(ServiceOutcome::failed(QStringLiteral("LoTW: another exchange is running")));
        return;
    }
    if (location.trimmed().isEmpty()) {
        finish(ServiceOutcome::failed(QStringLiteral("LoTW: the station profile names no TQSL station location")));
        return;
    }
    m_uploading = m_doc.QsosDueForUpload(ConfirmationWriter::Service::Lotw, stationCall);
    if (m_uploading.isEmpty()) {
        ServiceOutcome nothing;
        nothing.ok = true;
        nothing.note = QStringLiteral("no QSO waits for LoTW");
        finish(nothing);
        return;
    }
    const std::optional<QByteArray> adif = m_doc.AdifOfQsos(m_uploading);
    QFile file(m_dir->filePath(QStringLiteral("upload.adi")));
    if (!adif || !file.open(QIODevice::WriteOnly) || file.write(*adif) != adif->size() || !file.flush()) {
        finish(ServiceOutcome::failed(QStringLiteral("LoTW: the QSOs to upload could not be written to a file")));
        return;
    }
    file.close();
    emit progress(0, QStringLiteral("uploading"));
    if (!m_tqsl.start(location.trimmed(), file.fileName()))
        finish(ServiceOutcome::failed(QStringLiteral("TQSL is running already")));
}

// Only a QSO TQSL delivered (or LoTW had already) is marked, and then as "uploaded,
// not yet seen": LOTW_QSL_SENT becomes Y when a read-back shows it.
void LotwSync::tqslFinished(const TqslUpload::Result &result)
{
    ServiceOutcome outcome;
    outcome.note = QStringLiteral("TQSL: %1").arg(result.words);
    if (!result.reachedLotw()) {
        outcome.error = outcome.note;
        outcome.refused = static_cast<int>(m_uploading.size());
        finish(outcome);
        return;
    }
    if (!m_doc.MarkUploaded(ConfirmationWriter::Service::Lotw, m_uploading, QDateTime::currentDateTimeUtc())) {
        outcome.error = QStringLiteral("LoTW has the QSOs, but the logbook could not note it: %1").arg(m_doc.lastWriteError());
        finish(outcome);
        return;
    }
    outcome.ok = true;
    outcome.sent = static_cast<int>(m_uploading.size());
    finish(outcome);
}

void LotwSync::cancel()
{
    m_cancelled->store(true);
    m_client.cancel();
    m_tqsl.cancel();
}

void LotwSync::finish(ServiceOutcome outcome)
{
    m_running = false;
    m_uploading.clear();
    m_sink.reset();
    if (!outcome.ok)
        qCInfo(lcNet).noquote() << outcome.error;
    emit finished(outcome);
}
