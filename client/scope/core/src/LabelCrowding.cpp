#include "vantor/scope/LabelCrowding.h"

namespace vantor::scope {

std::uint64_t LabelCrowding::Key(std::int64_t cellX, std::int64_t cellY) {
  return (static_cast<std::uint64_t>(cellX) << 32) ^ (static_cast<std::uint64_t>(cellY) & 0xFFFFFFFFu);
}

void LabelCrowding::Add(int x, int y) {
  cells_[Key(std::int64_t{x} >> kCellShift, std::int64_t{y} >> kCellShift)].push_back({x, y});
}

int LabelCrowding::Count(int x, int y) const {
  // A point (sx, sy) counts when x - 100 < sx <= x + 100, likewise for y.
  const std::int64_t px = x, py = y;
  int count = 0;
  for (std::int64_t cx = (px - kHalfBox + 1) >> kCellShift; cx <= (px + kHalfBox) >> kCellShift; ++cx) {
    for (std::int64_t cy = (py - kHalfBox + 1) >> kCellShift; cy <= (py + kHalfBox) >> kCellShift; ++cy) {
      const auto found = cells_.find(Key(cx, cy));
      if (found == cells_.end()) continue;
      for (const Point& point : found->second) {
        if (px >= std::int64_t{point.x} - kHalfBox && px < std::int64_t{point.x} + kHalfBox &&
            py >= std::int64_t{point.y} - kHalfBox && py < std::int64_t{point.y} + kHalfBox)
          ++count;
      }
    }
  }
  return count;
}

}  // namespace vantor::scope
