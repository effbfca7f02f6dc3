#include "ReportBands.h"

namespace ReportBands {

int BandIndex(const QByteArray &band)
{
    for (int row = 0; row < kCount; ++row) {
        if (band == kBands[static_cast<std::size_t>(row)])
            return row;
    }
    return -1;
}

} // namespace ReportBands
