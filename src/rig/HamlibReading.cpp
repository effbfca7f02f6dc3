#include "HamlibReading.h"

#include "TrxDecoding.h"

#include <hamlib/rig.h>

#include <cmath>

namespace HamlibReading {

namespace {

enum Position { Cw = 0, Ssb = 1, Rtty = 2, Fm = 3, Am = 4 };

struct ModePosition
{
    rmode_t mode;
    Position position;
};

const ModePosition kPositions[] = {
    {RIG_MODE_CW, Cw},        {RIG_MODE_CWR, Cw},       {RIG_MODE_CWN, Cw},
    {RIG_MODE_USB, Ssb},      {RIG_MODE_LSB, Ssb},      {RIG_MODE_ECSSUSB, Ssb},
    {RIG_MODE_ECSSLSB, Ssb},  {RIG_MODE_ISBUSB, Ssb},   {RIG_MODE_ISBLSB, Ssb},
    {RIG_MODE_DSB, Ssb},      {RIG_MODE_AM, Am},        {RIG_MODE_AMN, Am},
    {RIG_MODE_AMS, Am},       {RIG_MODE_SAM, Am},       {RIG_MODE_SAL, Am},
    {RIG_MODE_SAH, Am},       {RIG_MODE_FM, Fm},        {RIG_MODE_WFM, Fm},
    {RIG_MODE_FMN, Fm},       {RIG_MODE_RTTY, Rtty},    {RIG_MODE_RTTYR, Rtty},
    {RIG_MODE_PKTUSB, Rtty},  {RIG_MODE_PKTLSB, Rtty},  {RIG_MODE_PKTFM, Rtty},
    {RIG_MODE_PKTFMN, Rtty},  {RIG_MODE_PKTAM, Rtty},   {RIG_MODE_FAX, Rtty},
    {RIG_MODE_PSK, Rtty},     {RIG_MODE_PSKR, Rtty},    {RIG_MODE_P25, Rtty},
    {RIG_MODE_DSTAR, Rtty},   {RIG_MODE_DPMR, Rtty},    {RIG_MODE_NXDNVN, Rtty},
    {RIG_MODE_NXDN_N, Rtty},  {RIG_MODE_DCR, Rtty},     {RIG_MODE_DD, Rtty},
    {RIG_MODE_C4FM, Rtty},
};

} // namespace

int modePosition(quint64 mode)
{
    for (const ModePosition &entry : kPositions) {
        if (entry.mode == mode)
            return entry.position;
    }
    return Cw;
}

TrxReading reading(double hz, quint64 mode)
{
    return TrxDecoding::completedReading(TrxDecoding::frequencyTextOfHz(std::llround(hz)), modePosition(mode));
}

} // namespace HamlibReading
