#pragma once

#include <QMetaType>
#include <QString>
#include <QTime>

// One spot of a DX cluster: who heard whom, where and when. The frequency is in kHz as
// the cluster gives it; the time is UTC, to the minute; the grid is the spotter's
// locator when the cluster adds one.
struct DxSpot
{
    QString spotter;          // "W3LPL-#", "DL1ABC"
    double frequencyKHz = 0;  // 14025.0
    QString dxCall;           // the station spotted, in capitals
    QString comment;          // without the blanks around it
    QTime time;               // HHMM of the line, UTC
    QString grid;             // empty when the line has none
    QString line;             // the whole line as it came

    bool operator==(const DxSpot &other) const
    {
        return spotter == other.spotter && frequencyKHz == other.frequencyKHz && dxCall == other.dxCall
            && comment == other.comment && time == other.time && grid == other.grid && line == other.line;
    }
    bool operator!=(const DxSpot &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(DxSpot)
