#pragma once
// Geographic positions, the UTM conversions on WGS-84 and the scope's range
// and bearing formulas. Pure computation on doubles, no state.
//
// The constants below are part of the behaviour: the series and the degree
// factors are used with exactly these values (not a library pi), so that
// every client places contacts on the same pixels.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "vantor/geo/GeoPoint.h"

namespace vantor::geo {

// Northing and easting in metres within a UTM zone.
struct UtmPoint {
  double northing = 0.0;
  double easting = 0.0;
  int zone = 0;
};

struct Ellipsoid {
  int id;
  std::string_view name;
  double equatorialRadius;
  double eccentricitySquared;
};

inline constexpr std::size_t kEllipsoidCount = 24;
inline constexpr std::size_t kWgs84Row = 23;
// Row 0 is a placeholder; the conversions always use row 23 (WGS-84).
const std::array<Ellipsoid, kEllipsoidCount>& EllipsoidTable();

inline constexpr double kDegToRad = 0.01745329;  // deliberately this literal, slightly below pi/180
inline constexpr double kShortPi = 3.14159265;   // pi as the conversions write it; Sphere.h has the full one
inline constexpr double kRadToDeg = 180.0 / kShortPi;
inline constexpr double kHeadingRadToDeg = 57.29578;
inline constexpr double kUtmScale = 0.9996;
inline constexpr double kFalseEasting = 500000.0;
inline constexpr double kFalseNorthingSouth = 10000000.0;
inline constexpr double kMetresPerKm = 1000.0;
inline constexpr double kKmToNm = 0.539;
inline constexpr double kZoneWidthMetres = 472892.0;

// Truncation toward zero into an int that never overflows: values beyond the
// int range saturate and NaN gives 0 (a plain cast would be undefined there).
inline int TruncToInt(double value) {
  if (!(value == value)) return 0;
  if (value >= 2147483647.0) return 2147483647;
  if (value <= -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(value);
}

// Zone number from the longitude band, with the Norway and Svalbard
// exceptions; the longitude is normalised first.
UtmPoint LatLongToUtm(double latitude, double longitude);
// zoneText is a zone number followed by a letter; a letter below 'N' means
// the southern hemisphere.
GeoPoint UtmToLatLong(double northing, double easting, std::string_view zoneText);
// A zone number followed by one letter, e.g. "37N".
using UtmZoneText = std::string;
// "%dN" of the zone number.
UtmZoneText FormatZone(int zone);

// Heading in radians to whole degrees, truncated toward zero.
int RadiansToWholeDegrees(double angle);

// Range in km between two scope pixels at the scale pixelsPerKm around the
// scope centre; about 0.9726 of the straight distance, as the scope has
// always shown it. 0 when the scale is 0.
int ScopeRangeKm(int x1, int y1, int x2, int y2, int pixelsPerKm, int centreX, int centreY);
// Bearing shown from the anchor pixel to the cursor pixel, north up,
// clockwise, in [0, 359]; 0 for identical points.
double ScopeBearing(int anchorX, int anchorY, int cursorX, int cursorY);

inline double KmToNauticalMiles(double km) { return km * kKmToNm; }
inline double MetresToKm(double metres) { return metres / kMetresPerKm; }

}  // namespace vantor::geo
