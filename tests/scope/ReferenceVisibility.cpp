#include "ReferenceVisibility.h"

#include <cmath>

#include "GeoTestSupport.h"

namespace vantor::scope::test {

double ReferenceChordKm(double lat1, double lon1, double lat2, double lon2) {
  lat1 *= 0.01745329;
  lon1 *= 0.01745329;
  lat2 *= 0.01745329;
  lon2 *= 0.01745329;
  double c = std::cos(lon1 - lon2) * std::cos(lat1) * std::cos(lat2) + std::sin(lat1) * std::sin(lat2);
  if (c > 1.0) c = 1.0;
  if (c < -1.0) c = -1.0;
  const double theta = std::acos(c);
  return 2 * 6366 * std::sin(theta * 57.29578 * 0.5 * 0.01745329);
}

double ReferenceHorizonKm(double targetAltitude, double baseAltitude, double antenna) {
  if (targetAltitude > baseAltitude) return 4.12 * (std::sqrt(targetAltitude - baseAltitude) + std::sqrt(antenna));
  return 4.12 * (std::sqrt(antenna) + 1);
}

namespace {

bool Masked(const ElevationGrid& grid, double rLat, double rLon, double tLat, double tLon, double alt, bool fromAlt,
            double height) {
  const int count = geo::test::ReferenceObstructionCount(grid, rLat, rLon, tLat, tLon, alt, fromAlt, height);
  return count > 5;  // -1 (outside the box) is never masked
}

bool ReferenceInSector(int heading, int sector, double sLat, double sLon, double tLat, double tLon,
                       const scope::ScopeProjection& projection) {
  if (sector == 360) return true;
  const auto a = projection.GeoToScreen(sLat, sLon);
  const auto b = projection.GeoToScreen(tLat, tLon);
  const double bearing = geo::ScopeBearing(a.x, a.y, b.x, b.y);
  double diff = std::fabs(bearing - heading);
  if (diff > 180) diff = 360 - diff;
  return diff <= sector / 2;
}

}  // namespace

bool ReferenceIsContactVisible(const ElevationGrid& grid, const scope::ScopeProjection& projection,
                               const scope::SensorPicture& sensors, const scope::VisibilityTarget& c) {
  if (c.radarSite || (c.friendly && c.altSymbol)) return c.screenX > 0 && c.screenY > 0;

  for (const auto& airfield : sensors.airfieldRadars) {
    if (!(c.altitude < 12000)) continue;
    const double d = ReferenceChordKm(c.latitude, c.longitude, airfield.position.latitude, airfield.position.longitude);
    if (!(d <= airfield.rangeKm)) continue;
    if (!(d < ReferenceHorizonKm(c.altitude, airfield.elevationM, 20))) continue;
    if (!Masked(grid, airfield.position.latitude, airfield.position.longitude, c.latitude, c.longitude, c.altitude,
                false, 60))
      return true;
  }
  for (const auto& site : sensors.radarSites) {
    if (!(site.altitudeLimitKm * 1000 > c.altitude)) continue;
    const double d = ReferenceChordKm(c.latitude, c.longitude, site.position.latitude, site.position.longitude);
    if (!(d <= site.detectionRangeKm)) continue;
    if (!(d < ReferenceHorizonKm(c.altitude, site.altitudeM, 6))) continue;
    const int heading = static_cast<int>(site.headingRad * 57.29578);
    if (!ReferenceInSector(heading, site.sectorDeg, site.position.latitude, site.position.longitude, c.latitude,
                           c.longitude, projection))
      continue;
    if (!Masked(grid, site.position.latitude, site.position.longitude, c.latitude, c.longitude, c.altitude, false, 6))
      return true;
  }
  const auto& awacs = sensors.awacs;
  if (awacs.position.latitude != 0.0 && awacs.position.longitude != 0.0 && c.speed > 100) {
    const double d = ReferenceChordKm(c.latitude, c.longitude, awacs.position.latitude, awacs.position.longitude);
    if (d <= awacs.rangeKm && !Masked(grid, awacs.position.latitude, awacs.position.longitude, c.latitude, c.longitude,
                                      c.altitude, true, awacs.mode * 1000.0))
      return true;
  }
  return false;
}

}  // namespace vantor::scope::test
