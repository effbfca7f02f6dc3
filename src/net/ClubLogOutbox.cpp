#include "ClubLogOutbox.h"

#include <algorithm>

void ClubLogOutbox::append(qint64 entryId)
{
    m_entries.append(entryId);
}

std::optional<qint64> ClubLogOutbox::takeNext(qint64 nowMs)
{
    if (waitMs(nowMs) != 0)
        return std::nullopt;
    m_out = m_entries.first();
    return m_out;
}

qint64 ClubLogOutbox::waitMs(qint64 nowMs) const
{
    if (m_entries.isEmpty() || m_out || m_stopped)
        return -1;
    return std::max<qint64>(0, m_notBeforeMs - nowMs);
}

void ClubLogOutbox::answered(qint64 entryId, ClubLogAnswer::Kind kind, qint64 nowMs)
{
    if (!m_out || *m_out != entryId)
        return;
    m_out.reset();
    switch (kind) {
    case ClubLogAnswer::Done:
    case ClubLogAnswer::Rejected:
        m_entries.removeFirst();
        m_pauseMs = 0;
        m_notBeforeMs = 0;
        break;
    case ClubLogAnswer::RetryLater:
        m_pauseMs = m_pauseMs == 0 ? kFirstPauseMs : std::min(2 * m_pauseMs, kLongestPauseMs);
        m_notBeforeMs = nowMs + m_pauseMs;
        break;
    case ClubLogAnswer::Stop:
        m_stopped = true;
        break;
    }
}

void ClubLogOutbox::resume()
{
    m_stopped = false;
    m_pauseMs = 0;
    m_notBeforeMs = 0;
}
