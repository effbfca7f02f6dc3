#include "EqslSync.h"

#include "ConfirmationImport.h"
#include "NetLog.h"
#include "document/CKorva3Doc.h"

#include <QPointer>

EqslSync::EqslSync(CKorva3Doc &doc, QObject *parent)
    : QObject(parent)
    , m_doc(doc)
    , m_cancelled(std::make_shared<std::atomic<bool>>(false))
{
    connect(&m_client, &EqslClient::uploaded, this, &EqslSync::uploaded);
    connect(&m_client, &EqslClient::downloaded, this, &EqslSync::downloaded);
}

EqslSync::~EqslSync() = default;

QString EqslSync::lastInboxName(const QString &user)
{
    return QStringLiteral("EqslLastInbox:") + user.toLower();
}

bool EqslSync::begin()
{
    if (m_running) {
        emit finished(ServiceOutcome::failed(QStringLiteral("eQSL: another exchange is running")));
        return false;
    }
    m_running = true;
    m_cancelled->store(false);
    return true;
}

void EqslSync::upload(const Account &account)
{
    if (!begin())
        return;
    m_uploading = m_doc.QsosDueForUpload(ConfirmationWriter::Service::Eqsl);
    if (m_uploading.isEmpty()) {
        ServiceOutcome nothing;
        nothing.ok = true;
        nothing.note = QStringLiteral("no QSO waits for eQSL");
        finish(nothing);
        return;
    }
    const std::optional<QByteArray> adif = m_doc.AdifOfQsos(m_uploading);
    if (!adif) {
        finish(ServiceOutcome::failed(QStringLiteral("eQSL: the QSOs to upload could not be read")));
        return;
    }
    emit progress(0, QStringLiteral("uploading"));
    m_client.upload(account.user, account.password, *adif);
}

void EqslSync::uploaded(const EqslReply::Upload &result)
{
    ServiceOutcome outcome;
    const int total = static_cast<int>(m_uploading.size());
    if (!result.ok) {
        outcome.error = result.error.isEmpty() ? QStringLiteral("eQSL did not take the upload") : result.error;
        finish(outcome);
        return;
    }
    if (!result.errors.isEmpty()) {
        outcome.error = QStringLiteral("eQSL refused %1 of %2 QSOs: %3")
                            .arg(qMax(1, total - qMax(0, result.added) - result.duplicates))
                            .arg(total)
                            .arg(result.errors.join(QStringLiteral("; ")));
        outcome.refused = qMax(1, total - qMax(0, result.added) - result.duplicates);
        finish(outcome);
        return;
    }
    if (!m_doc.MarkUploaded(ConfirmationWriter::Service::Eqsl, m_uploading, QDateTime::currentDateTimeUtc())) {
        outcome.error = QStringLiteral("eQSL has the QSOs, but the logbook could not note it: %1").arg(m_doc.lastWriteError());
        finish(outcome);
        return;
    }
    outcome.ok = true;
    outcome.sent = total;
    if (result.duplicates > 0)
        outcome.note = QStringLiteral("%1 eQSL had already").arg(result.duplicates);
    finish(outcome);
}

void EqslSync::download(const Account &account)
{
    if (!begin())
        return;
    m_user = account.user;
    m_startedAt = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmm"));
    emit progress(0, QStringLiteral("downloading"));
    m_client.downloadInbox(account.user, account.password, m_doc.LogbookValue(lastInboxName(account.user)).value_or(QString()),
                           account.qthNickname);
}

void EqslSync::downloaded(const EqslClient::Inbox &inbox)
{
    if (!inbox.ok) {
        finish(ServiceOutcome::failed(m_cancelled->load() ? QStringLiteral("eQSL: cancelled") : inbox.error));
        return;
    }
    auto import = std::make_shared<ConfirmationImport>(ConfirmationImport::Kind::EqslInbox,
                                                       ConfirmationImport::fromList(inbox.records));
    import->setStateToKeep(lastInboxName(m_user), m_startedAt);
    import->setCancelFlag(m_cancelled.get());
    emit progress(0, QStringLiteral("matching"));
    m_doc.WriteConfirmationsInBackground(
        [import, cancelled = m_cancelled](ConfirmationWriter &writer) { return import->write(writer); },
        [self = QPointer<EqslSync>(this), import](bool written) {
            if (!self)
                return;
            ServiceOutcome outcome;
            outcome.ok = written;
            if (!written)
                outcome.error = QStringLiteral("eQSL: %1; nothing of the inbox was taken")
                                    .arg(import->error().isEmpty() ? self->m_doc.lastWriteError() : import->error());
            outcome.records = import->summary().records;
            outcome.matched = import->summary().matched;
            outcome.confirmed = import->summary().changed;
            outcome.unmatched = import->summary().unmatched;
            self->finish(outcome);
        });
}

void EqslSync::cancel()
{
    m_cancelled->store(true);
    m_client.cancel();
}

void EqslSync::finish(const ServiceOutcome &outcome)
{
    m_running = false;
    m_uploading.clear();
    if (!outcome.ok)
        qCInfo(lcNet).noquote() << outcome.error;
    emit finished(outcome);
}
