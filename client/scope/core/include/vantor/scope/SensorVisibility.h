#pragma once
// Which contacts the client's coalition sees: its airfield radars in
// service, its own radar sites and its AWACS, each with range, radar horizon
// and terrain line of sight. Evaluated for every contact at every repaint.

#include <vector>

#include "vantor/geo/ElevationGrid.h"
#include "vantor/geo/Geodesy.h"
#include "vantor/scope/ScopeProjection.h"

namespace vantor::model {
struct CContact;
}

namespace vantor::scope {

// Chord length in km between two positions on a sphere of radius 6366 km.
double ChordDistanceKm(double latitude1, double longitude1, double latitude2, double longitude2);
// Radar horizon in km of a target at targetAltitude seen by an antenna of
// the given height on ground at baseAltitude (metres).
double RadarHorizonKm(double targetAltitude, double baseAltitude, double antennaHeight);
// Whether a radar site with this heading (whole degrees) and sector sees the
// target's direction, measured on the scope as the bearing tool measures.
bool InSector(int headingDeg, int sectorDeg, double siteLatitude, double siteLongitude, double targetLatitude,
              double targetLongitude, const ScopeProjection& projection);

inline constexpr double kAirfieldRadarCeilingM = 12000.0;
inline constexpr double kAirfieldHorizonAntennaM = 20.0;
inline constexpr double kAirfieldAntennaM = 60.0;
inline constexpr double kRadarSiteAntennaM = 6.0;
inline constexpr double kAwacsMinimumSpeedKmh = 100.0;

// An airfield radar in service for the coalition.
struct AirfieldRadar {
  int index = 0;  // 0 ... 21, 21 the carrier
  geo::GeoPoint position;
  double elevationM = 0.0;
  int rangeKm = 0;
};

struct RadarSiteSensor {
  geo::GeoPoint position;
  double altitudeM = 0.0;
  double headingRad = 0.0;
  int sectorDeg = 360;
  double detectionRangeKm = 0.0;
  int altitudeLimitKm = 0;
};

struct AwacsSensor {
  geo::GeoPoint position;  // (0, 0): no AWACS
  int mode = 0;            // altitude in whole km
  int rangeKm = 0;
};

// The coalition's sensors for one repaint, in the order they are tried.
struct SensorPicture {
  std::vector<AirfieldRadar> airfieldRadars;
  std::vector<RadarSiteSensor> radarSites;
  AwacsSensor awacs;
};

// What the test reads of a contact.
struct VisibilityTarget {
  double latitude = 0.0;
  double longitude = 0.0;
  double altitude = 0.0;
  double speed = 0.0;
  int screenX = 0;
  int screenY = 0;
  bool radarSite = false;
  bool friendly = false;
  bool altSymbol = false;
};
VisibilityTarget TargetOf(const model::CContact& contact);

// One repaint's visibility test. Keeps references: grid, projection and
// sensors must outlive it. The first sensor that sees a contact ends its
// evaluation; cheap tests come before the terrain walks.
class SensorVisibility {
 public:
  SensorVisibility(const geo::ElevationGrid& grid, const ScopeProjection& projection, SensorPicture sensors);

  // Radar sites, and friendly contacts drawn with the alternate symbol, are
  // shown whenever their screen point is positive; everything else needs a
  // sensor.
  bool IsContactVisible(const VisibilityTarget& target) const;
  bool IsContactVisible(const model::CContact& contact) const { return IsContactVisible(TargetOf(contact)); }

  const SensorPicture& Sensors() const { return sensors_; }

 private:
  struct Prepared {
    double latitudeRad;
    double longitudeRad;
    double sinLatitude;
    double cosLatitude;
  };
  static Prepared Prepare(const geo::GeoPoint& position);
  // Lower bound of the chord distance from the latitudes alone, for a quick
  // rejection that can never reject a sensor that passes the exact test.
  static bool SurelyBeyond(const Prepared& sensor, const Prepared& target, double limitKm);
  static double Distance(const Prepared& sensor, const Prepared& target);

  bool SeenByAirfields(const VisibilityTarget& target, const Prepared& at) const;
  bool SeenByRadarSites(const VisibilityTarget& target, const Prepared& at) const;
  bool SeenByAwacs(const VisibilityTarget& target, const Prepared& at) const;

  const geo::ElevationGrid& grid_;
  const ScopeProjection& projection_;
  SensorPicture sensors_;
  std::vector<Prepared> airfieldsPrepared_;
  std::vector<Prepared> sitesPrepared_;
  Prepared awacsPrepared_{};
};

}  // namespace vantor::scope
