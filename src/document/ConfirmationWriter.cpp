#include "ConfirmationWriter.h"

#include "QslStates.h"
#include "store/Sqlite3DB.h"
#include "store/SqliteStatement.h"

#include <sqlite3.h>

namespace {

// LoTW's statements about its own credit, replaced by each newer one.
bool isServiceStatement(const QByteArray &name)
{
    return name == "CREDIT_GRANTED" || name == "CREDIT_SUBMITTED";
}

QString keptValue(const QList<Sqlite3DB::UM_QSOFIELD> &kept, const char *name)
{
    for (const Sqlite3DB::UM_QSOFIELD &field : kept) {
        if (field.name == name)
            return QString::fromUtf8(field.value);
    }
    return QString();
}

} // namespace

ConfirmationWriter::ConfirmationWriter(sqlite3 *db)
    : m_db(db)
    , m_store(db)
    , m_rule(ConfirmedRule::of(db))
{
}

bool ConfirmationWriter::qsosOfCall(const QString &call, const std::function<void(const QslStore::MatchQso &)> &qso)
{
    return m_store.qsosOfCall(call, qso);
}

std::optional<ConfirmationWriter::Outcome> ConfirmationWriter::confirm(qint64 rowId, Service service,
                                                                      const QString &receivedDate,
                                                                      const QList<Detail> &details)
{
    const std::optional<QslStore::QsoState> qso = m_store.qsoState(rowId);
    if (!qso)
        return Outcome::Gone;
    QList<Sqlite3DB::UM_QSOFIELD> kept;
    if (!m_store.keptFields(rowId, kept))
        return std::nullopt;
    const bool lotw = service == Service::Lotw;
    const char *stateName = lotw ? QslStates::kLotwRcvd : QslStates::kEqslRcvd;
    const char *dateName = lotw ? QslStates::kLotwRcvdDate : QslStates::kEqslRcvdDate;
    const QString date = QslStates::adifDate(receivedDate);
    const QString oldState = keptValue(kept, stateName);
    const bool already = oldState.trimmed().compare(QLatin1String("Y"), Qt::CaseInsensitive) == 0
                      && (date.isEmpty() || keptValue(kept, dateName) == date);
    if (!m_store.setKept(rowId, stateName, QStringLiteral("Y"))
        || (!date.isEmpty() && !m_store.setKept(rowId, dateName, date)))
        return std::nullopt;
    for (const Detail &detail : details) {
        if (!keepDetail(rowId, *qso, kept, detail))
            return std::nullopt;
    }
    if (lotw && qso->country != 0) {
        const bool wasConfirmed = m_rule.confirms(qso->qslRcvd, ConfirmedRule::lotwConfirms(oldState.toLatin1()));
        const bool isConfirmed = m_rule.confirms(qso->qslRcvd, true);
        if (wasConfirmed != isConfirmed) {
            Delta &delta = m_confirmedDelta[QByteArray::number(qso->country) + '\x1f' + qso->band + '\x1f'
                                            + QByteArray::number(qso->mode)];
            delta.dxcc = qso->country;
            delta.band = qso->band;
            delta.mode = qso->mode;
            delta.confirmed += isConfirmed ? 1 : -1;
        }
    }
    if (already)
        return Outcome::AlreadyConfirmed;
    ++m_changed;
    return Outcome::Confirmed;
}

bool ConfirmationWriter::keepDetail(qint64 rowId, const QslStore::QsoState &qso,
                                    const QList<Sqlite3DB::UM_QSOFIELD> &kept, const Detail &detail)
{
    const auto &[name, value] = detail;
    if (value.trimmed().isEmpty())
        return true;
    if (name == "CQZ")
        return qso.cqZone.trimmed().isEmpty() ? m_store.fillColumn(rowId, QslStore::Column::CqZone, value) : true;
    if (name == "GRIDSQUARE")
        return qso.grid.trimmed().isEmpty() ? m_store.fillColumn(rowId, QslStore::Column::Grid, value) : true;
    if (name == "IOTA")
        return qso.iota.trimmed().isEmpty() ? m_store.fillColumn(rowId, QslStore::Column::Iota, value) : true;
    if (isServiceStatement(name) || keptValue(kept, name.constData()).trimmed().isEmpty())
        return m_store.setKept(rowId, name, value);
    return true;
}

std::optional<bool> ConfirmationWriter::markHeldByLotw(qint64 rowId, const QString &receivedDate)
{
    QList<Sqlite3DB::UM_QSOFIELD> kept;
    if (!m_store.keptFields(rowId, kept))
        return std::nullopt;
    if (kept.isEmpty() && !m_store.qsoState(rowId))
        return false;
    if (keptValue(kept, QslStates::kLotwSent).trimmed().compare(QLatin1String("Y"), Qt::CaseInsensitive) == 0)
        return false;
    const QString date = QslStates::adifDate(receivedDate);
    if (!m_store.setKept(rowId, QslStates::kLotwSent, QStringLiteral("Y"))
        || (!date.isEmpty() && !m_store.setKept(rowId, QslStates::kLotwSentDate, date))
        || !m_store.removeKept(rowId, QslStates::kLotwUploaded))
        return std::nullopt;
    ++m_changed;
    return true;
}

bool ConfirmationWriter::writeStatistics()
{
    SqliteStatement update(m_db, "UPDATE DXCCREPORT SET COUNTC = COUNTC + ? WHERE DXCC = ? AND BAND = ? AND MODE = ?");
    SqliteStatement insert(m_db, "INSERT INTO DXCCREPORT (DXCC, BAND, MODE, COUNTW, COUNTC) VALUES (?, ?, ?, 0, ?)");
    for (const Delta &delta : std::as_const(m_confirmedDelta)) {
        if (delta.confirmed == 0)
            continue;
        update.reset();
        update.bind(1, delta.confirmed);
        update.bind(2, delta.dxcc);
        update.bind(3, delta.band);
        update.bind(4, delta.mode);
        if (!update.run())
            return false;
        if (sqlite3_changes(m_db) > 0)
            continue;
        insert.reset();
        insert.bind(1, delta.dxcc);
        insert.bind(2, delta.band);
        insert.bind(3, delta.mode);
        insert.bind(4, delta.confirmed);
        if (!insert.run())
            return false;
    }
    m_confirmedDelta.clear();
    return true;
}

bool ConfirmationWriter::keepUnmatched(const QslStore::Unmatched &confirmation)
{
    return QslStore::keepUnmatched(m_db, confirmation);
}

bool ConfirmationWriter::removeUnmatched(qint64 id)
{
    return QslStore::removeUnmatched(m_db, id);
}

std::optional<QString> ConfirmationWriter::state(const QString &name)
{
    return QslStore::stateOf(m_db, name);
}

bool ConfirmationWriter::setState(const QString &name, const QString &value)
{
    return QslStore::setStateOf(m_db, name, value);
}
