#include "vantor/scope/ScopeProjection.h"

namespace vantor::scope {

int PixelsPerKm(const ScopeScreen& screen, unsigned rangeKm) {
  if (rangeKm == 0 || screen.widthForY <= 0) return 0;
  return static_cast<int>(static_cast<unsigned>(screen.widthForY) / rangeKm);
}

ScopeProjection::ScopeProjection(const ScopeScreen& screen, GeoPoint centre, int pixelsPerKm)
    : screen_(screen),
      centre_(centre),
      pixelsPerKm_(pixelsPerKm),
      centreUtm_(geo::LatLongToUtm(centre.latitude, centre.longitude)),
      centreZoneText_(geo::FormatZone(centreUtm_.zone)) {}

ScreenPoint ScopeProjection::GeoToScreen(double latitude, double longitude) const {
  const geo::UtmPoint point = geo::LatLongToUtm(latitude, longitude);
  double centreEasting = centreUtm_.easting;
  if (point.zone != centreUtm_.zone) centreEasting += geo::kZoneWidthMetres * (centreUtm_.zone - point.zone);
  const double p = pixelsPerKm_;
  return {geo::TruncToInt(screen_.centreX + (point.easting - centreEasting) / geo::kMetresPerKm * p),
          geo::TruncToInt(screen_.centreY - (point.northing - centreUtm_.northing) / geo::kMetresPerKm * p)};
}

std::optional<GeoPoint> ScopeProjection::ScreenToGeo(int x, int y) const {
  if (pixelsPerKm_ == 0) return std::nullopt;
  const double p = pixelsPerKm_;
  const double easting = centreUtm_.easting + (static_cast<double>(x) - screen_.centreX) * geo::kMetresPerKm / p;
  const double northing = centreUtm_.northing + (static_cast<double>(screen_.centreY) - y) * geo::kMetresPerKm / p;
  return geo::UtmToLatLong(northing, easting, centreZoneText_);
}

}  // namespace vantor::scope
