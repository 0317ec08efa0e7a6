#include "vantor/geo/Geodesy.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "vantor/geo/Sphere.h"

namespace vantor::geo {
namespace {

constexpr std::array<Ellipsoid, kEllipsoidCount> kEllipsoids{{
    {-1, "Placeholder", 0, 0},
    {1, "Airy", 6377563, 0.00667054},
    {2, "Australian National", 6378160, 0.006694542},
    {3, "Bessel 1841", 6377397, 0.006674372},
    {4, "Bessel 1841 (Nambia) ", 6377484, 0.006674372},
    {5, "Clarke 1866", 6378206, 0.006768658},
    {6, "Clarke 1880", 6378249, 0.006803511},
    {7, "Everest", 6377276, 0.006637847},
    {8, "Fischer 1960 (Mercury) ", 6378166, 0.006693422},
    {9, "Fischer 1968", 6378150, 0.006693422},
    {10, "GRS 1967", 6378160, 0.006694605},
    {11, "GRS 1980", 6378137, 0.00669438},
    {12, "Helmert 1906", 6378200, 0.006693422},
    {13, "Hough", 6378270, 0.00672267},
    {14, "International", 6378388, 0.00672267},
    {15, "Krassovsky", 6378245, 0.006693422},
    {16, "Modified Airy", 6377340, 0.00667054},
    {17, "Modified Everest", 6377304, 0.006637847},
    {18, "Modified Fischer 1960", 6378155, 0.006693422},
    {19, "South American 1969", 6378160, 0.006694542},
    {20, "WGS 60", 6378165, 0.006693422},
    {21, "WGS 66", 6378145, 0.006694542},
    {22, "WGS-72", 6378135, 0.006694318},
    {23, "WGS-84", 6378137, 0.00669438},
}};

constexpr double kA = kEllipsoids[kWgs84Row].equatorialRadius;
constexpr double kE2 = kEllipsoids[kWgs84Row].eccentricitySquared;
constexpr double kEp2 = kE2 / (1.0 - kE2);
// Coefficient of latRad in the meridian arc, shared by both directions.
constexpr double kArcFactor = 1.0 - kE2 * 0.25 - kE2 * kE2 * 0.046875 - kE2 * kE2 * kE2 * 0.01953125;

int ZoneOf(double latitude, double normalisedLongitude) {
  const double l = normalisedLongitude;
  // Absurd longitudes (bad input) stay absurd but must not overflow.
  int zone = 1 + TruncToInt(std::clamp((l + 180.0) / 6.0, -1e6, 1e6));
  if (latitude >= 56.0 && latitude < 64.0 && l >= 3.0 && l < 12.0) zone = 32;
  if (latitude >= 72.0 && latitude < 84.0) {
    if (l >= 0.0 && l < 9.0) {
      zone = 31;
    } else if (l >= 9.0 && l < 21.0) {
      zone = 33;
    } else if (l >= 21.0 && l < 33.0) {
      zone = 35;
    } else if (l >= 33.0 && l < 42.0) {
      zone = 37;
    }
  }
  return zone;
}

}  // namespace

const std::array<Ellipsoid, kEllipsoidCount>& EllipsoidTable() { return kEllipsoids; }

UtmPoint LatLongToUtm(double latitude, double longitude) {
  const double shifted = longitude + 180.0;
  const double l = shifted - 360.0 * std::trunc(shifted * 0.002777777777777778) - 180.0;

  const double latRad = latitude * kDegToRad;
  const double lonRad = l * kDegToRad;
  const int zone = ZoneOf(latitude, l);
  const double originRad = (6.0 * zone - 183.0) * kDegToRad;

  const double sinLat = std::sin(latRad);
  const double cosLat = std::cos(latRad);
  const double tanLat = std::tan(latRad);
  const double n = kA / std::sqrt(1.0 - kE2 * sinLat * sinLat);
  const double t = tanLat * tanLat;
  const double c = kEp2 * cosLat * cosLat;
  const double a = cosLat * (lonRad - originRad);

  const double e4 = kE2 * kE2;
  const double e6 = e4 * kE2;
  const double m =
      kA * (kArcFactor * latRad - (kE2 * 0.375 + e4 * 0.09375 + e6 * 0.0439453125) * std::sin(2.0 * latRad) +
            (e4 * 0.05859375 + e6 * 0.0439453125) * std::sin(4.0 * latRad) -
            e6 * 0.011393229166666666 * std::sin(6.0 * latRad));

  const double a2 = a * a;
  const double a3 = a2 * a;
  const double a4 = a3 * a;
  const double a5 = a4 * a;
  const double a6 = a5 * a;

  UtmPoint utm;
  utm.zone = zone;
  utm.easting = kUtmScale * n *
                    (a + (1.0 - t + c) * a3 * 0.16666666666666666 +
                     (5.0 - 18.0 * t + t * t + 72.0 * c - 58.0 * kEp2) * a5 * 0.008333333333333333) +
                kFalseEasting;
  utm.northing =
      kUtmScale * (m + n * tanLat *
                           (a2 * 0.5 + (5.0 - t + 9.0 * c + 4.0 * c * c) * a4 * 0.041666666666666664 +
                            (61.0 - 58.0 * t + t * t + 600.0 * c - 330.0 * kEp2) * a6 * 0.001388888888888889));
  if (latitude < 0.0) utm.northing += kFalseNorthingSouth;
  return utm;
}

GeoPoint UtmToLatLong(double northing, double easting, std::string_view zoneText) {
  const double rootE = std::sqrt(1.0 - kE2);
  const double e1 = (1.0 - rootE) / (1.0 + rootE);
  const double x = easting - kFalseEasting;
  double y = northing;

  // The zone is read as strtoul reads it (leading blanks, an optional sign,
  // decimal digits), so "%dN" of a zone below 1 comes back as written; the
  // character after the digits decides the hemisphere ('N' or above is
  // north, anything else, even none, south). Without digits nothing is
  // consumed and the first character decides.
  std::size_t pos = 0;
  while (pos < zoneText.size() && (zoneText[pos] == ' ' || (zoneText[pos] >= '\t' && zoneText[pos] <= '\r'))) ++pos;
  bool negative = false;
  if (pos < zoneText.size() && (zoneText[pos] == '+' || zoneText[pos] == '-')) negative = zoneText[pos++] == '-';
  const std::size_t digitsStart = pos;
  long long zone = 0;
  while (pos < zoneText.size() && zoneText[pos] >= '0' && zoneText[pos] <= '9') {
    zone = std::min<long long>(zone * 10 + (zoneText[pos] - '0'), INT_MAX);
    ++pos;
  }
  if (pos == digitsStart) pos = 0;
  if (negative) zone = -zone;
  const unsigned char letter = pos < zoneText.size() ? static_cast<unsigned char>(zoneText[pos]) : 0;
  if (letter < 'N') y -= kFalseNorthingSouth;

  const double originDeg = 6.0 * static_cast<double>(zone) - 183.0;
  const double m = y * 1.0004001600640255;
  const double mu = m / (kA * kArcFactor);

  const double e1Squared = e1 * e1;
  const double e1Cubed = e1Squared * e1;
  const double e1Fourth = e1Cubed * e1;
  const double phi1 = mu + (1.5 * e1 - 0.84375 * e1Cubed) * std::sin(2.0 * mu) +
                      (1.3125 * e1Squared - 1.71875 * e1Fourth) * std::sin(4.0 * mu) +
                      1.5729166666666665 * e1Cubed * std::sin(6.0 * mu);

  const double sinPhi = std::sin(phi1);
  const double cosPhi = std::cos(phi1);
  const double tanPhi = std::tan(phi1);
  const double w = 1.0 - kE2 * sinPhi * sinPhi;
  const double n1 = kA / std::sqrt(w);
  const double t1 = tanPhi * tanPhi;
  const double c1 = kEp2 * cosPhi * cosPhi;
  const double r1 = kA * (1.0 - kE2) / std::pow(w, 1.5);
  const double d = x / (n1 * kUtmScale);

  const double d2 = d * d;
  const double d3 = d2 * d;
  const double d4 = d3 * d;
  const double d5 = d4 * d;
  const double d6 = d5 * d;

  GeoPoint point;
  point.latitude =
      kRadToDeg *
      (phi1 - (n1 * tanPhi / r1) *
                  (d2 * 0.5 - (5.0 + 3.0 * t1 + 10.0 * c1 - 4.0 * c1 * c1 - 9.0 * kEp2) * d4 / 24.0 +
                   (61.0 + 90.0 * t1 + 298.0 * c1 + 45.0 * t1 * t1 - 252.0 * kEp2 - 3.0 * c1 * c1) * d6 / 720.0));
  point.longitude =
      originDeg + kRadToDeg *
                      (d - (1.0 + 2.0 * t1 + c1) * d3 / 6.0 +
                       (5.0 - 2.0 * c1 + 28.0 * t1 - 3.0 * c1 * c1 + 8.0 * kEp2 + 24.0 * t1 * t1) * d5 / 120.0) /
                      cosPhi;
  return point;
}

UtmZoneText FormatZone(int zone) {
  char text[16];
  std::snprintf(text, sizeof text, "%dN", zone);
  return text;
}

int RadiansToWholeDegrees(double angle) { return TruncToInt(angle * kHeadingRadToDeg); }

int ScopeRangeKm(int x1, int y1, int x2, int y2, int pixelsPerKm, int centreX, int centreY) {
  if (pixelsPerKm == 0) return 0;
  const double p = pixelsPerKm;
  const double a1 = ((centreX - x1) / p) * 0.008889 * 0.0125;
  const double a2 = ((centreX - x2) / p) * 0.008889 * 0.0125;
  const double d = (((centreY - y1) / p) * 0.0125 - ((centreY - y2) / p) * 0.0125) * 0.008889;
  // Rounding can push the cosine a hair above 1 for identical points.
  const double c = std::clamp(std::cos(d) * std::cos(a1) * std::cos(a2) + std::sin(a1) * std::sin(a2), -1.0, 1.0);
  const double theta = std::acos(c) * 57.29578;
  return TruncToInt(2.0 * kChordEarthRadiusKm * std::sin(theta * 0.5 * 0.024));
}

double ScopeBearing(int anchorX, int anchorY, int cursorX, int cursorY) {
  const double dx = static_cast<double>(cursorX) - anchorX;
  const double dy = static_cast<double>(cursorY) - anchorY;
  const double dist = std::sqrt(dy * dy + dx * dx);
  if (dist == 0.0) return 0.0;
  const double alpha = std::acos(std::min(std::fabs(dx) / dist, 1.0)) * 57.29578;
  const bool left = cursorX < anchorX;
  const bool below = cursorY > anchorY;  // screen y grows downward
  double bearing;
  if (left) {
    bearing = below ? 270.0 - alpha : 270.0 + alpha;
  } else {
    bearing = below ? 90.0 + alpha : 90.0 - alpha;
  }
  if (bearing < 0.0 || bearing > 359.0) bearing = 0.0;
  return bearing;
}

}  // namespace vantor::geo
