#pragma once

#include <QString>

// What one exchange with a confirmation service did to the logbook, in figures the
// window's status line and korva3-cli print alike.
struct ServiceOutcome
{
    bool ok = false;
    // Why it failed, in words; empty when it did not.
    QString error;
    int records = 0;   // confirmations the service sent
    int matched = 0;   // of those, matched a QSO
    int confirmed = 0; // of those, QSOs newly confirmed (or newly seen by LoTW)
    int unmatched = 0; // matched nothing: listed for the operator
    int sent = 0;      // QSOs handed to the service
    int refused = 0;   // QSOs the service refused
    // Besides the figures, what the service said (TQSL's exit in words, say).
    QString note;

    // "matched 2 (1 newly confirmed), unmatched 1, sent 0, refused 0" and the note, or the error.
    QString words() const;
    static ServiceOutcome failed(const QString &error)
    {
        ServiceOutcome outcome;
        outcome.error = error;
        return outcome;
    }
};
