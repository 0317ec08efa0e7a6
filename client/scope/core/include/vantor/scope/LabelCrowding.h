#pragma once
// How many earlier contacts crowd a contact's label: the count of
// CRivakDoc::CountContactsNear, gathered during the frame's walk of the
// table, so labelling every contact does not walk the table once more each.

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace vantor::scope {

class LabelCrowding {
 public:
  void Clear() { cells_.clear(); }
  // A non-radar contact's screen point, in table order.
  void Add(int x, int y);
  // The points added so far whose 200 x 200 box (left and top edges
  // inclusive) contains (x, y).
  int Count(int x, int y) const;

 private:
  static constexpr int kHalfBox = 100;
  static constexpr int kCellShift = 8;  // 256-pixel cells: a box spans at most two per axis
  static std::uint64_t Key(std::int64_t cellX, std::int64_t cellY);

  struct Point {
    int x;
    int y;
  };
  std::unordered_map<std::uint64_t, std::vector<Point>> cells_;
};

}  // namespace vantor::scope
