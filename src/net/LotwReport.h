#pragma once

#include "Confirmation.h"

#include <QByteArray>
#include <QList>
#include <QString>

// What one LoTW report query gave: its records, and the dates the next query starts
// from. LoTW answers with a text preamble, ADIF header fields, the records and the end
// mark <APP_LoTW_EOF>; a reply without the mark was cut on its way and is taken as a
// whole or not at all, so a report is either complete (ok) or holds no records and says
// why (error).
struct LotwReport
{
    bool ok = false;
    QString error;
    QList<Confirmation> records;
    // APP_LoTW_LASTQSL: the newest QSL of the report, the next qso_qslsince.
    QString lastQsl;
    // APP_LoTW_LASTQSORX: the newest QSO LoTW received, the next qso_qsorxsince.
    QString lastQsoRx;

    static LotwReport parse(const QByteArray &reply);
    static LotwReport failed(const QString &error);
};
