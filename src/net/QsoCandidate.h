#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

// A logbook QSO as a confirmation is matched against it: what the matcher compares and
// the row it names.
struct QsoCandidate
{
    qint64 rowId = 0;
    QString call;
    QString band;      // a band label as the logbook keeps it ("20", "70", "13cm") or as ADIF writes it ("20m")
    QString mode;      // the mode's name (FT8, USB, CW, ...)
    QString submode;
    QDateTime startUtc;
    QString satellite; // SAT_NAME; empty for a QSO without a satellite
};
