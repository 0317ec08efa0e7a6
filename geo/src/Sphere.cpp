#include "vantor/geo/Sphere.h"

#include <cmath>

namespace vantor::geo {

double DistanceKm(GeoPoint from, GeoPoint to) {
  const double dLat = Radians(to.latitude - from.latitude);
  const double dLon = Radians(to.longitude - from.longitude);
  const double a = std::sin(dLat / 2) * std::sin(dLat / 2) + std::cos(Radians(from.latitude)) *
                                                                 std::cos(Radians(to.latitude)) * std::sin(dLon / 2) *
                                                                 std::sin(dLon / 2);
  return 2.0 * kMeanEarthRadiusKm * std::atan2(std::sqrt(a), std::sqrt(1.0 - a));
}

double BearingRad(GeoPoint from, GeoPoint to) {
  const double lat1 = Radians(from.latitude);
  const double lat2 = Radians(to.latitude);
  const double dLon = Radians(to.longitude - from.longitude);
  const double y = std::sin(dLon) * std::cos(lat2);
  const double x = std::cos(lat1) * std::sin(lat2) - std::sin(lat1) * std::cos(lat2) * std::cos(dLon);
  return WrapRadians(std::atan2(y, x));
}

GeoPoint Destination(GeoPoint from, double bearingRad, double distanceKm) {
  const double delta = distanceKm / kMeanEarthRadiusKm;
  const double lat1 = Radians(from.latitude);
  const double lon1 = Radians(from.longitude);
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

GeoPoint Lerp(GeoPoint a, GeoPoint b, double t) {
  return {a.latitude + (b.latitude - a.latitude) * t, a.longitude + (b.longitude - a.longitude) * t};
}

}  // namespace vantor::geo
