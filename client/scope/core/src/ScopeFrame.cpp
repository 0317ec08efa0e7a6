#include "vantor/scope/ScopeFrame.h"

namespace vantor::scope {

void ScreenStrokes::Clear() {
  points_.clear();
  starts_.clear();
  broken_ = true;
}

void ScreenStrokes::Add(ScreenPoint point) {
  if (broken_) {
    starts_.push_back(points_.size());
    broken_ = false;
  }
  points_.push_back(point);
}

bool NearPicture(const ScopeFrame& frame, ScreenPoint point, int reach) {
  const std::int64_t low = -std::int64_t{kPictureMarginPx} - reach;
  const std::int64_t x = point.x, y = point.y;
  return x >= low && x <= std::int64_t{frame.width} - 1 + kPictureMarginPx + reach && y >= low &&
         y <= std::int64_t{frame.height} - 1 + kPictureMarginPx + reach;
}

}  // namespace vantor::scope
