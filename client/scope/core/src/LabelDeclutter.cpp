#include "vantor/scope/LabelDeclutter.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>

namespace vantor::scope {
namespace {

constexpr int kSymbolHalf = 6;  // a symbol's box, with a pixel to spare
constexpr int kNearGap = 10;    // between a symbol and a label beside it
constexpr int kRings = 4;       // distances tried in each direction
constexpr int kDirections = 8;
constexpr int kFallbackCandidates = 2 * kDirections;
constexpr int kCellShift = 6;  // 64-pixel occupancy cells

// Set bits of a word, without a library call where the target lacks the
// instruction.
int BitCount(std::uint64_t v) {
  v = v - ((v >> 1) & 0x5555555555555555ULL);
  v = (v & 0x3333333333333333ULL) + ((v >> 2) & 0x3333333333333333ULL);
  v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
  return static_cast<int>((v * 0x0101010101010101ULL) >> 56);
}

// Directions in the order they are tried: the usual place first, then the
// other corners, then the sides.
enum Direction { NorthWest, NorthEast, SouthWest, SouthEast, West, East, North, South };

}  // namespace

// What is taken on the picture, in blocks of 2 x 2 pixels, one bit each:
// whether a box is free costs a few word tests per row it spans. A block is
// taken when any of its pixels is, so free boxes never share a pixel.
class LabelDeclutter::Occupancy {
 public:
  void Reset(const QRect& picture) {
    origin_ = picture.topLeft();
    columns_ = (picture.width() + kBlock - 1) / kBlock;
    rows_ = (picture.height() + kBlock - 1) / kBlock;
    words_ = (columns_ + 63) / 64;
    bits_.assign(static_cast<std::size_t>(words_) * static_cast<std::size_t>(std::max(rows_, 0)), 0);
  }
  void Add(const QRect& rect) {
    ForRows(rect, [](std::uint64_t& word, std::uint64_t mask) {
      word |= mask;
      return true;
    });
  }
  bool Free(const QRect& rect) {
    bool free = true;
    ForRows(rect, [&free](std::uint64_t& word, std::uint64_t mask) {
      free = (word & mask) == 0;
      return free;
    });
    return free;
  }
  // Taken blocks under the rectangle, counting no further than `limit`.
  int Taken(const QRect& rect, int limit) {
    int count = 0;
    ForRows(rect, [&](std::uint64_t& word, std::uint64_t mask) {
      count += BitCount(word & mask);
      return count < limit;
    });
    return count;
  }

 private:
  static constexpr int kBlock = 2;

  // Calls visit(word, mask) for the bits the rectangle covers (clipped to
  // the picture), row by row, until it returns false.
  template <typename Visit>
  void ForRows(const QRect& rect, Visit&& visit) {
    const int x0 = std::max((rect.left() - origin_.x()) / kBlock, 0);
    const int x1 = std::min((rect.right() - origin_.x()) / kBlock, columns_ - 1);
    const int y0 = std::max((rect.top() - origin_.y()) / kBlock, 0);
    const int y1 = std::min((rect.bottom() - origin_.y()) / kBlock, rows_ - 1);
    if (rect.right() < origin_.x() || rect.bottom() < origin_.y() || x0 > x1 || y0 > y1) return;
    for (int y = y0; y <= y1; ++y) {
      std::uint64_t* row = bits_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(words_);
      for (int w = x0 / 64; w <= x1 / 64; ++w) {
        const int from = std::max(x0, w * 64) - w * 64;
        const int to = std::min(x1, w * 64 + 63) - w * 64;  // inclusive
        const std::uint64_t high = to == 63 ? ~std::uint64_t{0} : (std::uint64_t{1} << (to + 1)) - 1;
        const std::uint64_t mask = high & ~((std::uint64_t{1} << from) - 1);
        if (!visit(row[w], mask)) return;
      }
    }
  }

  QPoint origin_;
  int columns_ = 0;
  int rows_ = 0;
  int words_ = 0;
  std::vector<std::uint64_t> bits_;
};

LabelDeclutter::LabelDeclutter() : occupied_(std::make_unique<Occupancy>()) {}
LabelDeclutter::~LabelDeclutter() = default;

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
    case NorthWest:
      return {left, above, w, h};
    case NorthEast:
      return {right, above, w, h};
    case SouthWest:
      return {left, below, w, h};
    case SouthEast:
      return {right, below, w, h};
    case West:
      return {x - kNearGap - w - e, y - h / 2, w, h};
    case East:
      return {x + kNearGap + e, y - h / 2, w, h};
    case North:
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
  Occupancy& occupied = *occupied_;
  occupied.Reset(picture);
  for (const QPoint& symbol : symbols)
    occupied.Add(QRect(symbol.x() - kSymbolHalf, symbol.y() - kSymbolHalf, 2 * kSymbolHalf + 1, 2 * kSymbolHalf + 1));

  placements_.clear();
  placements_.reserve(requests.size());
  std::unordered_map<int, int> chosen;
  chosen.reserve(requests.size());
  const int candidates = CandidateCount();
  for (const DeclutterRequest& request : requests) {
    auto usable = [&](const QRect& box) { return picture.contains(box) && occupied.Free(box); };
    int best = -1;
    const auto last = previous_.find(request.contactId);
    if (last != previous_.end() && usable(CandidateBox(last->second, request.at, request.size))) best = last->second;
    for (int candidate = 0; best < 0 && candidate < candidates; ++candidate)
      if (usable(CandidateBox(candidate, request.at, request.size))) best = candidate;
    if (best < 0) {
      // Nowhere free: the place inside the picture that covers the least,
      // the earliest on ties.
      int fewest = std::numeric_limits<int>::max();
      // The nearer places only: a far one in a crowd helps no one.
      for (int candidate = 0; candidate < kFallbackCandidates; ++candidate) {
        const QRect box = CandidateBox(candidate, request.at, request.size);
        if (!picture.contains(box) && candidate != 0) continue;
        const int count = occupied.Taken(box, fewest);
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
