#include "vantor/missiongen/Movers.h"

#include <algorithm>
#include <cmath>

namespace vantor::missiongen {

using geo::BearingRad;
using geo::Destination;
using geo::DistanceKm;
using geo::kPi;
using geo::WrapRadians;

// --- RunwayLayout ---------------------------------------------------------

RunwayLayout::RunwayLayout(const geo::Runway& runway, bool reversed)
    : threshold_(reversed ? runway.end2 : runway.end1),
      directionRad_(reversed ? BearingRad(runway.end2, runway.end1) : BearingRad(runway.end1, runway.end2)),
      lengthKm_(runway.LengthKm()),
      elevationM_(runway.elevationM),
      taxiwaySide_(reversed ? -1.0 : 1.0) {}

GeoPoint RunwayLayout::Point(double alongKm, double towardTaxiwayKm) const {
  const GeoPoint onCentreline = Destination(threshold_, directionRad_, alongKm);
  if (towardTaxiwayKm == 0.0) return onCentreline;
  return Destination(onCentreline, directionRad_ + taxiwaySide_ * kPi / 2, towardTaxiwayKm);
}

// --- RacetrackMover -------------------------------------------------------

RacetrackMover::RacetrackMover(const RacetrackPattern& pattern, double startFraction)
    : pattern_(pattern),
      perimeterKm_(2.0 * pattern.legKm + 2.0 * kPi * pattern.turnRadiusKm),
      distanceKm_(startFraction * perimeterKm_) {}

MotionState RacetrackMover::At(double s) const {
  const double halfLeg = pattern_.legKm / 2.0;
  const double r = pattern_.turnRadiusKm;
  const double axis = pattern_.axisRad;
  // Local frame in km: u along the first leg, v to its right.
  const double ux = std::sin(axis), uy = std::cos(axis);
  const double vx = std::cos(axis), vy = -std::sin(axis);
  s = std::fmod(s, perimeterKm_);
  if (s < 0) s += perimeterKm_;
  double along = 0, right = 0, heading = 0;
  const double turnLength = kPi * r;
  if (s < pattern_.legKm) {  // first leg, left of the axis
    along = -halfLeg + s;
    right = -r;
    heading = axis;
  } else if (s < pattern_.legKm + turnLength) {  // far turn
    const double phi = (s - pattern_.legKm) / r;
    along = halfLeg + r * std::sin(phi);
    right = -r * std::cos(phi);
    heading = axis + phi;
  } else if (s < 2 * pattern_.legKm + turnLength) {  // second leg, back
    along = halfLeg - (s - pattern_.legKm - turnLength);
    right = r;
    heading = axis + kPi;
  } else {  // near turn
    const double phi = (s - 2 * pattern_.legKm - turnLength) / r;
    along = -halfLeg - r * std::sin(phi);
    right = r * std::cos(phi);
    heading = axis + kPi + phi;
  }
  const double east = along * ux + right * vx;
  const double north = along * uy + right * vy;
  MotionState state;
  state.position = Destination(pattern_.centre, std::atan2(east, north), std::hypot(east, north));
  state.altitudeM = pattern_.altitudeM;
  state.headingRad = WrapRadians(heading);
  state.speedKmh = pattern_.speedKmh;
  return state;
}

void RacetrackMover::Advance(double dt, MotionState& state) {
  distanceKm_ = std::fmod(distanceKm_ + pattern_.speedKmh * dt / 3600.0, perimeterKm_);
  state = At(distanceKm_);
}

// --- SortieMover ----------------------------------------------------------

namespace {
constexpr double kTaxiKmh = 30.0;
constexpr double kTakeoffAccelerationKmhPerS = 10.0;  // about 2.8 m/s^2
constexpr double kBrakingKmhPerS = 9.0;
constexpr double kRolloutEndKmh = 40.0;
constexpr double kDepartureHeightM = 600.0;
constexpr double kDepartureKmh = 550.0;
constexpr double kInitialFixHeightM = 1500.0;
constexpr double kFinalFixHeightM = 630.0;  // a 3 degree glide path from 12 km
}  // namespace

SortieMover::SortieMover(const SortiePlan& plan, const AircraftPerformance& performance)
    : plan_(plan), performance_(performance), layout_(*plan.runway, plan.reversed) {}

MotionLimits SortieMover::AirLimits() const {
  MotionLimits limits;
  limits.turnRateRadPerS = performance_.turnRateRadPerS;
  limits.climbRateMps = performance_.climbMps;
  limits.descentRateMps = 20.0;
  limits.accelerationKmhPerS = 12.0;
  return limits;
}

double SortieMover::CaptureKm(const MotionState& state) const {
  return std::max(1.5, 1.3 * TurnRadiusKm(state.speedKmh, performance_.turnRateRadPerS));
}

bool SortieMover::Airborne() const {
  switch (phase_) {
    case SortiePhase::Departure:
    case SortiePhase::Enroute:
    case SortiePhase::Patrol:
    case SortiePhase::Return:
    case SortiePhase::Approach:
    case SortiePhase::Final:
      return true;
    default:
      return false;
  }
}

void SortieMover::StartParked(double delaySeconds, MotionState& state) {
  state.position = layout_.Parking(plan_.parkingSlot);
  state.altitudeM = layout_.ElevationM();
  // Nose toward the taxiway.
  state.headingRad = BearingRad(
      state.position, layout_.Point(layout_.ParkingAlongKm(plan_.parkingSlot), RunwayLayout::kTaxiwayOffsetKm));
  state.speedKmh = 0.0;
  phase_ = SortiePhase::Parked;
  timerSeconds_ = delaySeconds;
}

void SortieMover::StartOnPatrol(double remainingSeconds, double legFraction, MotionState& state) {
  state.position = geo::Lerp(plan_.stationA, plan_.stationB, legFraction);
  state.altitudeM = plan_.stationAltitudeM;
  state.headingRad = BearingRad(plan_.stationA, plan_.stationB);
  state.speedKmh = performance_.cruiseKmh;
  phase_ = SortiePhase::Patrol;
  towardB_ = true;
  timerSeconds_ = remainingSeconds;
}

void SortieMover::StartEnroute(double fraction, MotionState& state) {
  const GeoPoint from = layout_.Point(layout_.LengthKm(), 0.0);
  state.position = geo::Lerp(from, plan_.stationA, fraction);
  state.altitudeM = plan_.stationAltitudeM;
  state.headingRad = BearingRad(state.position, plan_.stationA);
  state.speedKmh = performance_.cruiseKmh;
  phase_ = SortiePhase::Enroute;
}

void SortieMover::Enter(SortiePhase phase, MotionState& state) {
  phase_ = phase;
  switch (phase) {
    case SortiePhase::Parked:
      state.speedKmh = 0.0;
      timerSeconds_ = plan_.turnaroundSeconds;
      break;
    case SortiePhase::TaxiOut:
      path_ = {layout_.Point(layout_.ParkingAlongKm(plan_.parkingSlot), RunwayLayout::kTaxiwayOffsetKm),
               layout_.Point(0.0, RunwayLayout::kTaxiwayOffsetKm), layout_.Point(0.0, 0.0)};
      break;
    case SortiePhase::TakeoffRoll:
      runwayKm_ = 0.0;
      state.speedKmh = 0.0;
      state.headingRad = WrapRadians(layout_.DirectionRad());
      break;
    case SortiePhase::Patrol:
      towardB_ = true;
      timerSeconds_ = plan_.patrolSeconds;
      break;
    case SortiePhase::Final:
      finalStart_ = state.position;
      finalStartAltitudeM_ = state.altitudeM;
      finalLengthKm_ = std::max(0.5, DistanceKm(state.position, layout_.Point(kTouchdownKm, 0.0)));
      break;
    case SortiePhase::Rollout:
      runwayKm_ = kTouchdownKm;
      state.altitudeM = layout_.ElevationM();
      state.headingRad = WrapRadians(layout_.DirectionRad());
      break;
    case SortiePhase::TaxiIn:
      path_ = {layout_.Point(runwayKm_, RunwayLayout::kTaxiwayOffsetKm),
               layout_.Point(layout_.ParkingAlongKm(plan_.parkingSlot), RunwayLayout::kTaxiwayOffsetKm),
               layout_.Parking(plan_.parkingSlot)};
      break;
    default:
      break;
  }
}

bool SortieMover::FollowPath(double dt, double speedKmh, MotionState& state) {
  double budgetKm = speedKmh * dt / 3600.0;
  state.speedKmh = speedKmh;
  while (!path_.empty() && budgetKm > 0.0) {
    const double remaining = DistanceKm(state.position, path_.front());
    if (remaining > 1e-6) state.headingRad = BearingRad(state.position, path_.front());
    if (remaining <= budgetKm) {
      state.position = path_.front();
      path_.erase(path_.begin());
      budgetKm -= remaining;
    } else {
      state.position = Destination(state.position, state.headingRad, budgetKm);
      budgetKm = 0.0;
    }
  }
  return path_.empty();
}

void SortieMover::Advance(double dt, MotionState& state) {
  const double field = layout_.ElevationM();
  switch (phase_) {
    case SortiePhase::Parked:
      timerSeconds_ -= dt;
      if (timerSeconds_ <= 0.0) Enter(SortiePhase::TaxiOut, state);
      break;
    case SortiePhase::TaxiOut:
      if (FollowPath(dt, kTaxiKmh, state)) Enter(SortiePhase::TakeoffRoll, state);
      break;
    case SortiePhase::TakeoffRoll:
      state.speedKmh += kTakeoffAccelerationKmhPerS * dt;
      runwayKm_ += state.speedKmh * dt / 3600.0;
      state.position = layout_.Point(runwayKm_, 0.0);
      if (state.speedKmh >= performance_.rotateKmh) Enter(SortiePhase::Departure, state);
      break;
    case SortiePhase::Departure: {
      // Straight out along the runway heading until safely clear of the ground.
      const GeoPoint ahead = layout_.Point(runwayKm_ + 30.0, 0.0);
      SteerToward(state, ahead, field + kDepartureHeightM + 200.0, kDepartureKmh, AirLimits(), dt);
      if (state.altitudeM >= field + kDepartureHeightM) Enter(SortiePhase::Enroute, state);
      break;
    }
    case SortiePhase::Enroute:
      SteerToward(state, plan_.stationA, plan_.stationAltitudeM, performance_.cruiseKmh, AirLimits(), dt);
      if (DistanceKm(state.position, plan_.stationA) < CaptureKm(state)) Enter(SortiePhase::Patrol, state);
      break;
    case SortiePhase::Patrol: {
      const GeoPoint goal = towardB_ ? plan_.stationB : plan_.stationA;
      SteerToward(state, goal, plan_.stationAltitudeM, performance_.cruiseKmh, AirLimits(), dt);
      if (DistanceKm(state.position, goal) < CaptureKm(state)) towardB_ = !towardB_;
      timerSeconds_ -= dt;
      if (timerSeconds_ <= 0.0) Enter(SortiePhase::Return, state);
      break;
    }
    case SortiePhase::Return: {
      const GeoPoint fix = layout_.Point(-kInitialFixKm, 0.0);
      SteerToward(state, fix, field + kInitialFixHeightM, performance_.approachKmh + 150.0, AirLimits(), dt);
      if (DistanceKm(state.position, fix) < CaptureKm(state)) Enter(SortiePhase::Approach, state);
      break;
    }
    case SortiePhase::Approach: {
      const GeoPoint fix = layout_.Point(-kFinalFixKm, 0.0);
      SteerToward(state, fix, field + kFinalFixHeightM, performance_.approachKmh, AirLimits(), dt);
      if (DistanceKm(state.position, fix) < 1.5) Enter(SortiePhase::Final, state);
      break;
    }
    case SortiePhase::Final: {
      // Straight down the glide path to the touchdown point.
      const GeoPoint touchdown = layout_.Point(kTouchdownKm, 0.0);
      const double stepKm = state.speedKmh * dt / 3600.0;
      const double remaining = DistanceKm(state.position, touchdown);
      if (remaining <= stepKm) {
        state.position = touchdown;
        Enter(SortiePhase::Rollout, state);
        break;
      }
      state.headingRad = BearingRad(state.position, touchdown);
      state.position = Destination(state.position, state.headingRad, stepKm);
      const double left = std::max(0.0, remaining - stepKm) / finalLengthKm_;
      state.altitudeM = field + (finalStartAltitudeM_ - field) * left;
      state.speedKmh = Approach(state.speedKmh, performance_.approachKmh * 0.85, 3.0 * dt);
      break;
    }
    case SortiePhase::Rollout:
      state.speedKmh = std::max(kRolloutEndKmh, state.speedKmh - kBrakingKmhPerS * dt);
      runwayKm_ = std::min(runwayKm_ + state.speedKmh * dt / 3600.0, layout_.LengthKm());
      state.position = layout_.Point(runwayKm_, 0.0);
      if (state.speedKmh <= kRolloutEndKmh || runwayKm_ >= layout_.LengthKm()) Enter(SortiePhase::TaxiIn, state);
      break;
    case SortiePhase::TaxiIn:
      if (FollowPath(dt, kTaxiKmh, state)) Enter(SortiePhase::Parked, state);
      break;
  }
}

// --- ShuttleMover ---------------------------------------------------------

ShuttleMover::ShuttleMover(const ShuttlePlan& plan, double startFraction, MotionState& state) : plan_(plan) {
  // Start somewhere along the way out, or resting at the first site.
  if (startFraction < 0.2) {
    state.position = plan_.siteA;
    state.altitudeM = plan_.siteAElevationM;
    state.headingRad = BearingRad(plan_.siteA, plan_.siteB);
    state.speedKmh = 0.0;
    phase_ = Phase::OnGround;
    timerSeconds_ = startFraction / 0.2 * plan_.groundSeconds;
  } else {
    state.position = geo::Lerp(plan_.siteA, plan_.siteB, (startFraction - 0.2) / 0.8 * 0.9);
    state.altitudeM = std::max(plan_.siteAElevationM, plan_.siteBElevationM) + plan_.cruiseHeightM;
    state.headingRad = BearingRad(plan_.siteA, plan_.siteB);
    state.speedKmh = plan_.cruiseKmh;
    phase_ = Phase::Cruise;
  }
}

void ShuttleMover::Advance(double dt, MotionState& state) {
  const GeoPoint destination = towardB_ ? plan_.siteB : plan_.siteA;
  const double destinationElevation = towardB_ ? plan_.siteBElevationM : plan_.siteAElevationM;
  const double cruiseAltitude = std::max(plan_.siteAElevationM, plan_.siteBElevationM) + plan_.cruiseHeightM;
  MotionLimits limits;
  limits.turnRateRadPerS = 0.12;
  limits.climbRateMps = 6.0;
  limits.descentRateMps = 5.0;
  limits.accelerationKmhPerS = 8.0;
  switch (phase_) {
    case Phase::OnGround:
      timerSeconds_ -= dt;
      if (timerSeconds_ <= 0.0) phase_ = Phase::Climb;
      break;
    case Phase::Climb:
      SteerToward(state, destination, cruiseAltitude, 80.0, limits, dt);
      if (state.altitudeM >= cruiseAltitude - 1.0) phase_ = Phase::Cruise;
      break;
    case Phase::Cruise:
      SteerToward(state, destination, cruiseAltitude, plan_.cruiseKmh, limits, dt);
      if (DistanceKm(state.position, destination) < 1.0) phase_ = Phase::Descend;
      break;
    case Phase::Descend: {
      const double remaining = DistanceKm(state.position, destination);
      const double speed = std::max(20.0, std::min(state.speedKmh, remaining * 200.0));
      SteerToward(state, destination, destinationElevation, speed, limits, dt);
      if (DistanceKm(state.position, destination) < 0.03 || state.altitudeM <= destinationElevation + 0.5) {
        state.position = destination;
        state.altitudeM = destinationElevation;
        state.speedKmh = 0.0;
        phase_ = Phase::OnGround;
        timerSeconds_ = plan_.groundSeconds;
        towardB_ = !towardB_;
      }
      break;
    }
  }
}

// --- RouteMover -----------------------------------------------------------

RouteMover::RouteMover(RoutePlan plan, std::size_t startWaypoint, MotionState& state) : plan_(std::move(plan)) {
  const std::size_t count = plan_.waypoints.size();
  const std::size_t start = count == 0 ? 0 : startWaypoint % count;
  next_ = count < 2 ? start : (start + 1) % count;
  if (count > 0) {
    state.position = plan_.waypoints[start];
    if (count > 1) state.headingRad = BearingRad(plan_.waypoints[start], plan_.waypoints[next_]);
  }
  state.altitudeM = plan_.altitudeM;
  state.speedKmh = count > 1 ? plan_.speedKmh : 0.0;
}

void RouteMover::Advance(double dt, MotionState& state) {
  const std::size_t count = plan_.waypoints.size();
  if (count < 2) return;
  MotionLimits limits;
  limits.turnRateRadPerS = plan_.turnRateRadPerS;
  limits.accelerationKmhPerS = 1.0;
  SteerToward(state, plan_.waypoints[next_], plan_.altitudeM, plan_.speedKmh, limits, dt);
  const double capture = std::max(0.3, 1.2 * TurnRadiusKm(state.speedKmh, plan_.turnRateRadPerS));
  if (DistanceKm(state.position, plan_.waypoints[next_]) < capture) {
    if (plan_.loop) {
      next_ = (next_ + 1) % count;
    } else {
      if ((direction_ > 0 && next_ + 1 == count) || (direction_ < 0 && next_ == 0)) direction_ = -direction_;
      next_ = static_cast<std::size_t>(static_cast<long>(next_) + direction_);
    }
  }
}

}  // namespace vantor::missiongen
