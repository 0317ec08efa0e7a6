#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "GeoTestSupport.h"
#include "vantor/geo/ElevationGrid.h"

using namespace vantor::geo;
using namespace vantor::geo::test;

namespace {

constexpr int kLots = 1000;

// Radar and target at fractional grid positions (column, row).
struct Line {
  double radarColumn, radarRow, targetColumn, targetRow;
};

int Count(const ElevationGrid& grid, const Line& line, double altitude, bool fromAltitude, double height) {
  return CountTerrainObstructions(grid, LatitudeOfRow(line.radarRow), LongitudeOfColumn(line.radarColumn),
                                  LatitudeOfRow(line.targetRow), LongitudeOfColumn(line.targetColumn), altitude,
                                  fromAltitude, height, kLots);
}

bool Visible(const ElevationGrid& grid, const Line& line, double altitude, bool fromAltitude, double height) {
  return TerrainLineOfSight(grid, LatitudeOfRow(line.radarRow), LongitudeOfColumn(line.radarColumn),
                            LatitudeOfRow(line.targetRow), LongitudeOfColumn(line.targetColumn), altitude, fromAltitude,
                            height);
}

// A wall of `count` samples of 500 m on the row of a due-east line.
ElevationGrid EastWall(int count) {
  TerrainBuilder terrain;
  for (int n = 0; n < count; ++n) terrain.Set(600, 1020 + 7 * n, 500);
  return terrain.Build();
}

}  // namespace

TEST(TerrainLineOfSight, DueEastUsesTheColumnWalkAlone) {
  // Same latitude: dy is exactly 0, only columns 1000 ... 1099 of row 600.
  const Line line{1000.5, 600.5, 1100.5, 600.5};
  EXPECT_EQ(Count(EastWall(5), line, 100.0, false, 60.0), 5);
  EXPECT_TRUE(Visible(EastWall(5), line, 100.0, false, 60.0));
  EXPECT_EQ(Count(EastWall(6), line, 100.0, false, 60.0), 6);
  EXPECT_FALSE(Visible(EastWall(6), line, 100.0, false, 60.0));
  // The target's own height plus the antenna height clears the wall.
  EXPECT_TRUE(Visible(EastWall(10), line, 440.0, false, 60.0));
  EXPECT_FALSE(Visible(EastWall(10), line, 439.0, false, 60.0));
  // A sample on the next row is not on the walk.
  TerrainBuilder offLine;
  for (int n = 0; n < 10; ++n) offLine.Set(601, 1020 + 7 * n, 500);
  EXPECT_EQ(Count(offLine.Build(), line, 100.0, false, 60.0), 0);
}

TEST(TerrainLineOfSight, DueNorthUsesTheRowWalkInTheRadarColumn) {
  const Line line{1500.5, 900.5, 1500.5, 800.5};  // target north: rows 900 down to 801
  TerrainBuilder five, six;
  for (int n = 0; n < 5; ++n) five.Set(890 - 10 * n, 1500, 700);
  for (int n = 0; n < 6; ++n) six.Set(890 - 10 * n, 1500, 700);
  EXPECT_EQ(Count(five.Build(), line, 0.0, false, 6.0), 5);
  EXPECT_TRUE(Visible(five.Build(), line, 0.0, false, 6.0));
  EXPECT_FALSE(Visible(six.Build(), line, 0.0, false, 6.0));
}

TEST(TerrainLineOfSight, MirroredGeometryOverMirroredTerrainCountsTheSame) {
  // Mirror about the vertical line at column 2000 (and the horizontal line
  // at row 600): column c becomes 3999 - c and position x becomes 4000 - x.
  std::mt19937 random(7);
  std::uniform_int_distribution<int> dr(-150, 150), dc(-300, 300), height(0, 900);
  TerrainBuilder terrain, mirroredX, mirroredY;
  for (int n = 0; n < 20000; ++n) {
    const int r = 600 + dr(random), c = 1600 + dc(random);
    const auto h = static_cast<std::int16_t>(height(random));
    terrain.Set(r, c, h);
    mirroredX.Set(r, 3999 - c, h);
    mirroredY.Set(1199 - r, c, h);
  }
  const ElevationGrid grid = terrain.Build(), gridX = mirroredX.Build(), gridY = mirroredY.Build();
  const Line lines[] = {{1600.37, 600.41, 1820.23, 600.41},
                        {1600.37, 600.41, 1600.37, 710.29},
                        {1560.37, 580.41, 1780.23, 690.13},
                        {1650.17, 650.31, 1410.73, 570.61}};
  for (const Line& l : lines) {
    const int count = Count(grid, l, 200.0, false, 60.0);
    EXPECT_GT(count, 0);
    const Line lx{4000.0 - l.radarColumn, l.radarRow, 4000.0 - l.targetColumn, l.targetRow};
    const Line ly{l.radarColumn, 1200.0 - l.radarRow, l.targetColumn, 1200.0 - l.targetRow};
    EXPECT_EQ(Count(gridX, lx, 200.0, false, 60.0), count);
    EXPECT_EQ(Count(gridY, ly, 200.0, false, 60.0), count);
  }
}

TEST(TerrainLineOfSight, AwacsSightLineFallsTowardTheTarget) {
  // 100 columns east, AWACS at 9000 m: the sight line is 90 m per column
  // above the target end.
  const Line line{1000.5, 600.5, 1100.5, 600.5};
  TerrainBuilder nearTarget, nearAwacs;
  for (int n = 0; n < 6; ++n) nearTarget.Set(600, 1094 + n, 1000);  // sight line 540 ... 90 m there
  for (int n = 0; n < 6; ++n) nearAwacs.Set(600, 1010 + n, 1000);   // sight line about 8000 m there
  EXPECT_FALSE(Visible(nearTarget.Build(), line, 100.0, true, 9000.0));
  EXPECT_TRUE(Visible(nearAwacs.Build(), line, 100.0, true, 9000.0));
  // The target altitude, not the height, is the floor for the AWACS.
  EXPECT_TRUE(Visible(nearTarget.Build(), line, 1000.0, true, 9000.0));
}

TEST(TerrainLineOfSight, BothWalksCountTogether) {
  // A 45-degree line visits each cell once per walk: three high cells on it
  // give 6 obstructions.
  const Line line{1000.5, 600.5, 1050.5, 650.5};
  TerrainBuilder terrain;
  for (int n = 0; n < 3; ++n) terrain.Set(610 + 10 * n, 1010 + 10 * n, 800);
  EXPECT_EQ(Count(terrain.Build(), line, 0.0, false, 60.0), 6);
  EXPECT_FALSE(Visible(terrain.Build(), line, 0.0, false, 60.0));
}

TEST(TerrainLineOfSight, PositionsOutsideTheBoxAreNeverMasked) {
  TerrainBuilder terrain;
  for (int r = 0; r < ElevationGrid::kRows; ++r)
    for (int c = 1; c < ElevationGrid::kColumns; c += 3) terrain.Set(r, c, 5000);  // not under the targets
  const ElevationGrid wall = terrain.Build();
  auto visible = [&](double rLat, double rLon, double tLat, double tLon) {
    return TerrainLineOfSight(wall, rLat, rLon, tLat, tLon, 0.0, false, 60.0);
  };
  EXPECT_FALSE(visible(44.0, 37.0, 44.0, 38.0));
  EXPECT_TRUE(visible(42.05, 37.0, 44.0, 38.0));    // radar south of 42.1
  EXPECT_TRUE(visible(44.0, 37.0, 45.95, 38.0));    // target north of 45.9
  EXPECT_TRUE(visible(44.0, 33.05, 44.0, 38.0));    // radar west of 33.1
  EXPECT_TRUE(visible(44.0, 37.0, 44.0, 33.111));   // target west of 33.112
  EXPECT_FALSE(visible(44.0, 33.105, 44.0, 38.0));  // the radar's western limit is 33.1
  EXPECT_TRUE(visible(44.0, 37.0, 44.0, 43.95));
  EXPECT_FALSE(visible(42.1, 33.1, 45.9, 43.9));  // the box edges are inside
  EXPECT_TRUE(visible(std::nan(""), 37.0, 44.0, 38.0));
}

TEST(TerrainLineOfSight, SamePositionSeesAndAlmostFlatLinesStayInTheGrid) {
  const ElevationGrid hills = HillyTerrain(3);
  EXPECT_EQ(CountTerrainObstructions(hills, 44.0, 38.0, 44.0, 38.0, 0.0, false, 60.0, kLots), 0);
  // A line a hair off horizontal makes the row walk's column computation
  // huge; such samples are off the grid and obstruct nothing.
  const double lat = 44.0;
  EXPECT_NO_FATAL_FAILURE(
      CountTerrainObstructions(hills, lat, 35.0, std::nextafter(lat, 50.0), 40.0, 0.0, false, 60.0, kLots));
  EXPECT_NO_FATAL_FAILURE(
      CountTerrainObstructions(hills, lat, 35.0, std::nextafter(lat, 50.0), 35.0 + 1e-13, 0.0, true, 9000.0, kLots));
}

TEST(TerrainLineOfSight, OptimisedWalkAgreesWithThePlainWalk) {
  const ElevationGrid grid = HillyTerrain(11);
  std::mt19937 random(2024);
  std::uniform_real_distribution<double> lat(42.0, 46.0), lon(33.0, 44.0), near(-0.8, 0.8), altitude(-50.0, 4000.0);
  std::bernoulli_distribution awacs(0.3), close(0.6);
  int masked = 0, seen = 0;
  for (int n = 0; n < 6000; ++n) {
    const double rLat = lat(random), rLon = lon(random);
    const double tLat = close(random) ? rLat + near(random) : lat(random);
    const double tLon = close(random) ? rLon + near(random) : lon(random);
    const bool fromAltitude = awacs(random);
    const double height = fromAltitude ? 1000.0 * std::uniform_int_distribution<int>(1, 12)(random) : 60.0;
    const double alt = altitude(random);
    const int reference = ReferenceObstructionCount(grid, rLat, rLon, tLat, tLon, alt, fromAltitude, height);
    const int capped = CountTerrainObstructions(grid, rLat, rLon, tLat, tLon, alt, fromAltitude, height, 6);
    const int full = CountTerrainObstructions(grid, rLat, rLon, tLat, tLon, alt, fromAltitude, height, 1 << 30);
    ASSERT_EQ(full, reference) << n;
    ASSERT_EQ(capped, reference < 0 ? -1 : std::min(reference, 6)) << n;
    ASSERT_EQ(TerrainLineOfSight(grid, rLat, rLon, tLat, tLon, alt, fromAltitude, height), reference <= 5) << n;
    (reference > 5 ? masked : seen)++;
  }
  // The sample covers both outcomes well.
  EXPECT_GT(masked, 500);
  EXPECT_GT(seen, 1000);
}

TEST(ElevationGrid, BlockMaximaNeverUnderstateTheTerrain) {
  const ElevationGrid grid = HillyTerrain(5);
  std::mt19937 random(1);
  std::uniform_int_distribution<int> row(-20, ElevationGrid::kRows + 20), column(-20, ElevationGrid::kColumns + 20),
      span(0, 300);
  for (int n = 0; n < 300; ++n) {
    const int r0 = row(random), c0 = column(random);
    const int r1 = r0 + span(random) / 10, c1 = c0 + span(random);
    int truth = INT16_MIN;
    for (int r = std::max(r0, 0); r <= std::min(r1, ElevationGrid::kRows - 1); ++r)
      for (int c = std::max(c0, 0); c <= std::min(c1, ElevationGrid::kColumns - 1); ++c)
        truth = std::max<int>(truth, grid.At(r, c));
    EXPECT_GE(grid.MaxAtLeastOver(r0, c0, r1, c1), truth);
  }
  EXPECT_EQ(grid.MaxAtLeastOver(5, 5, 5, 5), grid.At(5, 5));
}
