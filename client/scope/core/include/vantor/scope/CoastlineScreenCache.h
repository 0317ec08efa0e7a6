#pragma once
// The coastline's screen points, rebuilt only when the view changes.

#include <array>
#include <cstddef>

#include "vantor/geo/MapFiles.h"
#include "vantor/scope/ScopeProjection.h"

namespace vantor::scope {

class CoastlineScreenCache {
 public:
  // (0, 0) marks a separator, or a point not projected yet.
  using Points = std::array<ScreenPoint, geo::CoastlineTable::kEntryCount>;

  void Rebuild(const geo::CoastlineTable& coastline, const ScopeProjection& projection);
  const Points& ScreenPoints() const { return points_; }

  // Calls drawPolyline(first, count) for every run of two or more points
  // between separators, in table order.
  template <typename DrawPolyline>
  void ForEachPolyline(DrawPolyline&& drawPolyline) const {
    std::size_t start = 0;
    for (std::size_t i = 0; i <= points_.size(); ++i) {
      if (i == points_.size() || IsSeparator(points_[i])) {
        if (i - start >= 2) drawPolyline(&points_[start], i - start);
        start = i + 1;
      }
    }
  }

 private:
  static bool IsSeparator(const ScreenPoint& point) { return point.x == 0 && point.y == 0; }
  Points points_{};
};

}  // namespace vantor::scope
