#pragma once
// The scope's one projection: geographic positions to window pixels and
// back, through the UTM grid of the scope centre's zone.

#include <optional>
#include <string>

#include "vantor/geo/Geodesy.h"

namespace vantor::scope {

using geo::GeoPoint;

// The scope window's geometry as every scope computation reads it.
struct ScopeScreen {
  int width = 0;      // outer width in pixels
  int widthForY = 0;  // the width again: the vertical scale uses it too, so both axes scale alike
  int centreX = 0;    // width / 2
  int centreY = 0;    // outer height / 2
  bool operator==(const ScopeScreen&) const = default;
};

struct ScreenPoint {
  int x = 0;
  int y = 0;
  bool operator==(const ScreenPoint&) const = default;
};

// Pixels per km: the width divided by the range step as unsigned integers,
// so the scale steps as the window width changes. 0 for a window narrower
// than the range (or an empty one).
int PixelsPerKm(const ScopeScreen& screen, unsigned rangeKm);

// A snapshot of centre, scale and screen. The centre's UTM position is
// computed once, so projecting many points costs one conversion each.
class ScopeProjection {
 public:
  ScopeProjection() : ScopeProjection(ScopeScreen{}, GeoPoint{}, 0) {}
  ScopeProjection(const ScopeScreen& screen, GeoPoint centre, int pixelsPerKm);

  // No clipping: points far off the window get large coordinates (saturated
  // at the int range). A point in another zone than the centre is placed
  // with the fixed zone-width shift. A zero scale puts everything on the
  // centre.
  ScreenPoint GeoToScreen(double latitude, double longitude) const;
  ScreenPoint GeoToScreen(const GeoPoint& point) const { return GeoToScreen(point.latitude, point.longitude); }
  // The position under a pixel, in the centre's zone; nullopt while the
  // scale is 0 (there is nothing to convert).
  std::optional<GeoPoint> ScreenToGeo(int x, int y) const;

  const ScopeScreen& Screen() const { return screen_; }
  const GeoPoint& Centre() const { return centre_; }
  int PixelsPerKm() const { return pixelsPerKm_; }

 private:
  ScopeScreen screen_;
  GeoPoint centre_;
  int pixelsPerKm_ = 0;
  geo::UtmPoint centreUtm_;
  std::string centreZoneText_;
};

}  // namespace vantor::scope
