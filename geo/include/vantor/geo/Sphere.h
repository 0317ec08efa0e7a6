#pragma once
// The Earth as a sphere: its two radii, and great-circle distances, bearings
// and dead reckoning for the data builders and the mission generator.
//
// Two radii, for two different rules: the server's ground speeds and the
// tools' great circles use the mean radius; the client's range and coverage
// rules measure chords on a slightly smaller sphere. They are not
// interchangeable: each rule keeps its own.

#include "vantor/geo/GeoPoint.h"

namespace vantor::geo {

inline constexpr double kMeanEarthRadiusKm = 6371.0;
inline constexpr double kChordEarthRadiusKm = 6366.0;

inline constexpr double kPi = 3.14159265358979323846;  // std::numbers::pi, which moc cannot read
inline constexpr double kTwoPi = 2.0 * kPi;

constexpr double Radians(double degrees) { return degrees * kPi / 180.0; }
constexpr double Degrees(double radians) { return radians * 180.0 / kPi; }

// Great-circle distance in km on the mean sphere (haversine).
double DistanceKm(GeoPoint from, GeoPoint to);
// Initial bearing from `from` to `to`, radians clockwise from north, in [0, 2pi).
double BearingRad(GeoPoint from, GeoPoint to);
// The point reached from `from` after `distanceKm` along `bearingRad`.
GeoPoint Destination(GeoPoint from, double bearingRad, double distanceKm);
// Folds any angle into [0, 2pi).
double WrapRadians(double angle);
// Signed smallest difference target - current, in (-pi, pi].
double AngleDifference(double target, double current);
// Linear interpolation between two positions (adequate over a few tens of km).
GeoPoint Lerp(GeoPoint a, GeoPoint b, double t);

}  // namespace vantor::geo
