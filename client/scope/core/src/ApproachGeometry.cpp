#include "vantor/scope/ApproachGeometry.h"

#include <algorithm>

#include "vantor/model/Airfields.h"
#include "vantor/scope/ScopeGeometry.h"

namespace vantor::scope {
namespace {

constexpr int kRegionLengths = 8;
constexpr std::int64_t kFarthest = std::int64_t{1} << 30;

// ka * a + kb * b, saturated so that far points cannot overflow.
ScreenPoint Combine(ScreenPoint a, std::int64_t ka, ScreenPoint b, std::int64_t kb) {
  auto clamp = [](std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, -kFarthest, kFarthest)); };
  return {clamp(ka * a.x + kb * b.x), clamp(ka * a.y + kb * b.y)};
}

}  // namespace

ApproachEnd ChooseApproachEnd(const model::CAirfield& runway, unsigned windDirectionDeg) {
  ApproachEnd result;
  const bool usual = runway.approachAtFirstEnd == 1;
  result.atFirstEnd = usual;
  if (windDirectionDeg == 0 || runway.menuId == kFirstAirfieldCommand) return result;
  const int heading = runway.runwayHeading;
  const int wind = static_cast<int>(windDirectionDeg);
  const int high = std::max(heading, wind);
  const int low = std::min(heading, wind);
  int difference = high < 270 ? high - low : low - high + 360;
  if (difference > 180) difference -= 180;
  const bool flip = difference < 90 || wind == heading;
  result.atFirstEnd = flip ? !usual : usual;
  result.flipped = flip;
  return result;
}

ScreenSegment ExtendedCentreline(bool atFirstEnd, ScreenPoint end1, ScreenPoint end2) {
  if (atFirstEnd) return {end1, Combine(end1, 8, end2, -7)};
  return {end2, Combine(end2, 7, end1, -6)};
}

ApproachGeometry::ApproachGeometry(const model::CAirfield& runway, bool atFirstEnd, ScreenPoint end1, ScreenPoint end2)
    : menuId_(runway.menuId),
      atFirstEnd_(atFirstEnd),
      approachAtFirstEnd_(runway.approachAtFirstEnd == 1),
      activeEndFlipped_(runway.activeEndFlipped != 0),
      threshold_(atFirstEnd ? geo::GeoPoint{runway.end1Latitude, runway.end1Longitude}
                            : geo::GeoPoint{runway.end2Latitude, runway.end2Longitude}),
      farEnd_(atFirstEnd ? geo::GeoPoint{runway.end2Latitude, runway.end2Longitude}
                         : geo::GeoPoint{runway.end1Latitude, runway.end1Longitude}),
      fieldElevationM_(runway.elevationM),
      thresholdOnScreen_(atFirstEnd ? end1 : end2),
      farEndOnScreen_(atFirstEnd ? end2 : end1) {
  const ScreenPoint a = thresholdOnScreen_;
  const ScreenPoint along = Combine(farEndOnScreen_, 1, a, -1);
  const ScreenPoint across{along.y, -along.x};
  const ScreenPoint p1 = Combine(a, 1, across, kRegionLengths);
  const ScreenPoint p2 = Combine(a, 1, across, -kRegionLengths);
  region_ = {p1, p2, Combine(p2, 1, along, kRegionLengths), Combine(p1, 1, along, kRegionLengths)};
}

bool ApproachGeometry::InRegion(ScreenPoint point) const {
  // Crossings of a ray to the left of the point; an edge counts for the
  // rows from its upper end up to, not including, its lower end.
  bool inside = false;
  for (std::size_t i = 0; i < region_.size(); ++i) {
    ScreenPoint from = region_[i];
    ScreenPoint to = region_[(i + 1) % region_.size()];
    if (from.y == to.y) continue;
    if (to.y < from.y) std::swap(from, to);
    if (point.y < from.y || point.y >= to.y) continue;
    const double x1 = from.x, y1 = from.y, x2 = to.x, y2 = to.y;
    const double x = x1 + ((x2 - x1) / (y2 - y1)) * (point.y - y1);
    if (x <= point.x) inside = !inside;
  }
  return inside;
}

}  // namespace vantor::scope
