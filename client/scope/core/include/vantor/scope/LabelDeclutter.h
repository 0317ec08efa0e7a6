#pragma once
// Label placement that keeps labels apart: each label takes the first of a
// fixed list of places around its contact that overlaps no label placed
// before it and no contact symbol, trying first the place it had in the
// last frame, so labels stay where they are while their neighbourhood
// allows. A label away from its usual place gets a leader line from its
// symbol to the nearest point of its box.

#include <QPoint>
#include <QRect>

#include <memory>
#include <unordered_map>
#include <vector>

#include "vantor/scope/ScopeLabels.h"

namespace vantor::scope {

// One label to place: its contact on the screen and its box's size.
struct DeclutterRequest {
  int contactId = 0;
  QPoint at;
  QSize size;
};

// Where a label goes. Candidate 0 is the usual place, up and to the left.
struct DeclutterPlacement {
  QRect box;
  LabelPlacement place;
  int candidate = 0;
};

class LabelDeclutter {
 public:
  LabelDeclutter();
  ~LabelDeclutter();
  LabelDeclutter(const LabelDeclutter&) = delete;
  LabelDeclutter& operator=(const LabelDeclutter&) = delete;

  // Places every request (in order) among the `symbols`, in the picture
  // `picture`; `fontSize` fixes where the anchor lies in a box.
  const std::vector<DeclutterPlacement>& Place(const std::vector<DeclutterRequest>& requests,
                                               const std::vector<QPoint>& symbols, QRect picture, int fontSize);

  static int CandidateCount();
  static QRect CandidateBox(int candidate, QPoint at, QSize size);

 private:
  class Occupancy;
  std::unique_ptr<Occupancy> occupied_;
  std::vector<DeclutterPlacement> placements_;
  std::unordered_map<int, int> previous_;  // contact id -> candidate
};

// The box a label of `lines` lines with its widest line `width` pixels wide
// covers around its anchor.
QRect LabelBox(const LabelPlacement& place, int width, int lines, int fontSize);
// The anchor that puts a label's box at `box`.
LabelPlacement PlacementForBox(const QRect& box, QPoint at, int fontSize);
// How many pairs of the boxes overlap (sharing at least one pixel).
int CountOverlappingPairs(const std::vector<QRect>& boxes);

}  // namespace vantor::scope
