#pragma once

#include <QByteArray>

#include <array>

// The eleven bands of the award reports, in row order, as the BAND columns store them.
namespace ReportBands {

constexpr int kCount = 11;
constexpr std::array<const char *, kCount> kBands = {
    "160", "80", "40", "30", "20", "17", "15", "12", "10", "6", "2"};

// The report row of a band text (exact comparison), or -1 for any other text.
int BandIndex(const QByteArray &band);

} // namespace ReportBands
