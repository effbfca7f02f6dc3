#pragma once

#include "store/Sqlite3DB.h"

#include <QString>

// A QSO for a test: a plain CW QSO on 20 m (599 sent, 579 received, 14.025, QSL sent N,
// received N, no entity) with the fields the test names set over it.
class QsoBuilder
{
public:
    QsoBuilder()
    {
        m_qso.sent = QStringLiteral("599");
        m_qso.rcvd = QStringLiteral("579");
        m_qso.freq = QStringLiteral("14.025");
        m_qso.band = QStringLiteral("20");
        m_qso.mode = 1;
        m_qso.qslSent = 2;
        m_qso.qslRcvd = 1;
    }

    QsoBuilder &date(const QString &date) { m_qso.date = date; return *this; }
    QsoBuilder &time(const QString &time) { m_qso.time = time; return *this; }
    QsoBuilder &call(const QString &call) { m_qso.call = call; return *this; }
    QsoBuilder &freq(const QString &freq) { m_qso.freq = freq; return *this; }
    QsoBuilder &band(const QString &band) { m_qso.band = band; return *this; }
    QsoBuilder &mode(int mode) { m_qso.mode = mode; return *this; }
    QsoBuilder &cqZone(const QString &zone) { m_qso.cqZone = zone; return *this; }
    QsoBuilder &qslSent(int code) { m_qso.qslSent = code; return *this; }
    QsoBuilder &qslRcvd(int code) { m_qso.qslRcvd = code; return *this; }
    QsoBuilder &country(int dxcc) { m_qso.country = dxcc; return *this; }

    operator Sqlite3DB::UM_RECORD() const { return m_qso; }

private:
    Sqlite3DB::UM_RECORD m_qso;
};
