#pragma once

#include "ClubLogAnswer.h"

#include <QList>
#include <QtGlobal>

#include <optional>

// When the next QSO goes to Club Log, given Club Log's answers: the entries go one at a
// time and in the order they came; an entry Club Log took or rejected leaves the queue;
// one that failed (500, no connection) stays first and goes again after a pause that
// doubles with each failure in a row (one minute, two, four, ... up to an hour); a 403
// stops all sending until the operator has fixed the account and resumes.
//
// Only the policy lives here: the entries are ids of the caller's, who keeps the QSOs
// they stand for (in the logbook, across restarts), and every time is the caller's
// clock in milliseconds, so a test drives it with a clock of its own.
class ClubLogOutbox
{
public:
    static constexpr qint64 kFirstPauseMs = 60 * 1000;
    static constexpr qint64 kLongestPauseMs = 60 * 60 * 1000;

    // Appends an entry behind those waiting.
    void append(qint64 entryId);
    // The entry to send at `nowMs`: the first one, unless one is out already, sending is
    // stopped, or the pause after a failure runs. It counts as out until answered.
    std::optional<qint64> takeNext(qint64 nowMs);
    // Club Log's answer for the entry that is out; an answer for any other is ignored.
    void answered(qint64 entryId, ClubLogAnswer::Kind kind, qint64 nowMs);
    // Milliseconds from `nowMs` until takeNext gives an entry; -1 when nothing will come
    // by waiting (nothing waits, one is out, or sending is stopped).
    qint64 waitMs(qint64 nowMs) const;

    bool isStopped() const { return m_stopped; }
    // After the account was fixed: sends again at once, the first entry first.
    void resume();
    // The pause in force after the failures in a row; 0 after a success.
    qint64 pauseMs() const { return m_pauseMs; }
    // The entries not yet taken or rejected, in order (the one out first).
    const QList<qint64> &entries() const { return m_entries; }

private:
    QList<qint64> m_entries;
    std::optional<qint64> m_out;
    bool m_stopped = false;
    qint64 m_pauseMs = 0;
    qint64 m_notBeforeMs = 0;
};
