// Conflict alert: pairs of tracks laid out with the sphere's dead reckoning,
// their times checked against closing speeds worked out by hand, and the
// grid search against a plain comparison of every pair.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "vantor/geo/Sphere.h"
#include "vantor/scope/ConflictAlert.h"

namespace vantor::scope {
namespace {

constexpr geo::GeoPoint kBase{44.5, 38.0};
constexpr double kNm = 1852.0;

ConflictTrack Track(int id, geo::GeoPoint at, double headingDeg, double speedKmh, double altitudeM = 6000.0) {
  return {id, at, altitudeM, geo::Radians(headingDeg), speedKmh};
}
geo::GeoPoint East(double metres) { return geo::Destination(kBase, geo::Radians(90.0), metres / 1000.0); }
geo::GeoPoint North(geo::GeoPoint from, double metres) { return geo::Destination(from, 0.0, metres / 1000.0); }

TEST(ConflictPairs, ConvergingHeadOnEntersAtTheClosingSpeedsTime) {
  const auto a = Track(1, kBase, 90.0, 800.0);
  const auto b = Track(2, East(20000.0), 270.0, 800.0);
  const double closing = 1600.0 / 3.6;
  const auto time = TimeToConflict(a, b);
  ASSERT_TRUE(time);
  EXPECT_NEAR(*time, (20000.0 - kNm) / closing, 0.2);
  // Symmetric.
  EXPECT_NEAR(*TimeToConflict(b, a), *time, 1e-9);
}

TEST(ConflictPairs, DivergingAndParallelTracksNeverConflict) {
  EXPECT_FALSE(TimeToConflict(Track(1, kBase, 270.0, 800.0), Track(2, East(5000.0), 90.0, 800.0)));
  // Side by side 1.5 NM apart on the same heading and speed.
  EXPECT_FALSE(TimeToConflict(Track(1, kBase, 0.0, 700.0), Track(2, East(1.5 * kNm), 0.0, 700.0)));
  // In trail, the one behind slower.
  EXPECT_FALSE(TimeToConflict(Track(1, kBase, 0.0, 600.0), Track(2, North(kBase, 3000.0), 0.0, 700.0)));
  // Side by side inside a mile at one speed: a formation, not a conflict;
  // unless they also close on each other or one falls behind fast.
  EXPECT_FALSE(TimeToConflict(Track(1, kBase, 0.0, 700.0), Track(2, East(0.8 * kNm), 0.0, 720.0)));
  const auto closing = TimeToConflict(Track(1, kBase, 10.0, 700.0), Track(2, East(0.8 * kNm), 350.0, 700.0));
  ASSERT_TRUE(closing);
  EXPECT_EQ(*closing, 0.0);
  const auto overtaking = TimeToConflict(Track(1, kBase, 0.0, 500.0), Track(2, East(0.8 * kNm), 0.0, 700.0));
  ASSERT_TRUE(overtaking);
  EXPECT_EQ(*overtaking, 0.0);
}

TEST(ConflictPairs, VerticalSeparationAtTheThousandFootLine) {
  const auto a = Track(1, kBase, 90.0, 800.0, 6000.0);
  EXPECT_TRUE(TimeToConflict(a, Track(2, East(10000.0), 270.0, 800.0, 6000.0 + 290.0)));
  EXPECT_TRUE(TimeToConflict(a, Track(2, East(10000.0), 270.0, 800.0, 6000.0 - 290.0)));
  EXPECT_FALSE(TimeToConflict(a, Track(2, East(10000.0), 270.0, 800.0, 6000.0 + 320.0)));
  EXPECT_FALSE(TimeToConflict(a, Track(2, East(10000.0), 270.0, 800.0, 6000.0 - 320.0)));
}

TEST(ConflictPairs, JustOutsideInTimeAndInMissDistance) {
  const double closing = 1600.0 / 3.6;
  // Entry at 61 s and at 59 s of the 60-second look-ahead.
  const auto a = Track(1, kBase, 90.0, 800.0);
  EXPECT_FALSE(TimeToConflict(a, Track(2, East(kNm + 61.0 * closing), 270.0, 800.0)));
  const auto inside = TimeToConflict(a, Track(2, East(kNm + 59.0 * closing), 270.0, 800.0));
  ASSERT_TRUE(inside);
  EXPECT_NEAR(*inside, 59.0, 0.2);
  // Opposite headings on lines 1.05 NM and 0.95 NM apart: the closest
  // approach is the lines' spacing.
  const geo::GeoPoint farSide = North(East(15000.0), 1.05 * kNm);
  const geo::GeoPoint nearSide = North(East(15000.0), 0.95 * kNm);
  EXPECT_FALSE(TimeToConflict(a, Track(2, farSide, 270.0, 800.0)));
  EXPECT_TRUE(TimeToConflict(a, Track(2, nearSide, 270.0, 800.0)));
  // A stationary pair a mile and a bit apart.
  EXPECT_FALSE(TimeToConflict(Track(1, kBase, 0.0, 0.0), Track(2, East(1.01 * kNm), 0.0, 0.0)));
}

TEST(ConflictPairs, CrossingAtRightAnglesMeetsWhereBothArrive) {
  // Both 40 s from the crossing point at 720 km/h (200 m/s).
  const geo::GeoPoint crossing = East(8000.0);
  const auto a = Track(1, kBase, 90.0, 720.0);
  const auto b = Track(2, geo::Destination(crossing, geo::Radians(180.0), 8.0), 0.0, 720.0);
  const auto time = TimeToConflict(a, b);
  ASSERT_TRUE(time);
  // Separation sqrt(2) * 200 m/s * (40 - t) reaches one mile.
  EXPECT_NEAR(*time, 40.0 - kNm / (std::sqrt(2.0) * 200.0), 0.3);
}

std::set<std::pair<int, int>> BruteForce(const std::vector<ConflictTrack>& tracks) {
  std::set<std::pair<int, int>> pairs;
  for (std::size_t i = 0; i < tracks.size(); ++i)
    for (std::size_t j = i + 1; j < tracks.size(); ++j)
      if (TimeToConflict(tracks[i], tracks[j])) pairs.insert({static_cast<int>(i), static_cast<int>(j)});
  return pairs;
}

std::vector<ConflictTrack> Crowd(std::size_t count, double spreadKm, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  std::vector<ConflictTrack> tracks;
  for (std::size_t i = 0; i < count; ++i) {
    const geo::GeoPoint at = geo::Destination(kBase, unit(random) * geo::kTwoPi, std::sqrt(unit(random)) * spreadKm);
    tracks.push_back(Track(static_cast<int>(i), at, unit(random) * 360.0, 150.0 + unit(random) * 2400.0,
                           5000.0 + unit(random) * 1500.0));
  }
  return tracks;
}

TEST(ConflictSearch, GridFindsExactlyThePairsEveryPairComparisonFinds) {
  ConflictDetector detector;
  for (const auto& [count, spread, seed] : {std::tuple{1000u, 40.0, 1u}, std::tuple{1000u, 300.0, 2u},
                                            std::tuple{300u, 10.0, 3u}, std::tuple{2u, 1.0, 4u}}) {
    const auto tracks = Crowd(count, spread, seed);
    const auto expected = BruteForce(tracks);
    std::set<std::pair<int, int>> found;
    double last = 0.0;
    for (const Conflict& conflict : detector.Find(tracks)) {
      EXPECT_LT(conflict.first, conflict.second);
      EXPECT_TRUE(found.insert({conflict.first, conflict.second}).second) << "pair reported twice";
      EXPECT_GE(conflict.secondsToConflict, last) << "soonest first";
      last = conflict.secondsToConflict;
    }
    EXPECT_EQ(found, expected) << count << " tracks over " << spread << " km";
    if (count == 1000u && spread == 40.0) {
      EXPECT_GT(expected.size(), 10u);  // the crowd does conflict
    }
  }
  EXPECT_TRUE(detector.Find({}).empty());
}

TEST(ConflictSearch, ListTextGivesMinutesAndSeconds) {
  EXPECT_EQ(ConflictText("VIPER1", "COLT2", 35.7), "CONFLICT VIPER1/COLT2 0:35");
  EXPECT_EQ(ConflictText("A", "B", 75.0), "CONFLICT A/B 1:15");
  EXPECT_EQ(ConflictText("A", "B", 0.0), "CONFLICT A/B 0:00");
}

}  // namespace
}  // namespace vantor::scope
