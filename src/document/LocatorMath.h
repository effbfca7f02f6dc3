#pragma once

#include <QString>

// Maidenhead locators, great-circle distance and beam headings, as the entry form shows
// them under the worked-before list. Latitudes are north positive, longitudes west
// positive (east negative), the convention of the countries table.
class LocatorMath
{
public:
    static constexpr double kDegToRad = 0.017453292519943295;
    static constexpr double kRadToDeg = 57.29577951308232;
    // One degree of great-circle arc.
    static constexpr double kKmPerDegree = 111.1775;
    static constexpr double kMilesPerDegree = 69.0826;

    // Four or six characters (a fifth is ignored, characters beyond six too): field
    // letters A to R, square digits, subsquare letters A to X; capitals only.
    static bool IsValidLocator(const QString &locator);
    // The centre of the square or subsquare; 0.0 for an invalid locator. Computed in
    // single precision.
    static double LocatorLatitude(const QString &locator);
    static double LocatorLongitude(const QString &locator);

    // The arc between two positions, in degrees.
    static double GreatCircleDistance(double lat1, double lon1, double lat2, double lon2);
    // The short-path heading from position 1 to position 2 (0 to 360) for the arc
    // between them; 0 when the arc is 0 or the positions coincide.
    static double Bearing(double lat1, double lon1, double lat2, double lon2, double arc);
    static double LongPath(double shortPath);

    // "  5414 km 3364 miles,  sp 289°, lp 109°" for an arc and its short-path heading.
    static QString DistanceLine(double arc, double shortPath);
    // The line the Grid field gives with the own locator `own`: the distance line, or
    // " No valid locator" when `grid` is not a valid locator.
    static QString GridLine(const QString &own, const QString &grid);
};
