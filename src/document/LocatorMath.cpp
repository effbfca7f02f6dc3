#include "LocatorMath.h"

#include <algorithm>
#include <cmath>

namespace {

// The characters that count: four of a 4- or 5-character locator, six of a longer one.
int significantLength(const QString &locator)
{
    return locator.size() >= 6 ? 6 : 4;
}

bool inRange(QChar c, char first, char last)
{
    return c >= QLatin1Char(first) && c <= QLatin1Char(last);
}

float letterIndex(QChar c)
{
    return static_cast<float>(c.unicode() - 'A');
}

float digitValue(QChar c)
{
    return static_cast<float>(c.unicode() - '0');
}

// Rounding can carry a cosine just past 1 or -1; the arc cosine of that is no number.
double clampedAcos(double argument)
{
    if (std::isnan(argument))
        return 0.0;
    return std::acos(std::clamp(argument, -1.0, 1.0));
}

} // namespace

bool LocatorMath::IsValidLocator(const QString &locator)
{
    if (locator.size() < 4)
        return false;
    if (!inRange(locator[0], 'A', 'R') || !inRange(locator[1], 'A', 'R'))
        return false;
    if (!inRange(locator[2], '0', '9') || !inRange(locator[3], '0', '9'))
        return false;
    if (significantLength(locator) == 6)
        return inRange(locator[4], 'A', 'X') && inRange(locator[5], 'A', 'X');
    return true;
}

double LocatorMath::LocatorLatitude(const QString &locator)
{
    if (!IsValidLocator(locator))
        return 0.0;
    const float degrees = -90.0f + 10.0f * letterIndex(locator[1]) + digitValue(locator[3]);
    if (significantLength(locator) == 4)
        return static_cast<double>(degrees + 0.5f);
    return static_cast<double>((degrees * 60.0f + 2.5f * letterIndex(locator[5]) + 1.25f) / 60.0f);
}

double LocatorMath::LocatorLongitude(const QString &locator)
{
    if (!IsValidLocator(locator))
        return 0.0;
    const float degrees = 180.0f - 20.0f * letterIndex(locator[0]) - 2.0f * digitValue(locator[2]);
    if (significantLength(locator) == 4)
        return static_cast<double>(degrees - 1.0f);
    return static_cast<double>((degrees * 60.0f - 5.0f * letterIndex(locator[4]) - 2.5f) / 60.0f);
}

double LocatorMath::GreatCircleDistance(double lat1, double lon1, double lat2, double lon2)
{
    const double k = kDegToRad;
    const double cosine = std::cos((lon1 - lon2) * k) * (std::cos(lat1 * k) * std::cos(lat2 * k))
                        + std::sin(lat1 * k) * std::sin(lat2 * k);
    return clampedAcos(cosine) * kRadToDeg;
}

double LocatorMath::Bearing(double lat1, double lon1, double lat2, double lon2, double arc)
{
    // Rounding can leave a tiny arc between coincident positions, whose heading would be
    // an arbitrary direction.
    if (arc == 0.0 || (lat1 == lat2 && lon1 == lon2))
        return 0.0;
    const double k = kDegToRad;
    const double cosine = (std::sin(lat2 * k) - std::sin(lat1 * k) * std::cos(arc * k))
                        / (std::cos(lat1 * k) * std::sin(arc * k));
    const double heading = clampedAcos(cosine) * kRadToDeg;
    return std::sin((lon1 - lon2) * k) < 0.0 ? 360.0 - heading : heading;
}

double LocatorMath::LongPath(double shortPath)
{
    return shortPath > 180.0 ? shortPath - 180.0 : shortPath + 180.0;
}

QString LocatorMath::DistanceLine(double arc, double shortPath)
{
    return QString::asprintf("  %.0f km %.0f miles,  sp %3.0f\u00b0, lp %3.0f\u00b0", arc * kKmPerDegree,
                             arc * kMilesPerDegree, shortPath, LongPath(shortPath));
}

QString LocatorMath::GridLine(const QString &own, const QString &grid)
{
    if (!IsValidLocator(grid))
        return QStringLiteral(" No valid locator");
    const double lat1 = LocatorLatitude(own);
    const double lon1 = LocatorLongitude(own);
    const double lat2 = LocatorLatitude(grid);
    const double lon2 = LocatorLongitude(grid);
    const double arc = GreatCircleDistance(lat1, lon1, lat2, lon2);
    return DistanceLine(arc, Bearing(lat1, lon1, lat2, lon2, arc));
}
