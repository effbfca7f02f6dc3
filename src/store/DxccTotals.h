#pragma once

#include "ReportBands.h"

#include <QtGlobal>

// The DXCC report's counts. Every pair counts DXCC entities, not QSOs.
struct DxccTotals
{
    struct Pair
    {
        qint32 worked = 0;
        qint32 confirmed = 0;
    };

    // Columns of a band row: the three report modes, then the band total.
    static constexpr int kCw = 0;
    static constexpr int kSsb = 1;
    static constexpr int kRtty = 2;
    static constexpr int kBandTotal = 3;
    static constexpr int kModes = 3;

    qint32 totalQsos = 0;
    Pair cells[ReportBands::kCount][4];
    Pair modeTotals[kModes];
    Pair mixed;
};
