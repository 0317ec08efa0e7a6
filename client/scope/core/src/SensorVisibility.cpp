#include "vantor/scope/SensorVisibility.h"

#include <algorithm>
#include <cmath>

#include "vantor/geo/Sphere.h"
#include "vantor/model/CContact.h"

namespace vantor::scope {
namespace {

constexpr double kDegToRad = geo::kDegToRad;
constexpr double kSphereRadiusKm = geo::kChordEarthRadiusKm;
constexpr double kHorizonFactor = 4.12;
// Slack of the quick latitude rejection: far more than the rounding of the
// exact formula, so the quick test never changes a result.
constexpr double kQuickRejectSlackKm = 1.0;
constexpr double kHalfPi = 1.5707963267948966;

}  // namespace

double ChordDistanceKm(double latitude1, double longitude1, double latitude2, double longitude2) {
  const double lat1 = latitude1 * kDegToRad;
  const double lon1 = longitude1 * kDegToRad;
  const double lat2 = latitude2 * kDegToRad;
  const double lon2 = longitude2 * kDegToRad;
  // Rounding may push the cosine of a zero angle above 1; acos would give NaN
  // and a contact right over a radar would be lost.
  const double c =
      std::clamp(std::cos(lon1 - lon2) * std::cos(lat1) * std::cos(lat2) + std::sin(lat1) * std::sin(lat2), -1.0, 1.0);
  const double theta = std::acos(c);
  return 2.0 * kSphereRadiusKm * std::sin(theta * 57.29578 * 0.5 * kDegToRad);
}

double RadarHorizonKm(double targetAltitude, double baseAltitude, double antennaHeight) {
  if (targetAltitude > baseAltitude)
    return kHorizonFactor * (std::sqrt(targetAltitude - baseAltitude) + std::sqrt(antennaHeight));
  return kHorizonFactor * (std::sqrt(antennaHeight) + 1.0);
}

bool InSector(int headingDeg, int sectorDeg, double siteLatitude, double siteLongitude, double targetLatitude,
              double targetLongitude, const ScopeProjection& projection) {
  if (sectorDeg == 360) return true;
  const ScreenPoint site = projection.GeoToScreen(siteLatitude, siteLongitude);
  const ScreenPoint target = projection.GeoToScreen(targetLatitude, targetLongitude);
  const double bearing = geo::ScopeBearing(site.x, site.y, target.x, target.y);
  double diff = std::fabs(bearing - headingDeg);
  if (diff > 180.0) diff = 360.0 - diff;
  return diff <= sectorDeg / 2;
}

VisibilityTarget TargetOf(const model::CContact& contact) {
  VisibilityTarget target;
  target.latitude = contact.latitude;
  target.longitude = contact.longitude;
  target.altitude = contact.altitude;
  target.speed = contact.speed;
  target.screenX = contact.screenX;
  target.screenY = contact.screenY;
  target.radarSite = contact.radarSite != 0;
  target.friendly = contact.friendly != 0;
  target.altSymbol = contact.altSymbol != 0;
  return target;
}

SensorVisibility::SensorVisibility(const geo::ElevationGrid& grid, const ScopeProjection& projection,
                                   SensorPicture sensors)
    : grid_(grid), projection_(projection), sensors_(std::move(sensors)) {
  for (const AirfieldRadar& radar : sensors_.airfieldRadars) airfieldsPrepared_.push_back(Prepare(radar.position));
  for (const RadarSiteSensor& site : sensors_.radarSites) sitesPrepared_.push_back(Prepare(site.position));
  awacsPrepared_ = Prepare(sensors_.awacs.position);
}

SensorVisibility::Prepared SensorVisibility::Prepare(const geo::GeoPoint& position) {
  const double latitudeRad = position.latitude * kDegToRad;
  return {latitudeRad, position.longitude * kDegToRad, std::sin(latitudeRad), std::cos(latitudeRad)};
}

bool SensorVisibility::SurelyBeyond(const Prepared& sensor, const Prepared& target, double limitKm) {
  // The bound holds for real latitudes only; leave odd inputs to the exact
  // formula.
  if (!(std::fabs(target.latitudeRad) <= kHalfPi && std::fabs(sensor.latitudeRad) <= kHalfPi)) return false;
  const double latitudeGap = std::fabs(target.latitudeRad - sensor.latitudeRad);
  return 2.0 * kSphereRadiusKm * std::sin(latitudeGap * 0.49999) > limitKm + kQuickRejectSlackKm;
}

// ChordDistanceKm with the target as first point, from prepared sines and
// cosines: the same operations in the same order, so the same result.
double SensorVisibility::Distance(const Prepared& sensor, const Prepared& target) {
  const double c =
      std::clamp(std::cos(target.longitudeRad - sensor.longitudeRad) * target.cosLatitude * sensor.cosLatitude +
                     target.sinLatitude * sensor.sinLatitude,
                 -1.0, 1.0);
  const double theta = std::acos(c);
  return 2.0 * kSphereRadiusKm * std::sin(theta * 57.29578 * 0.5 * kDegToRad);
}

bool SensorVisibility::IsContactVisible(const VisibilityTarget& target) const {
  if (target.radarSite || (target.friendly && target.altSymbol)) return target.screenX > 0 && target.screenY > 0;
  const Prepared at = Prepare({target.latitude, target.longitude});
  return SeenByAirfields(target, at) || SeenByRadarSites(target, at) || SeenByAwacs(target, at);
}

bool SensorVisibility::SeenByAirfields(const VisibilityTarget& target, const Prepared& at) const {
  if (!(target.altitude < kAirfieldRadarCeilingM)) return false;
  for (std::size_t i = 0; i < sensors_.airfieldRadars.size(); ++i) {
    const AirfieldRadar& radar = sensors_.airfieldRadars[i];
    const double horizon = RadarHorizonKm(target.altitude, radar.elevationM, kAirfieldHorizonAntennaM);
    if (SurelyBeyond(airfieldsPrepared_[i], at, std::min<double>(radar.rangeKm, horizon))) continue;
    const double d = Distance(airfieldsPrepared_[i], at);
    if (!(d <= radar.rangeKm) || !(d < horizon)) continue;
    if (geo::TerrainLineOfSight(grid_, radar.position.latitude, radar.position.longitude, target.latitude,
                                target.longitude, target.altitude, false, kAirfieldAntennaM))
      return true;
  }
  return false;
}

bool SensorVisibility::SeenByRadarSites(const VisibilityTarget& target, const Prepared& at) const {
  for (std::size_t n = 0; n < sensors_.radarSites.size(); ++n) {
    const RadarSiteSensor& site = sensors_.radarSites[n];
    if (!(site.altitudeLimitKm * 1000.0 > target.altitude)) continue;
    const double horizon = RadarHorizonKm(target.altitude, site.altitudeM, kRadarSiteAntennaM);
    if (SurelyBeyond(sitesPrepared_[n], at, std::min(site.detectionRangeKm, horizon))) continue;
    const double d = Distance(sitesPrepared_[n], at);
    if (!(d <= site.detectionRangeKm) || !(d < horizon)) continue;
    if (!InSector(geo::RadiansToWholeDegrees(site.headingRad), site.sectorDeg, site.position.latitude,
                  site.position.longitude, target.latitude, target.longitude, projection_))
      continue;
    if (geo::TerrainLineOfSight(grid_, site.position.latitude, site.position.longitude, target.latitude,
                                target.longitude, target.altitude, false, kRadarSiteAntennaM))
      return true;
  }
  return false;
}

bool SensorVisibility::SeenByAwacs(const VisibilityTarget& target, const Prepared& at) const {
  const AwacsSensor& awacs = sensors_.awacs;
  if (awacs.position.latitude == 0.0 || awacs.position.longitude == 0.0) return false;
  if (!(target.speed > kAwacsMinimumSpeedKmh)) return false;
  if (SurelyBeyond(awacsPrepared_, at, awacs.rangeKm)) return false;
  if (!(Distance(awacsPrepared_, at) <= awacs.rangeKm)) return false;
  return geo::TerrainLineOfSight(grid_, awacs.position.latitude, awacs.position.longitude, target.latitude,
                                 target.longitude, target.altitude, true, awacs.mode * 1000.0);
}

}  // namespace vantor::scope
