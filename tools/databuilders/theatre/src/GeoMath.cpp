#include "vantor/tools/GeoMath.h"

#include <cmath>

namespace vantor::tools {

double DistanceKm(LatLon from, LatLon to) {
  const double dLat = Radians(to.lat - from.lat);
  const double dLon = Radians(to.lon - from.lon);
  const double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
                   std::cos(Radians(from.lat)) * std::cos(Radians(to.lat)) * std::sin(dLon / 2) * std::sin(dLon / 2);
  return 2.0 * kEarthRadiusKm * std::atan2(std::sqrt(a), std::sqrt(1.0 - a));
}

double BearingRad(LatLon from, LatLon to) {
  const double lat1 = Radians(from.lat);
  const double lat2 = Radians(to.lat);
  const double dLon = Radians(to.lon - from.lon);
  const double y = std::sin(dLon) * std::cos(lat2);
  const double x = std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon);
  return WrapRadians(std::atan2(y, x));
}

LatLon Destination(LatLon from, double bearingRad, double distanceKm) {
  const double delta = distanceKm / kEarthRadiusKm;
  const double lat1 = Radians(from.lat);
  const double lon1 = Radians(from.lon);
  const double lat2 =
      std::asin(std::sin(lat1) * std::cos(delta) + std::cos(lat1) * std::sin(delta) * std::cos(bearingRad));
  const double lon2 = lon1 + std::atan2(std::sin(bearingRad) * std::sin(delta) * std::cos(lat1),
                                        std::cos(delta) - std::sin(lat1) * std::sin(lat2));
  return {Degrees(lat2), Degrees(lon2)};
}

double WrapRadians(double angle) {
  double wrapped = std::fmod(angle, kTwoPi);
  if (wrapped < 0) wrapped += kTwoPi;
  // fmod of a value just below 0 can round up to exactly 2pi.
  if (wrapped >= kTwoPi) wrapped = 0.0;
  return wrapped;
}

double AngleDifference(double target, double current) {
  double diff = WrapRadians(target - current);
  if (diff > kPi) diff -= kTwoPi;
  return diff;
}

LatLon Lerp(LatLon a, LatLon b, double t) { return {a.lat + (b.lat - a.lat) * t, a.lon + (b.lon - a.lon) * t}; }

}  // namespace vantor::tools
