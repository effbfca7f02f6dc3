#pragma once

#include <QMetaType>
#include <QString>

// What a WSJT-X, JTDX or JS8Call instance says about itself whenever its state changes
// (a Status message): the radio's dial frequency and the mode, the station it is
// working and the own station. A sender may stop after any field; the rest keeps the
// value below.
struct WsjtxStatus
{
    QString id; // the sender's Id: "WSJT-X", "JTDX", "WSJT-X - IC-7300", ...
    quint64 dialFrequencyHz = 0;
    QString mode;
    QString dxCall;
    QString report;
    QString txMode;
    bool txEnabled = false;
    bool transmitting = false;
    bool decoding = false;
    quint32 rxDf = 0;
    quint32 txDf = 0;
    QString deCall;
    QString deGrid;
    QString dxGrid;

    bool operator==(const WsjtxStatus &other) const
    {
        return id == other.id && dialFrequencyHz == other.dialFrequencyHz && mode == other.mode
            && dxCall == other.dxCall && report == other.report && txMode == other.txMode
            && txEnabled == other.txEnabled && transmitting == other.transmitting && decoding == other.decoding
            && rxDf == other.rxDf && txDf == other.txDf && deCall == other.deCall && deGrid == other.deGrid
            && dxGrid == other.dxGrid;
    }
    bool operator!=(const WsjtxStatus &other) const { return !(*this == other); }
};

Q_DECLARE_METATYPE(WsjtxStatus)
