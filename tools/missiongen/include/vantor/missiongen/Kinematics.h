#pragma once
// Point-mass motion for everything that moves in the mission: a heading that
// turns at a limited rate toward a goal, a speed and an altitude that change
// at limited rates, and dead reckoning over the sphere.

#include "vantor/geo/Sphere.h"

namespace vantor::missiongen {

using geo::GeoPoint;

struct MotionState {
  GeoPoint position;
  double altitudeM = 0.0;
  double headingRad = 0.0;  // clockwise from north, [0, 2pi)
  double speedKmh = 0.0;
};

struct MotionLimits {
  double turnRateRadPerS = 0.05;
  double climbRateMps = 10.0;
  double descentRateMps = 10.0;
  double accelerationKmhPerS = 10.0;
};

// Turns toward `goal`, eases speed and altitude toward their targets, then
// moves along the new heading for `dt` seconds.
void SteerToward(MotionState& state, GeoPoint goal, double targetAltitudeM, double targetSpeedKmh,
                 const MotionLimits& limits, double dt);

// Moves `step` toward `target` by at most `maxChange`.
double Approach(double value, double target, double maxChange);

// Turning radius in km at this speed and turn rate.
double TurnRadiusKm(double speedKmh, double turnRateRadPerS);

}  // namespace vantor::missiongen
