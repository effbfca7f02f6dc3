#pragma once

#include <QByteArray>
#include <QString>

// What one answer of Club Log means for the QSO sent: Club Log answers with its HTTP
// status and a text meant for the operator.
struct ClubLogAnswer
{
    enum Kind {
        Done,       // 200: taken, or known already ("duplicate"); a delete also when 404 (no such QSO)
        Rejected,   // 400: Club Log refuses this QSO; sending it again will not help
        Stop,       // 403 (and any status Club Log does not document): nothing more may be sent
                    // until the operator fixes the account
        RetryLater, // 500, or no connection: the same QSO again, after a pause
    };

    Kind kind = RetryLater;
    // 0 when no answer came.
    int status = 0;
    // Club Log's text (markup removed), or why no answer came.
    QString text;

    // `body` is the answer's text; `deleting` for an answer to a delete.
    static ClubLogAnswer classify(int status, const QByteArray &body, bool deleting = false);
    static ClubLogAnswer noConnection(const QString &why);
    // The answer for the operator.
    QString words() const;
};
