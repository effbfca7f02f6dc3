#pragma once

#include "ReportBands.h"

// CQ zone marks per report band: row r is band r of the report, column c is zone c + 1.
// ' ' nothing, 'W' worked, 'C' confirmed; all zero bytes until the first successful read.
struct CqZoneGrid
{
    static constexpr int kZones = 40;
    char marks[ReportBands::kCount][kZones] = {};
};
