#include "vantor/missiongen/Kinematics.h"

#include <algorithm>

namespace vantor::missiongen {

double Approach(double value, double target, double maxChange) {
  if (target > value) return std::min(target, value + maxChange);
  return std::max(target, value - maxChange);
}

double TurnRadiusKm(double speedKmh, double turnRateRadPerS) {
  return speedKmh / 3600.0 / std::max(turnRateRadPerS, 1e-6);
}

void SteerToward(MotionState& state, GeoPoint goal, double targetAltitudeM, double targetSpeedKmh,
                 const MotionLimits& limits, double dt) {
  const double wanted = geo::BearingRad(state.position, goal);
  const double turn = std::clamp(geo::AngleDifference(wanted, state.headingRad), -limits.turnRateRadPerS * dt,
                                 limits.turnRateRadPerS * dt);
  state.headingRad = geo::WrapRadians(state.headingRad + turn);
  state.speedKmh = Approach(state.speedKmh, targetSpeedKmh, limits.accelerationKmhPerS * dt);
  const double rate = targetAltitudeM > state.altitudeM ? limits.climbRateMps : limits.descentRateMps;
  state.altitudeM = Approach(state.altitudeM, targetAltitudeM, rate * dt);
  state.position = geo::Destination(state.position, state.headingRad, state.speedKmh * dt / 3600.0);
}

}  // namespace vantor::missiongen
