#include "ClubLogSender.h"

#include "NetLog.h"
#include "document/CKorva3Doc.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

namespace {

// One record of the document's ADIF text: what stands after its header.
QByteArray recordOf(const QByteArray &adif)
{
    const qsizetype header = adif.indexOf("<EOH>");
    return header < 0 ? adif : adif.mid(header + 5).trimmed();
}

// An entry's start as the logbook holds it ("YYYY-MM-DD HH:MM:SS" or without seconds), in UTC.
QDateTime startOf(const QString &start)
{
    QDateTime at = QDateTime::fromString(start, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!at.isValid())
        at = QDateTime::fromString(start, QStringLiteral("yyyy-MM-dd HH:mm"));
    at.setTimeZone(QTimeZone::utc());
    return at;
}

} // namespace

ClubLogSender::ClubLogSender(CKorva3Doc &doc, QObject *parent)
    : QObject(parent)
    , m_doc(doc)
{
    m_clock = [] {
        static QElapsedTimer steady;
        if (!steady.isValid())
            steady.start();
        return steady.elapsed();
    };
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ClubLogSender::sendDue);
    connect(&m_client, &ClubLogClient::answered, this, &ClubLogSender::onAnswer);
}

void ClubLogSender::start()
{
    if (!m_following) {
        m_following = true;
        connect(&m_doc, &CKorva3Doc::outboxChanged, this, [this] {
            takeOutbox();
            sendDue();
        });
    }
    takeOutbox();
    sendDue();
}

// The entries the logbook holds beyond those taken already.
void ClubLogSender::takeOutbox()
{
    for (const QslStore::OutboxEntry &entry : m_doc.ReadOutbox()) {
        if (entry.id <= m_lastTaken)
            continue;
        m_entries.insert(entry.id, entry);
        m_policy.append(entry.id);
        m_lastTaken = entry.id;
    }
}

void ClubLogSender::resume()
{
    m_policy.resume();
    sendDue();
}

void ClubLogSender::sendDue()
{
    const std::optional<qint64> id = m_policy.takeNext(m_clock());
    if (!id) {
        schedule();
        return;
    }
    const QslStore::OutboxEntry entry = m_entries.value(*id);
    if (entry.action == QslStore::Action::DeleteQso) {
        m_client.deleteQso(*id, m_account, entry.call,
                           startOf(entry.start), entry.band);
        return;
    }
    const std::optional<QByteArray> adif = m_doc.AdifOfQsos({entry.qso});
    if (!adif || recordOf(*adif).isEmpty()) {
        // The QSO went before its entry was sent; its delete follows in the outbox.
        onAnswer(*id, ClubLogAnswer{ClubLogAnswer::Done, 0, QStringLiteral("the QSO is no longer in the logbook")});
        return;
    }
    m_client.sendQso(*id, m_account, recordOf(*adif));
}

void ClubLogSender::onAnswer(qint64 id, const ClubLogAnswer &answer)
{
    if (id == kWholeLogId) {
        ServiceOutcome outcome;
        outcome.ok = answer.kind == ClubLogAnswer::Done;
        outcome.error = outcome.ok ? QString() : QStringLiteral("Club Log: %1").arg(answer.words());
        outcome.sent = outcome.ok ? m_wholeLogQsos : 0;
        outcome.refused = outcome.ok ? 0 : m_wholeLogQsos;
        outcome.note = outcome.ok ? answer.text : QString();
        emit finished(outcome);
        return;
    }
    m_policy.answered(id, answer.kind, m_clock());
    if (answer.kind == ClubLogAnswer::Done || answer.kind == ClubLogAnswer::Rejected) {
        if (!m_doc.RemoveOutboxEntry(id))
            qCWarning(lcNet) << "Club Log took outbox entry" << id << "but the logbook still holds it";
        m_entries.remove(id);
    }
    if (answer.kind == ClubLogAnswer::Rejected)
        qCWarning(lcNet).noquote() << "Club Log refused a QSO:" << answer.words();
    emit answered(id, answer);
    if (answer.kind == ClubLogAnswer::Stop) {
        emit stopped(answer.words());
        return;
    }
    sendDue();
}

void ClubLogSender::schedule()
{
    const qint64 wait = m_policy.waitMs(m_clock());
    if (wait >= 0)
        m_timer.start(static_cast<int>(qMin<qint64>(wait, ClubLogOutbox::kLongestPauseMs)));
    else if (m_policy.entries().isEmpty())
        emit empty();
}

void ClubLogSender::uploadLog(bool clear)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clublog.adi"));
    const qint32 period = m_doc.m_adifPeriod;
    m_doc.m_adifPeriod = 0;
    const bool exported = dir.isValid() && m_doc.ExportAdifFile(path);
    m_doc.m_adifPeriod = period;
    QFile file(path);
    if (!exported || !file.open(QIODevice::ReadOnly)) {
        emit finished(ServiceOutcome::failed(QStringLiteral("Club Log: the logbook could not be written to a file")));
        return;
    }
    const QByteArray adif = file.readAll();
    m_wholeLogQsos = static_cast<int>(adif.count("<EOR>") + adif.count("<eor>"));
    m_client.uploadLog(kWholeLogId, m_account, adif, QStringLiteral("korva3.adi"), clear);
}
