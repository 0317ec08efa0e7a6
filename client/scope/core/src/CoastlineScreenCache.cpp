#include "vantor/scope/CoastlineScreenCache.h"

namespace vantor::scope {

void CoastlineScreenCache::Rebuild(const geo::CoastlineTable& coastline, const ScopeProjection& projection) {
  for (std::size_t i = 0; i < points_.size(); ++i) {
    const geo::GeoPoint& entry = coastline[i];
    points_[i] = entry.IsSeparator() ? ScreenPoint{} : projection.GeoToScreen(entry);
  }
}

}  // namespace vantor::scope
