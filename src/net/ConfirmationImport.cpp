#include "ConfirmationImport.h"

#include "ConfirmationMatcher.h"
#include "ConfirmationStream.h"
#include "LotwReport.h"
#include "NetLog.h"
#include "document/ConfirmationWriter.h"
#include "store/QsoModes.h"

#include <QFile>
#include <QSet>

namespace {

QDateTime startOf(const QString &date, const QString &time)
{
    QTime at = QTime::fromString(time, QStringLiteral("HH:mm:ss"));
    if (!at.isValid())
        at = QTime::fromString(time, QStringLiteral("HH:mm"));
    const QDate day = QDate::fromString(date, QStringLiteral("yyyy-MM-dd"));
    return day.isValid() && at.isValid() ? QDateTime(day, at, Qt::UTC) : QDateTime();
}

QsoCandidate candidateOf(const QslStore::MatchQso &qso)
{
    QsoCandidate candidate;
    candidate.rowId = qso.rowId;
    candidate.call = qso.call;
    candidate.band = qso.band;
    candidate.mode = QsoModes::shownName(qso.mode, qso.adifMode, qso.adifSubmode);
    candidate.submode = qso.adifSubmode;
    candidate.startUtc = startOf(qso.date, qso.time);
    candidate.satellite = qso.satellite;
    return candidate;
}

} // namespace

ConfirmationImport::ConfirmationImport(Kind kind, Records records)
    : m_kind(kind)
    , m_records(std::move(records))
{
}

void ConfirmationImport::setStateToKeep(const QString &name, const QString &value)
{
    m_stateName = name;
    m_stateValue = value;
}

const QList<QByteArray> &ConfirmationImport::lotwDetails()
{
    static const QList<QByteArray> names = {"CREDIT_GRANTED", "CQZ",  "ITUZ", "GRIDSQUARE", "IOTA",
                                            "STATE",          "CNTY", "PFX",  "CONT"};
    return names;
}

ConfirmationImport::Records ConfirmationImport::fromList(QList<Confirmation> records)
{
    return [records = std::move(records)](const Each &each) {
        for (const Confirmation &record : records) {
            if (!each(record))
                break;
        }
        return true;
    };
}

ConfirmationImport::Records ConfirmationImport::fromFile(const QString &path)
{
    return [path](const Each &each) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            qCWarning(lcNet).noquote() << "cannot read" << path << ":" << file.errorString();
            return false;
        }
        ConfirmationStream stream(file);
        Confirmation record;
        while (stream.next(record)) {
            if (!each(record))
                break;
        }
        return true;
    };
}

ConfirmationImport::Inspection ConfirmationImport::inspectLotw(const QString &path)
{
    Inspection inspection;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        inspection.problem = QStringLiteral("LoTW's reply could not be read: %1").arg(file.errorString());
        return inspection;
    }
    const QByteArray head = file.read(LotwReport::kHeadBytes);
    file.seek(0);
    ConfirmationStream stream(file);
    Confirmation record;
    while (stream.next(record))
        ++inspection.records;
    inspection.problem = LotwReport::problemOf(head, stream, inspection.records);
    inspection.lastQsl = stream.header().value(QStringLiteral("APP_LOTW_LASTQSL")).trimmed();
    inspection.lastQsoRx = stream.header().value(QStringLiteral("APP_LOTW_LASTQSORX")).trimmed();
    return inspection;
}

bool ConfirmationImport::gather(QSet<QString> &calls)
{
    m_summary = Summary();
    const bool read = m_records([&](const Confirmation &record) {
        ++m_summary.records;
        calls.insert(ConfirmationMatcher::baseCall(record.call));
        return !isCancelled();
    });
    return read && !isCancelled();
}

bool ConfirmationImport::write(ConfirmationWriter &writer)
{
    QSet<QString> calls;
    if (!gather(calls)) {
        m_error = isCancelled() ? QStringLiteral("cancelled") : QStringLiteral("the confirmations could not be read");
        return false;
    }
    ConfirmationMatcher matcher;
    for (const QString &call : std::as_const(calls)) {
        if (call.isEmpty())
            continue;
        if (!writer.qsosOfCall(call, [&matcher](const QslStore::MatchQso &qso) { matcher.addQso(candidateOf(qso)); })) {
            m_error = QStringLiteral("the logbook could not be read");
            return false;
        }
    }
    calls.clear();
    const int total = m_summary.records;
    int done = 0;
    int shown = -1;
    bool written = true;
    const bool read = m_records([&](const Confirmation &record) {
        written = !isCancelled() && writeRecord(writer, matcher, record);
        const int percent = total > 0 ? static_cast<int>(qint64(++done) * 100 / total) : 100;
        if (percent != shown && m_onProgress) {
            shown = percent;
            m_onProgress(percent);
        }
        return written;
    });
    if (isCancelled())
        m_error = QStringLiteral("cancelled");
    else if (!read)
        m_error = QStringLiteral("the confirmations could not be read");
    else if (!written || (!m_stateName.isEmpty() && !writer.setState(m_stateName, m_stateValue)))
        m_error = QStringLiteral("the logbook could not be written");
    return m_error.isEmpty();
}

bool ConfirmationImport::writeRecord(ConfirmationWriter &writer, const ConfirmationMatcher &matcher,
                                     const Confirmation &record)
{
    const bool qsl = m_kind == Kind::LotwQsls;
    if (qsl && !record.qslReceived.isEmpty() && !ConfirmedRule::lotwConfirms(record.qslReceived.toLatin1())) {
        ++m_summary.skipped;
        return true;
    }
    const std::optional<qint64> row = matcher.match(record);
    if (row && m_kind == Kind::LotwOwnRecords) {
        const std::optional<bool> marked = writer.markHeldByLotw(*row, record.field(QStringLiteral("APP_LOTW_RXQSO")));
        if (!marked)
            return false;
        ++m_summary.matched;
        m_summary.changed += *marked ? 1 : 0;
        return true;
    }
    if (row) {
        QList<ConfirmationWriter::Detail> details;
        if (qsl) {
            for (const QByteArray &name : lotwDetails()) {
                const QString value = record.field(QString::fromLatin1(name)).trimmed();
                if (!value.isEmpty())
                    details.append({name, value});
            }
        }
        const QString date = record.qslReceivedDate.isEmpty() && !qsl ? m_receivedAt.toString(QStringLiteral("yyyyMMdd"))
                                                                       : record.qslReceivedDate;
        const std::optional<ConfirmationWriter::Outcome> outcome =
            writer.confirm(*row, qsl ? ConfirmationWriter::Service::Lotw : ConfirmationWriter::Service::Eqsl, date, details);
        if (!outcome)
            return false;
        if (*outcome != ConfirmationWriter::Outcome::Gone) {
            ++m_summary.matched;
            m_summary.changed += *outcome == ConfirmationWriter::Outcome::Confirmed ? 1 : 0;
            return true;
        }
    }
    ++m_summary.unmatched;
    if (m_kind == Kind::LotwOwnRecords)
        return true;
    QslStore::Unmatched unmatched;
    unmatched.service = qsl ? QStringLiteral("LoTW") : QStringLiteral("eQSL");
    unmatched.received = m_receivedAt.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    unmatched.call = record.call;
    unmatched.start = record.start.isValid() ? record.start.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
    unmatched.band = record.band;
    unmatched.mode = record.mode.isEmpty() ? record.submode : record.mode;
    unmatched.record = record.toAdif();
    return writer.keepUnmatched(unmatched);
}
