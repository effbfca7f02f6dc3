#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The ADIF fields that hold a QSO's online QSL states (kept fields of QSOFIELDS), and
// what they mean for the next upload and for the QSL window.
//
// LOTW_QSL_SENT is Y only once a download of the account's own records showed that LoTW
// holds the QSO. Until then a QSO that TQSL uploaded is Q ("uploaded, not yet seen"),
// with the time of the upload in APP_KORVA3_LOTW_UPLOADED (UTC, "YYYY-MM-DD HH:MM:SS").
namespace QslStates {

inline constexpr char kLotwRcvd[] = "LOTW_QSL_RCVD";
inline constexpr char kLotwRcvdDate[] = "LOTW_QSLRDATE";
inline constexpr char kLotwSent[] = "LOTW_QSL_SENT";
inline constexpr char kLotwSentDate[] = "LOTW_QSLSDATE";
inline constexpr char kLotwUploaded[] = "APP_KORVA3_LOTW_UPLOADED";
inline constexpr char kEqslRcvd[] = "EQSL_QSL_RCVD";
inline constexpr char kEqslRcvdDate[] = "EQSL_QSLRDATE";
inline constexpr char kEqslSent[] = "EQSL_QSL_SENT";
inline constexpr char kEqslSentDate[] = "EQSL_QSLSDATE";

// How long LoTW is given to show a QSO TQSL uploaded before the next upload sends it again.
inline constexpr qint64 kLotwSeenWithinSecs = 24 * 60 * 60;

// A QSO goes to LoTW when it was never sent (no state, N or R) or when it was uploaded
// longer than a day ago and LoTW still does not show it; never when LoTW holds it (Y)
// or it is to be left out (I).
bool dueForLotw(const QString &sent, const QString &uploaded, const QDateTime &nowUtc);
// A QSO goes to eQSL when it was never sent (no state, N, R or Q).
bool dueForEqsl(const QString &sent);

// One letter for the QSL window: Y confirmed, S held by the service, Q uploaded and
// not yet seen by LoTW, empty for nothing yet.
QString lotwLetter(const QString &received, const QString &sent);
QString eqslLetter(const QString &received, const QString &sent);

// A date of the services ("2024-03-02", "2024-03-02 10:11:12", "20240302") as ADIF writes
// it, YYYYMMDD; empty when it is none of these.
QString adifDate(const QString &date);

} // namespace QslStates
