#pragma once
// Spherical geometry for the tools: distances, bearings and dead reckoning on
// a sphere of the same radius the server uses for ground speeds.

namespace vantor::tools {

// A geographic position in decimal degrees, north and east positive.
struct LatLon {
  double lat = 0.0;
  double lon = 0.0;
};

inline constexpr double kEarthRadiusKm = 6371.0;
inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;

constexpr double Radians(double degrees) { return degrees * kPi / 180.0; }
constexpr double Degrees(double radians) { return radians * 180.0 / kPi; }

// Great-circle distance in km (haversine).
double DistanceKm(LatLon from, LatLon to);
// Initial bearing from `from` to `to`, radians clockwise from north, in [0, 2pi).
double BearingRad(LatLon from, LatLon to);
// The point reached from `from` after `distanceKm` along `bearingRad`.
LatLon Destination(LatLon from, double bearingRad, double distanceKm);
// Folds any angle into [0, 2pi).
double WrapRadians(double angle);
// Signed smallest difference target - current, in (-pi, pi].
double AngleDifference(double target, double current);
// Linear interpolation between two positions (adequate over a few tens of km).
LatLon Lerp(LatLon a, LatLon b, double t);

}  // namespace vantor::tools
