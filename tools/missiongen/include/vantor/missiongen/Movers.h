#pragma once
// How each kind of mission object moves: aircraft sorties from a runway and
// back, racetrack orbits, helicopter shuttles, ships and convoys on routes.

#include "vantor/geo/Airfields.h"
#include "vantor/missiongen/Kinematics.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace vantor::missiongen {

class Mover {
 public:
  virtual ~Mover() = default;
  // Moves the object on by `dt` seconds of mission time.
  virtual void Advance(double dt, MotionState& state) = 0;
  // Flying, so it can be shot down.
  virtual bool Airborne() const { return false; }
};

// A runway as used in one direction: distances along the centreline from
// the threshold where take-offs start and landings touch down, and sideways
// toward the taxiway and the parking, which lie right of the line from end 1
// to end 2 whichever way the runway is in use (as the outline file draws
// them).
class RunwayLayout {
 public:
  RunwayLayout(const geo::Runway& runway, bool reversed);
  GeoPoint Point(double alongKm, double towardTaxiwayKm) const;
  double DirectionRad() const { return directionRad_; }
  double LengthKm() const { return lengthKm_; }
  double ElevationM() const { return elevationM_; }

  static constexpr double kTaxiwayOffsetKm = 0.18;
  static constexpr double kParkingOffsetKm = 0.30;
  static constexpr int kParkingSlots = 16;
  // Parking slots 70 m apart beside the taxiway, from a third of the way down.
  double ParkingAlongKm(int slot) const { return std::min(0.9 * lengthKm_, lengthKm_ / 3 + 0.07 * slot); }
  GeoPoint Parking(int slot) const { return Point(ParkingAlongKm(slot), kParkingOffsetKm); }

 private:
  GeoPoint threshold_;
  double directionRad_;
  double lengthKm_;
  double elevationM_;
  double taxiwaySide_;  // +1: right of the direction in use, -1: left
};

// Racetrack orbit (AWACS): two straight legs joined by half circles, flown
// clockwise, as a pure function of mission time.
struct RacetrackPattern {
  GeoPoint centre;
  double axisRad = 0.0;  // direction of the first leg
  double legKm = 80.0;
  double turnRadiusKm = 12.0;
  double altitudeM = 9000.0;
  double speedKmh = 600.0;
};

class RacetrackMover : public Mover {
 public:
  RacetrackMover(const RacetrackPattern& pattern, double startFraction);
  void Advance(double dt, MotionState& state) override;
  bool Airborne() const override { return true; }
  // Position and heading at a distance `s` km along the track.
  MotionState At(double s) const;

 private:
  RacetrackPattern pattern_;
  double perimeterKm_;
  double distanceKm_;
};

struct AircraftPerformance {
  double cruiseKmh = 850.0;
  double approachKmh = 300.0;
  double rotateKmh = 290.0;
  double climbMps = 40.0;
  double turnRateRadPerS = 0.05;
};

struct SortiePlan {
  const geo::Runway* runway = nullptr;
  bool reversed = false;  // take off and land from end 2 toward end 1
  GeoPoint stationA;      // patrol legs between A and B
  GeoPoint stationB;
  double stationAltitudeM = 8000.0;
  double patrolSeconds = 1200.0;
  double turnaroundSeconds = 900.0;
  int parkingSlot = 0;
};

enum class SortiePhase {
  Parked,
  TaxiOut,
  TakeoffRoll,
  Departure,
  Enroute,
  Patrol,
  Return,
  Approach,
  Final,
  Rollout,
  TaxiIn
};

// One aircraft flying sorties from its home runway: taxi, take-off roll along
// the runway, climb, transit, patrol, return, approach on the extended
// centreline, landing, roll-out, taxi to parking, turnaround, again.
class SortieMover : public Mover {
 public:
  SortieMover(const SortiePlan& plan, const AircraftPerformance& performance);

  void StartParked(double delaySeconds, MotionState& state);
  void StartOnPatrol(double remainingSeconds, double legFraction, MotionState& state);
  void StartEnroute(double fraction, MotionState& state);

  void Advance(double dt, MotionState& state) override;
  bool Airborne() const override;
  SortiePhase Phase() const { return phase_; }
  const RunwayLayout& Layout() const { return layout_; }
  const SortiePlan& Plan() const { return plan_; }
  const AircraftPerformance& Performance() const { return performance_; }

  static constexpr double kTouchdownKm = 0.3;
  static constexpr double kInitialFixKm = 28.0;
  static constexpr double kFinalFixKm = 12.0;

 private:
  void Enter(SortiePhase phase, MotionState& state);
  bool FollowPath(double dt, double speedKmh, MotionState& state);
  double CaptureKm(const MotionState& state) const;
  MotionLimits AirLimits() const;

  SortiePlan plan_;
  AircraftPerformance performance_;
  RunwayLayout layout_;
  SortiePhase phase_ = SortiePhase::Parked;
  double timerSeconds_ = 0.0;  // parked wait or patrol time left
  double runwayKm_ = 0.0;      // position along the runway while rolling
  bool towardB_ = false;
  std::vector<GeoPoint> path_;  // taxi route still to go
  GeoPoint finalStart_;
  double finalStartAltitudeM_ = 0.0;
  double finalLengthKm_ = 1.0;
};

// A helicopter shuttling between two landing sites at low level, resting on
// the ground at each end.
struct ShuttlePlan {
  GeoPoint siteA;
  double siteAElevationM = 0.0;
  GeoPoint siteB;
  double siteBElevationM = 0.0;
  double cruiseHeightM = 200.0;  // above the higher site
  double cruiseKmh = 240.0;
  double groundSeconds = 240.0;
};

class ShuttleMover : public Mover {
 public:
  ShuttleMover(const ShuttlePlan& plan, double startFraction, MotionState& state);
  void Advance(double dt, MotionState& state) override;
  bool Airborne() const override { return phase_ != Phase::OnGround; }

 private:
  enum class Phase { OnGround, Climb, Cruise, Descend };
  ShuttlePlan plan_;
  Phase phase_ = Phase::OnGround;
  bool towardB_ = true;
  double timerSeconds_ = 0.0;
};

// A ship or a ground convoy on a route of waypoints: round and round
// (`loop`) or there and back.
struct RoutePlan {
  std::vector<GeoPoint> waypoints;
  bool loop = true;
  double speedKmh = 25.0;
  double turnRateRadPerS = 0.01;
  double altitudeM = 0.0;
};

class RouteMover : public Mover {
 public:
  RouteMover(RoutePlan plan, std::size_t startWaypoint, MotionState& state);
  void Advance(double dt, MotionState& state) override;

 private:
  RoutePlan plan_;
  std::size_t next_;
  int direction_ = 1;
};

}  // namespace vantor::missiongen
