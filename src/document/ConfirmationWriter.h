#pragma once

#include "store/ConfirmedRule.h"
#include "store/QslStore.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

struct sqlite3;

// What a confirmation service says about the logbook's QSOs, written inside the one
// write transaction of a download (CKorva3Doc::WriteConfirmations opens and commits it):
// a QSO confirmed by LoTW or eQSL gets its state, date and what the service adds; a QSO
// LoTW's own records show gets LOTW_QSL_SENT Y; a confirmation that matched nothing is
// listed; the statistics follow every change of what counts as confirmed.
//
// What the operator entered is never overwritten: a service's value fills an empty
// column (CQZ, GRIDSQUARE, IOTA) or becomes a kept field the QSO lacks. Only the
// service's own statements (its state, its date, CREDIT_GRANTED) are replaced.
class ConfirmationWriter
{
public:
    enum class Service { Lotw, Eqsl };
    enum class Outcome { Confirmed, AlreadyConfirmed, Gone };
    using Detail = std::pair<QByteArray, QString>;

    explicit ConfirmationWriter(sqlite3 *db);

    sqlite3 *handle() const { return m_db; }
    const ConfirmedRule &rule() const { return m_rule; }

    bool qsosOfCall(const QString &call, const std::function<void(const QslStore::MatchQso &)> &qso);
    // Confirms the QSO: the service's QSL received state Y and its date (YYYYMMDD; none
    // when empty), and for LoTW the details given (ADIF name and value, names in
    // capitals). Nothing when a write failed.
    std::optional<Outcome> confirm(qint64 rowId, Service service, const QString &receivedDate,
                                   const QList<Detail> &details = {});
    // LoTW holds the QSO: LOTW_QSL_SENT Y and LOTW_QSLSDATE (when LOTW_QSL_SENT was not
    // Y already). True when it changed the QSO; nothing when a write failed.
    std::optional<bool> markHeldByLotw(qint64 rowId, const QString &receivedDate);

    bool keepUnmatched(const QslStore::Unmatched &confirmation);
    bool removeUnmatched(qint64 id);
    std::optional<QString> state(const QString &name);
    bool setState(const QString &name, const QString &value);

    // The QSOs changed so far.
    int changedQsos() const { return m_changed; }
    // The confirmed counts of the statistics changed by the confirmations so far, written
    // at once per entity, band and mode (CKorva3Doc calls it before the commit): a
    // download of a hundred thousand QSLs touches each row of the statistics once.
    bool writeStatistics();

private:
    bool keepDetail(qint64 rowId, const QslStore::QsoState &qso, const QList<Sqlite3DB::UM_QSOFIELD> &kept,
                    const Detail &detail);

    sqlite3 *m_db;
    QslStore m_store;
    ConfirmedRule m_rule;
    int m_changed = 0;
    // Confirmed count changes by entity, band and mode.
    struct Delta
    {
        qint32 dxcc = 0;
        QByteArray band;
        qint32 mode = 0;
        int confirmed = 0;
    };
    QHash<QByteArray, Delta> m_confirmedDelta;
};
