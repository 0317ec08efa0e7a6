// Great circles on the mean sphere, as the mission generator flies them and
// the outline builder draws runways.
#include <gtest/gtest.h>

#include <cmath>

#include "vantor/geo/Sphere.h"

using namespace vantor::geo;

TEST(Sphere, DistancesAreOnTheMeanSphere) {
  // One degree of latitude, as the server's ground speed also measures it.
  EXPECT_NEAR(DistanceKm({44.0, 38.0}, {45.0, 38.0}), 111.19493, 1e-5);
  EXPECT_NEAR(DistanceKm({0.0, 0.0}, {0.0, 1.0}), kMeanEarthRadiusKm * kPi / 180.0, 1e-9);
  EXPECT_EQ(DistanceKm({45.081666, 38.95}, {45.081666, 38.95}), 0.0);
}

TEST(Sphere, BearingsRunClockwiseFromNorth) {
  EXPECT_NEAR(BearingRad({0.0, 0.0}, {1.0, 0.0}), 0.0, 1e-12);
  EXPECT_NEAR(BearingRad({0.0, 0.0}, {0.0, 1.0}), kPi / 2, 1e-12);
  EXPECT_NEAR(BearingRad({0.0, 0.0}, {-1.0, 0.0}), kPi, 1e-12);
  EXPECT_NEAR(BearingRad({0.0, 0.0}, {0.0, -1.0}), 3 * kPi / 2, 1e-12);
  // Just west of north stays below 2 pi.
  const double almostNorth = BearingRad({44.0, 38.0}, {45.0, 38.0 - 1e-12});
  EXPECT_GE(almostNorth, 0.0);
  EXPECT_LT(almostNorth, kTwoPi);
}

TEST(Sphere, DestinationLiesAtItsDistanceAndBearing) {
  const GeoPoint krasnodar{45.081666, 38.95};
  for (double bearingDeg = 0.0; bearingDeg < 360.0; bearingDeg += 45.0) {
    for (double km : {0.05, 3.0, 150.0}) {
      const GeoPoint there = Destination(krasnodar, Radians(bearingDeg), km);
      EXPECT_NEAR(DistanceKm(krasnodar, there), km, km * 1e-9) << bearingDeg << " " << km;
      EXPECT_NEAR(AngleDifference(BearingRad(krasnodar, there), Radians(bearingDeg)), 0.0, 1e-6)
          << bearingDeg << " " << km;
    }
  }
  // A negative distance goes the other way.
  const GeoPoint back = Destination(krasnodar, 0.0, -10.0);
  EXPECT_LT(back.latitude, krasnodar.latitude);
  EXPECT_NEAR(back.longitude, krasnodar.longitude, 1e-9);
}

TEST(Sphere, AnglesFoldIntoTheirRanges) {
  EXPECT_DOUBLE_EQ(WrapRadians(-kPi / 2), 3 * kPi / 2);
  EXPECT_NEAR(WrapRadians(5 * kPi), kPi, 1e-12);
  EXPECT_DOUBLE_EQ(WrapRadians(0.0), 0.0);
  // A hair below 0 would round up to exactly 2 pi: it becomes 0.
  EXPECT_EQ(WrapRadians(-1e-17), 0.0);
  EXPECT_LT(WrapRadians(-1e-17), kTwoPi);
  EXPECT_NEAR(AngleDifference(0.1, kTwoPi - 0.1), 0.2, 1e-12);
  EXPECT_NEAR(AngleDifference(kTwoPi - 0.1, 0.1), -0.2, 1e-12);
  // Half a turn either way is +pi: the range is (-pi, pi].
  EXPECT_DOUBLE_EQ(AngleDifference(kPi, 0.0), kPi);
  EXPECT_DOUBLE_EQ(AngleDifference(0.0, kPi), kPi);
}

TEST(Sphere, LerpRunsFromOneEndToTheOther) {
  const GeoPoint a{44.0, 38.0}, b{45.0, 40.0};
  EXPECT_EQ(Lerp(a, b, 0.0), a);
  EXPECT_EQ(Lerp(a, b, 1.0), b);
  EXPECT_EQ(Lerp(a, b, 0.5), (GeoPoint{44.5, 39.0}));
}
