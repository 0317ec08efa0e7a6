#include "vantor/model/CContact.h"

#include <algorithm>

namespace vantor::model {

void TrackHistory::Push(HistoryPoint point) {
  const std::size_t kept = std::min(size_, kCapacity - 1);
  std::copy_backward(points_.begin(), points_.begin() + static_cast<std::ptrdiff_t>(kept),
                     points_.begin() + static_cast<std::ptrdiff_t>(kept) + 1);
  points_[0] = point;
  size_ = kept + 1;
}

}  // namespace vantor::model
