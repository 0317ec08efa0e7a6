#include "vantor/scope/LabelDeclutter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

namespace vantor::scope {
namespace {

constexpr int kSymbolHalf = 6;  // a symbol's box, with a pixel to spare
constexpr int kNearGap = 10;    // between a symbol and a label beside it
constexpr int kRings = 4;       // distances tried in each direction
constexpr int kDirections = 8;
constexpr int kCellShift = 6;  // 64-pixel occupancy cells

// Directions in the order they are tried: the usual place first, then the
// other corners, then the sides.
enum Direction { kNorthWest, kNorthEast, kSouthWest, kSouthEast, kWest, kEast, kNorth, kSouth };

}  // namespace

// Rectangles in a grid of cells, for quick overlap questions.
class LabelDeclutter::Occupancy {
 public:
  void Clear() {
    cells_.clear();
    rects_.clear();
  }
  void Add(const QRect& rect) {
    const int index = static_cast<int>(rects_.size());
    rects_.push_back(rect);
    ForCells(rect, [&](std::uint64_t key) { cells_[key].push_back(index); });
  }
  int Overlaps(const QRect& rect, bool stopAtFirst) const {
    int count = 0;
    ++stamp_;
    if (seen_.size() < rects_.size()) seen_.resize(rects_.size(), 0);
    ForCells(rect, [&](std::uint64_t key) {
      if (stopAtFirst && count > 0) return;
      const auto found = cells_.find(key);
      if (found == cells_.end()) return;
      for (const int index : found->second) {
        if (seen_[static_cast<std::size_t>(index)] == stamp_) continue;
        seen_[static_cast<std::size_t>(index)] = stamp_;
        if (rects_[static_cast<std::size_t>(index)].intersects(rect)) ++count;
      }
    });
    return count;
  }

 private:
  template <typename Visit>
  static void ForCells(const QRect& rect, Visit&& visit) {
    for (int cx = rect.left() >> kCellShift; cx <= rect.right() >> kCellShift; ++cx)
      for (int cy = rect.top() >> kCellShift; cy <= rect.bottom() >> kCellShift; ++cy)
        visit((static_cast<std::uint64_t>(static_cast<std::uint32_t>(cx)) << 32) | static_cast<std::uint32_t>(cy));
  }

  std::unordered_map<std::uint64_t, std::vector<int>> cells_;
  std::vector<QRect> rects_;
  mutable std::vector<unsigned> seen_;
  mutable unsigned stamp_ = 0;
};

int LabelDeclutter::CandidateCount() { return kRings * kDirections; }

QRect LabelDeclutter::CandidateBox(int candidate, QPoint at, QSize size) {
  const int w = size.width(), h = size.height(), x = at.x(), y = at.y();
  const int step = candidate / kDirections;
  // The usual place: the box's right edge 20 pixels left of the contact,
  // its bottom 10 pixels above it.
  const int e = step * std::max(h, 12);
  const int left = x - 20 - w - e, right = x + 20 + e;
  const int above = y - 10 - h - e, below = y + 10 + e;
  switch (candidate % kDirections) {
    case kNorthWest:
      return {left, above, w, h};
    case kNorthEast:
      return {right, above, w, h};
    case kSouthWest:
      return {left, below, w, h};
    case kSouthEast:
      return {right, below, w, h};
    case kWest:
      return {x - kNearGap - w - e, y - h / 2, w, h};
    case kEast:
      return {x + kNearGap + e, y - h / 2, w, h};
    case kNorth:
      return {x - w / 2, y - kNearGap - h - e, w, h};
    default:
      return {x - w / 2, y + kNearGap + e, w, h};
  }
}

QRect LabelBox(const LabelPlacement& place, int width, int lines, int fontSize) {
  return {place.anchor.x() - 10 - width, place.anchor.y() - 2 * fontSize, width, lines * fontSize};
}

LabelPlacement PlacementForBox(const QRect& box, QPoint at, int fontSize) {
  LabelPlacement place;
  place.anchor = {box.left() + box.width() + 10, box.top() + 2 * fontSize};
  // From the symbol's edge toward the box, to the box's nearest point.
  const QPoint nearest(std::clamp(at.x(), box.left(), box.right()), std::clamp(at.y(), box.top(), box.bottom()));
  const QPoint towards = nearest - at;
  const int reach = std::max(std::abs(towards.x()), std::abs(towards.y()));
  place.leaderStart = reach > 0 ? at + QPoint(towards.x() * 6 / reach, towards.y() * 6 / reach) : at;
  place.leaderEnd = nearest;
  return place;
}

const std::vector<DeclutterPlacement>& LabelDeclutter::Place(const std::vector<DeclutterRequest>& requests,
                                                             const std::vector<QPoint>& symbols, QRect picture,
                                                             int fontSize) {
  Occupancy occupied;
  for (const QPoint& symbol : symbols)
    occupied.Add(QRect(symbol.x() - kSymbolHalf, symbol.y() - kSymbolHalf, 2 * kSymbolHalf + 1, 2 * kSymbolHalf + 1));

  placements_.clear();
  placements_.reserve(requests.size());
  std::unordered_map<int, int> chosen;
  chosen.reserve(requests.size());
  const int candidates = CandidateCount();
  for (const DeclutterRequest& request : requests) {
    auto usable = [&](const QRect& box) { return picture.contains(box) && occupied.Overlaps(box, true) == 0; };
    int best = -1;
    const auto last = previous_.find(request.contactId);
    if (last != previous_.end() && usable(CandidateBox(last->second, request.at, request.size))) best = last->second;
    for (int candidate = 0; best < 0 && candidate < candidates; ++candidate)
      if (usable(CandidateBox(candidate, request.at, request.size))) best = candidate;
    if (best < 0) {
      // Nowhere free: the place that covers the fewest, the usual one on ties.
      int fewest = std::numeric_limits<int>::max();
      for (int candidate = 0; candidate < candidates; ++candidate) {
        const QRect box = CandidateBox(candidate, request.at, request.size);
        const int count = occupied.Overlaps(box, false) + (picture.contains(box) ? 0 : 1);
        if (count < fewest) {
          fewest = count;
          best = candidate;
        }
      }
    }
    const QRect box = CandidateBox(best, request.at, request.size);
    occupied.Add(box);
    DeclutterPlacement placement{box, PlacementForBox(box, request.at, fontSize), best};
    if (best == 0) {
      // The usual place keeps the usual leader.
      placement.place.leaderStart = request.at + QPoint(-5, -5);
      placement.place.leaderEnd = request.at + QPoint(-15, -15);
    }
    placements_.push_back(placement);
    chosen[request.contactId] = best;
  }
  previous_ = std::move(chosen);
  return placements_;
}

int CountOverlappingPairs(const std::vector<QRect>& boxes) {
  // Sweep along x: only boxes whose spans meet are compared.
  std::vector<std::size_t> order(boxes.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return boxes[a].left() < boxes[b].left(); });
  int pairs = 0;
  for (std::size_t i = 0; i < order.size(); ++i) {
    const QRect& a = boxes[order[i]];
    for (std::size_t j = i + 1; j < order.size() && boxes[order[j]].left() <= a.right(); ++j)
      if (a.intersects(boxes[order[j]])) ++pairs;
  }
  return pairs;
}

}  // namespace vantor::scope
