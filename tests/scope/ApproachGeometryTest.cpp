// The approach to the centred airfield: the wind's choice of runway end, the
// extended centreline, and the approach geometry the approach view reads
// (threshold, field elevation, the region past the threshold).
#include <gtest/gtest.h>

#include <climits>

#include "vantor/model/Airfields.h"
#include "vantor/scope/ApproachGeometry.h"

namespace vantor::scope {
namespace {

TEST(ApproachEnd, WindRule) {
  model::CAirfield runway;
  runway.runwayHeading = 40;
  runway.menuId = 32701;
  EXPECT_TRUE(ChooseApproachEnd(runway, 0).atFirstEnd);
  EXPECT_FALSE(ChooseApproachEnd(runway, 0).flipped.has_value());
  EXPECT_FALSE(ChooseApproachEnd(runway, 40).atFirstEnd);   // same direction
  EXPECT_FALSE(ChooseApproachEnd(runway, 120).atFirstEnd);  // 80 apart
  EXPECT_TRUE(ChooseApproachEnd(runway, 130).atFirstEnd);   // 90 apart
  EXPECT_EQ(ChooseApproachEnd(runway, 130).flipped, false);
  EXPECT_TRUE(ChooseApproachEnd(runway, 220).atFirstEnd);   // opposite
  EXPECT_TRUE(ChooseApproachEnd(runway, 300).atFirstEnd);   // across the north: 100 apart
  EXPECT_FALSE(ChooseApproachEnd(runway, 350).atFirstEnd);  // across the north: 50 apart
  runway.approachAtFirstEnd = 0;
  EXPECT_TRUE(ChooseApproachEnd(runway, 40).atFirstEnd);
  // Adler keeps its usual end whatever the wind.
  runway.menuId = 32700;
  EXPECT_FALSE(ChooseApproachEnd(runway, 40).atFirstEnd);
  EXPECT_FALSE(ChooseApproachEnd(runway, 40).flipped.has_value());
}

// A runway with end 1 west of end 2 (heading 90), at 40 m.
model::CAirfield EastWestRunway() {
  model::CAirfield runway;
  runway.menuId = 32705;
  runway.runwayHeading = 90;
  runway.elevationM = 40;
  runway.end1Latitude = 43.1;
  runway.end1Longitude = 40.5;
  runway.end2Latitude = 43.1;
  runway.end2Longitude = 40.6;
  return runway;
}

TEST(ApproachGeometry, ThresholdIsTheChosenEnd) {
  model::CAirfield runway = EastWestRunway();
  const ApproachGeometry usual(runway, true, {100, 100}, {110, 100});
  EXPECT_EQ(usual.MenuId(), 32705);
  EXPECT_TRUE(usual.AtFirstEnd());
  EXPECT_EQ(usual.Threshold(), (geo::GeoPoint{43.1, 40.5}));
  EXPECT_EQ(usual.FarEnd(), (geo::GeoPoint{43.1, 40.6}));
  EXPECT_EQ(usual.FieldElevationM(), 40);
  EXPECT_EQ(usual.ThresholdOnScreen(), (ScreenPoint{100, 100}));
  EXPECT_TRUE(usual.ApproachAtFirstEnd());
  EXPECT_FALSE(usual.ActiveEndFlipped());

  runway.activeEndFlipped = 1;
  const ApproachGeometry flipped(runway, false, {100, 100}, {110, 100});
  EXPECT_FALSE(flipped.AtFirstEnd());
  EXPECT_TRUE(flipped.ActiveEndFlipped());
  EXPECT_EQ(flipped.Threshold(), (geo::GeoPoint{43.1, 40.6}));
  EXPECT_EQ(flipped.FarEnd(), (geo::GeoPoint{43.1, 40.5}));
  EXPECT_EQ(flipped.ThresholdOnScreen(), (ScreenPoint{110, 100}));
  EXPECT_EQ(flipped.FarEndOnScreen(), (ScreenPoint{100, 100}));
}

// From the threshold eight runway lengths over the runway, eight either side.
TEST(ApproachGeometry, RegionLiesPastTheThreshold) {
  const ApproachGeometry approach(EastWestRunway(), true, {100, 100}, {110, 100});
  const std::array<ScreenPoint, 4> corners{{{100, 20}, {100, 180}, {180, 180}, {180, 20}}};
  EXPECT_EQ(approach.Region(), corners);
  EXPECT_TRUE(approach.InRegion({105, 100}));   // over the runway
  EXPECT_TRUE(approach.InRegion({170, 30}));    // beyond it
  EXPECT_FALSE(approach.InRegion({60, 100}));   // on the final approach
  EXPECT_FALSE(approach.InRegion({200, 100}));  // too far out
  // Left and top edges belong to it, right and bottom edges do not.
  EXPECT_TRUE(approach.InRegion({100, 100}));
  EXPECT_TRUE(approach.InRegion({140, 20}));
  EXPECT_FALSE(approach.InRegion({180, 100}));
  EXPECT_FALSE(approach.InRegion({140, 180}));
  EXPECT_FALSE(approach.InRegion({99, 100}));

  // Landing at end 2 the region turns round: west of end 2.
  const ApproachGeometry other(EastWestRunway(), false, {100, 100}, {110, 100});
  EXPECT_TRUE(other.InRegion({105, 100}));
  EXPECT_TRUE(other.InRegion({40, 100}));
  EXPECT_FALSE(other.InRegion({150, 100}));
}

TEST(ApproachGeometry, SlantedRunwayRegion) {
  // End 1 at (200, 200), end 2 at (206, 192): a runway ten pixels long.
  const ApproachGeometry approach(EastWestRunway(), true, {200, 200}, {206, 192});
  // along (6, -8), across (-8, -6).
  const std::array<ScreenPoint, 4> corners{{{136, 152}, {264, 248}, {312, 184}, {184, 88}}};
  EXPECT_EQ(approach.Region(), corners);
  EXPECT_TRUE(approach.InRegion({224, 168}));   // four runway lengths out
  EXPECT_FALSE(approach.InRegion({176, 232}));  // four lengths before the threshold
}

TEST(ApproachGeometry, ARunwayOfNoLengthHasNoRegion) {
  // The carrier's record: both ends on one point.
  const ApproachGeometry approach(EastWestRunway(), true, {300, 300}, {300, 300});
  for (const ScreenPoint point : {ScreenPoint{300, 300}, ScreenPoint{301, 300}, ScreenPoint{0, 0}})
    EXPECT_FALSE(approach.InRegion(point));
}

TEST(ApproachGeometry, FarRunwaysSaturateWithoutOverflow) {
  constexpr int kFar = 1 << 29;
  const ApproachGeometry approach(EastWestRunway(), true, {kFar, -kFar}, {-kFar, kFar});
  for (const ScreenPoint& corner : approach.Region()) {
    EXPECT_LE(std::abs(corner.x), 1 << 30);
    EXPECT_LE(std::abs(corner.y), 1 << 30);
  }
  EXPECT_FALSE(approach.InRegion({INT_MAX, INT_MIN}));
  const ScreenSegment line = ExtendedCentreline(true, {kFar, -kFar}, {-kFar, kFar});
  EXPECT_EQ(line.to, (ScreenPoint{1 << 30, -(1 << 30)}));
}

TEST(ExtendedCentreline, SevenLengthsBeyondEndOneSixBeyondEndTwo) {
  EXPECT_EQ(ExtendedCentreline(true, {100, 100}, {110, 100}), (ScreenSegment{{100, 100}, {30, 100}}));
  EXPECT_EQ(ExtendedCentreline(false, {100, 100}, {110, 100}), (ScreenSegment{{110, 100}, {170, 100}}));
  EXPECT_EQ(ExtendedCentreline(true, {200, 200}, {206, 192}), (ScreenSegment{{200, 200}, {158, 256}}));
}

}  // namespace
}  // namespace vantor::scope
