#pragma once

#include "Confirmation.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

class ConfirmationStream;

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

    // The first bytes of a reply that tell a web page from a report.
    static constexpr qsizetype kHeadBytes = 64 * 1024;

    static LotwReport parse(const QByteArray &reply);
    static LotwReport failed(const QString &error);
    // Why a reply cannot be taken, from its first bytes (kHeadBytes) and a stream read to
    // its end that gave `records` records; empty when it can.
    static QString problemOf(QByteArrayView head, const ConfirmationStream &ended, qsizetype records);
};
