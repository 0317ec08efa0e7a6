#include "vantor/shell/PanelLayout.h"

#include <algorithm>
#include <iterator>

namespace vantor::shell::panel {

std::optional<int> RangePicture(unsigned rangeKm, bool nautical) {
  const auto band = std::find(kRangeBandsKm.begin(), kRangeBandsKm.end(), rangeKm);
  if (band == kRangeBandsKm.end()) return std::nullopt;
  const int first = nautical ? kFirstNauticalRangePicture : kFirstMetricRangePicture;
  return first + static_cast<int>(std::distance(kRangeBandsKm.begin(), band));
}

std::optional<int> RangeBandAt(int y) {
  if (y < 0) return std::nullopt;
  const int band = y / kRangeBandHeight;
  if (band < 1 || band > static_cast<int>(kRangeBandsKm.size())) return std::nullopt;
  return band;
}

std::optional<int> StripButtonAt(int x) {
  if (x < 0) return std::nullopt;
  for (std::size_t i = 0; i < kStripButtonRightEdges.size(); ++i) {
    if (x <= kStripButtonRightEdges[i]) return static_cast<int>(i) + 1;
  }
  return std::nullopt;
}

QRect CaptionRect(const QRect& toggle) {
  return QRect(toggle.right() + 9, toggle.top(), kPanelSize.width() - 8 - (toggle.right() + 9), toggle.height());
}

}  // namespace vantor::shell::panel
