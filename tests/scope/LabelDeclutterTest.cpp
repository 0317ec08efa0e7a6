// Label declutter on scripted scenes: crowds whose usual places overlap are
// placed apart, clear of every symbol and inside the picture; places hold
// from one frame to the next; every moved label keeps a leader to its
// contact.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "vantor/scope/LabelDeclutter.h"

namespace vantor::scope {
namespace {

constexpr int kFont = 12;
const QSize kLabel(70, 2 * kFont);
const QRect kPicture(0, 0, 800, 600);

// A block of contacts `spacing` pixels apart, ids from 1.
std::vector<DeclutterRequest> Block(int columns, int rows, int spacing, QPoint origin = {200, 150}) {
  std::vector<DeclutterRequest> requests;
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column)
      requests.push_back(
          {static_cast<int>(requests.size()) + 1, origin + QPoint(column * spacing, row * spacing), kLabel});
  return requests;
}

std::vector<QPoint> Symbols(const std::vector<DeclutterRequest>& requests) {
  std::vector<QPoint> symbols;
  for (const DeclutterRequest& request : requests) symbols.push_back(request.at);
  return symbols;
}

std::vector<QRect> Boxes(const std::vector<DeclutterPlacement>& placements) {
  std::vector<QRect> boxes;
  for (const DeclutterPlacement& placement : placements) boxes.push_back(placement.box);
  return boxes;
}

TEST(Declutter, CrowdWhoseUsualPlacesOverlapIsPlacedApart) {
  const auto requests = Block(6, 5, 60);
  std::vector<QRect> usual;
  for (const DeclutterRequest& request : requests)
    usual.push_back(LabelDeclutter::CandidateBox(0, request.at, request.size));
  ASSERT_GT(CountOverlappingPairs(usual), 10);

  LabelDeclutter declutter;
  const auto& placements = declutter.Place(requests, Symbols(requests), kPicture, kFont);
  ASSERT_EQ(placements.size(), requests.size());
  EXPECT_EQ(CountOverlappingPairs(Boxes(placements)), 0);
  for (std::size_t i = 0; i < placements.size(); ++i) {
    const QRect& box = placements[i].box;
    EXPECT_TRUE(kPicture.contains(box));
    EXPECT_EQ(box.size(), kLabel);
    for (const DeclutterRequest& other : requests)
      EXPECT_FALSE(box.intersects(QRect(other.at - QPoint(5, 5), QSize(11, 11)))) << "label over a symbol";
    // The painter lays the label out from its anchor into the same box.
    EXPECT_EQ(LabelBox(placements[i].place, box.width(), 2, kFont), box);
  }
}

TEST(Declutter, LoneLabelKeepsItsUsualPlaceAndLeader) {
  const std::vector<DeclutterRequest> one{{7, QPoint(400, 300), kLabel}};
  LabelDeclutter declutter;
  const DeclutterPlacement placed = declutter.Place(one, Symbols(one), kPicture, kFont).front();
  const LabelPlacement usual = PlaceLabel(0, QPoint(400, 300), kFont, 70);
  EXPECT_EQ(placed.candidate, 0);
  EXPECT_EQ(placed.place.anchor, usual.anchor);
  EXPECT_EQ(placed.place.leaderStart, usual.leaderStart);
  EXPECT_EQ(placed.place.leaderEnd, usual.leaderEnd);
}

TEST(Declutter, PlacesHoldOverRepaintsAndWhenNeighboursLeave) {
  auto requests = Block(7, 6, 60);
  LabelDeclutter declutter;
  const auto first = declutter.Place(requests, Symbols(requests), kPicture, kFont);
  ASSERT_EQ(CountOverlappingPairs(Boxes(first)), 0);
  const auto second = declutter.Place(requests, Symbols(requests), kPicture, kFont);
  ASSERT_EQ(first.size(), second.size());
  for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(first[i].box, second[i].box) << i;

  // Every second contact leaves: the rest stay where they were, although
  // the usual places may have come free.
  std::vector<DeclutterRequest> remaining;
  std::vector<QRect> before;
  for (std::size_t i = 0; i < requests.size(); i += 2) {
    remaining.push_back(requests[i]);
    before.push_back(first[i].box);
  }
  const auto third = declutter.Place(remaining, Symbols(remaining), kPicture, kFont);
  for (std::size_t i = 0; i < third.size(); ++i) EXPECT_EQ(third[i].box, before[i]) << i;
}

TEST(Declutter, EveryMovedLabelIsJoinedToItsContact) {
  const auto requests = Block(8, 6, 40, {150, 120});
  LabelDeclutter declutter;
  const auto& placements = declutter.Place(requests, Symbols(requests), kPicture, kFont);
  int moved = 0;
  for (std::size_t i = 0; i < placements.size(); ++i) {
    const DeclutterPlacement& placement = placements[i];
    const QPoint at = requests[i].at;
    const QPoint start = placement.place.leaderStart, end = placement.place.leaderEnd;
    if (placement.candidate == 0) {
      EXPECT_EQ(start, at + QPoint(-5, -5));
      EXPECT_EQ(end, at + QPoint(-15, -15));
      continue;
    }
    ++moved;
    // From the symbol's edge to the box's nearest point, on its border.
    EXPECT_LE(std::max(std::abs(start.x() - at.x()), std::abs(start.y() - at.y())), 6);
    const QRect& box = placement.box;
    EXPECT_TRUE(box.contains(end));
    EXPECT_TRUE(end.x() == box.left() || end.x() == box.right() || end.y() == box.top() || end.y() == box.bottom());
    // No other point of the box is nearer to the contact.
    const QPoint nearest(std::clamp(at.x(), box.left(), box.right()), std::clamp(at.y(), box.top(), box.bottom()));
    EXPECT_EQ(end, nearest);
  }
  EXPECT_GT(moved, 10);
}

TEST(Declutter, OverlapCountAgreesWithComparingEveryPair) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int> position(0, 500), size(1, 80);
  std::vector<QRect> boxes;
  for (int i = 0; i < 300; ++i) boxes.emplace_back(position(random), position(random), size(random), size(random));
  int expected = 0;
  for (std::size_t i = 0; i < boxes.size(); ++i)
    for (std::size_t j = i + 1; j < boxes.size(); ++j) expected += boxes[i].intersects(boxes[j]) ? 1 : 0;
  EXPECT_EQ(CountOverlappingPairs(boxes), expected);
  // Edges that only touch do not overlap.
  EXPECT_EQ(CountOverlappingPairs({QRect(0, 0, 10, 10), QRect(10, 0, 10, 10), QRect(0, 10, 10, 10)}), 0);
  EXPECT_EQ(CountOverlappingPairs({QRect(0, 0, 10, 10), QRect(9, 9, 10, 10)}), 1);
}

}  // namespace
}  // namespace vantor::scope
