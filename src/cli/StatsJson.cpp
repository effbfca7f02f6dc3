#include "StatsJson.h"

namespace StatsJson {

namespace {

QByteArray pair(const DxccTotals::Pair &p)
{
    return '[' + QByteArray::number(p.worked) + ',' + QByteArray::number(p.confirmed) + ']';
}

QByteArray modes(const DxccTotals::Pair *p)
{
    return "\"cw\":" + pair(p[DxccTotals::kCw]) + ", \"ssb\":" + pair(p[DxccTotals::kSsb])
         + ", \"rtty\":" + pair(p[DxccTotals::kRtty]);
}

QByteArray quoted(const char *text)
{
    return '"' + QByteArray(text) + '"';
}

// A grid row; a mark that is not yet set (zero) shows as a blank so the text stays
// 40 printable characters.
QByteArray zoneRow(const char *marks)
{
    QByteArray row(marks, CqZoneGrid::kZones);
    row.replace('\0', ' ');
    return quoted(row.constData());
}

} // namespace

QByteArray format(const DxccTotals &totals, const CqZoneGrid &grid)
{
    QByteArray bands;
    QByteArray zones;
    for (int row = 0; row < ReportBands::kCount; ++row) {
        const char *band = ReportBands::kBands[static_cast<std::size_t>(row)];
        const DxccTotals::Pair *cells = totals.cells[row];
        if (row > 0) {
            bands += ", ";
            zones += ", ";
        }
        bands += quoted(band) + ": {" + modes(cells) + ", \"total\":" + pair(cells[DxccTotals::kBandTotal]) + '}';
        zones += quoted(band) + ": " + zoneRow(grid.marks[row]);
    }
    return "{\"qsos\": " + QByteArray::number(totals.totalQsos) + ", \"bands\": {" + bands
         + "}, \"modes\": {" + modes(totals.modeTotals) + "}, \"mixed\":" + pair(totals.mixed)
         + ", \"cqzones\": {" + zones + "}}";
}

} // namespace StatsJson
