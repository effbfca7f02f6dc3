#pragma once

#include "Confirmation.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <atomic>
#include <functional>

class ConfirmationWriter;

// Writes what a service's confirmations say into a logbook, each matched to its QSO by
// ConfirmationMatcher: a first pass over the records gathers their calls, the QSOs of
// those calls are read through the index of calls, and a second pass matches and writes
// each record, all inside the one transaction of the document's WriteConfirmations. So
// the memory it takes grows with the records' calls, not with the logbook or the report.
//
//  - LoTW's QSLs confirm their QSOs (LOTW_QSL_RCVD, LOTW_QSLRDATE and LoTW's details);
//    those that match nothing are listed, never dropped.
//  - LoTW's own records mark the QSOs LoTW holds (LOTW_QSL_SENT Y); the others are
//    counted only: they are QSOs another logbook or program uploaded.
//  - eQSL's inbox confirms its QSOs (EQSL_QSL_RCVD, EQSL_QSLRDATE); those that match
//    nothing are listed.
class ConfirmationImport
{
public:
    enum class Kind { LotwQsls, LotwOwnRecords, EqslInbox };
    // Hands each record to `each` in order until it returns false; false when the source
    // could not be read to its end.
    using Each = std::function<bool(const Confirmation &)>;
    using Records = std::function<bool(const Each &each)>;

    struct Summary
    {
        int records = 0;   // confirmations read
        int matched = 0;   // matched a QSO
        int changed = 0;   // of those, QSOs newly confirmed (or newly held by LoTW)
        int unmatched = 0; // matched nothing: listed (or, for own records, counted)
        int skipped = 0;   // LoTW records that confirm nothing (QSL_RCVD other than Y)
    };

    ConfirmationImport(Kind kind, Records records);

    // When the download happened, as the list of unmatched confirmations shows it.
    void setReceivedAt(const QDateTime &utc) { m_receivedAt = utc; }
    // A named value of the logbook written in the same transaction (the date the next
    // download goes on from), so that it moves on exactly when the records are taken.
    void setStateToKeep(const QString &name, const QString &value);
    // Called with the share of the records written, 0 to 100, on the thread that writes.
    void setProgressHandler(std::function<void(int percent)> handler) { m_onProgress = std::move(handler); }
    // Looked at before each record: true ends the work, and nothing is written.
    void setCancelFlag(const std::atomic<bool> *cancelled) { m_cancelled = cancelled; }

    // The work of CKorva3Doc::WriteConfirmations: false (and error()) when the source
    // failed, the work was cancelled or a write failed.
    bool write(ConfirmationWriter &writer);
    const Summary &summary() const { return m_summary; }
    const QString &error() const { return m_error; }

    static Records fromList(QList<Confirmation> records);
    // The records of an ADIF file, read anew for each pass.
    static Records fromFile(const QString &path);

    // A LoTW report in a file, read to its end: why it cannot be taken (empty when it
    // can), how many records it holds and the dates the next queries go on from.
    struct Inspection
    {
        QString problem;
        int records = 0;
        QString lastQsl;
        QString lastQsoRx;
    };
    static Inspection inspectLotw(const QString &path);

    // LoTW's details a confirmed QSO keeps (ConfirmationWriter decides how).
    static const QList<QByteArray> &lotwDetails();

private:
    bool gather(QSet<QString> &calls);
    bool writeRecord(ConfirmationWriter &writer, const class ConfirmationMatcher &matcher, const Confirmation &record);
    bool isCancelled() const { return m_cancelled && m_cancelled->load(); }

    Kind m_kind;
    Records m_records;
    QDateTime m_receivedAt = QDateTime::currentDateTimeUtc();
    QString m_stateName;
    QString m_stateValue;
    std::function<void(int)> m_onProgress;
    const std::atomic<bool> *m_cancelled = nullptr;
    Summary m_summary;
    QString m_error;
};
