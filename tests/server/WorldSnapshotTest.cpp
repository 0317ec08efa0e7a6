// The display snapshot of a world table, filled by real feed text.
#include <gtest/gtest.h>

#include "vantor/server/FeedProcessor.h"
#include "vantor/server/WorldSnapshot.h"

using namespace vantor;
using namespace vantor::server;

namespace {

constexpr std::int64_t kNow = 1'700'000'000;

}  // namespace

TEST(WorldSnapshot, DecodesEveryObjectFromTheRecordClientsReceive) {
  FeedIntake intake;
  WorldTable table;
  MissionTime mission;
  intake.ProcessFeedText(
      "Mission start time: 0##"
      "16779010 B Colt 11[Enemies]@@45.03224 38.92516 3000.04 1.5708##"
      "20000001 D Mi-8 [Ural][ALLIES]@@-12.5 -0.25 150 6.2##"
      "30000001 A sa-11 buk sr launcher[Allies]@@44 38 10 0 trailing text##",
      table, mission, kNow);
  intake.ProcessFeedText("16779010 B Colt 11[Enemies]@@45.13224 38.92516 3100 1.6##", table, mission, kNow + 11);
  intake.ProcessFeedText("16779010 B Colt 11[Enemies]@@45.23224 38.92516 3100 1.6##", table, mission, kNow + 22);
  intake.ProcessFeedText("20000001 D Mi-8 [Ural][ALLIES]@@-12.5 -0.25 150 6.2##", table, mission, kNow + 22);

  const std::vector<ObjectSnapshot> objects = SnapshotTable(table);
  ASSERT_EQ(objects.size(), 2u);  // the helicopter stood still before it was ever sampled

  const ObjectSnapshot& colt = objects[0];
  EXPECT_EQ(colt.id, 16779010);
  EXPECT_EQ(colt.classLetter, 'B');
  EXPECT_EQ(colt.name, "Colt 11");
  EXPECT_EQ(colt.side, protocol::SideLetter::Blue);
  // The stored record's precision: what every client sees.
  EXPECT_DOUBLE_EQ(colt.position.latitude, 45.2322);
  EXPECT_DOUBLE_EQ(colt.position.longitude, 38.9252);
  EXPECT_DOUBLE_EQ(colt.altitudeM, 3100.0);
  EXPECT_DOUBLE_EQ(colt.headingRad, 1.6);
  EXPECT_NEAR(colt.speedKmh, 11.12 / 11.0 * 3600.0, 5.0);  // 0.1 degree of latitude in 11 s
  EXPECT_FALSE(colt.groundUnit);
  EXPECT_EQ(colt.radarType, -1);
  EXPECT_FALSE(colt.standingStill);
  EXPECT_EQ(colt.staleCount, 0);

  const ObjectSnapshot& site = objects[1];
  EXPECT_EQ(site.name, "sa-11 buk sr launcher");
  EXPECT_EQ(site.side, protocol::SideLetter::Red);
  EXPECT_TRUE(site.groundUnit);
  EXPECT_EQ(site.radarType, 11);  // BUK SR
  EXPECT_EQ(site.classLetter, 'A');
  EXPECT_DOUBLE_EQ(site.position.latitude, 44.0);
}

TEST(WorldSnapshot, ShowsSouthWestPositionsAndObjectsOnTheirWayOut) {
  FeedIntake intake;
  WorldTable table;
  MissionTime mission;
  intake.ProcessFeedText(
      "Mission start time: 0##20000001 D Mi-8 [Ural][ALLIES]@@-12.5 -0.25 150 6.2##"
      "20000002 B Hornet[Enemies]@@-33.9 -70.6 9000 0##",
      table, mission, kNow);
  // Sampled once moving, then reported at the sampled position: standing still.
  intake.ProcessFeedText("20000001 D Mi-8 [Ural][ALLIES]@@-12.6 -0.25 150 6.2##", table, mission, kNow + 1);
  intake.ProcessFeedText("20000001 D Mi-8 [Ural][ALLIES]@@-12.6 -0.25 150 6.2##", table, mission, kNow + 2);
  // The Hornet was sampled at its first update and then fell silent.
  intake.ProcessFeedText("20000002 B Hornet[Enemies]@@-33.8 -70.6 9000 0##", table, mission, kNow + 2);
  AgeWorldTable(table, kNow + 20);

  const std::vector<ObjectSnapshot> objects = SnapshotTable(table);
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0].name, "Mi-8 [Ural]");
  EXPECT_EQ(objects[0].side, protocol::SideLetter::Red);  // "[ALLIES]" in any case
  EXPECT_DOUBLE_EQ(objects[0].position.latitude, -12.6);
  EXPECT_DOUBLE_EQ(objects[0].position.longitude, -0.25);
  EXPECT_TRUE(objects[0].standingStill);
  EXPECT_EQ(objects[0].speedKmh, 0.0);
  EXPECT_EQ(objects[1].name, "Hornet");
  EXPECT_DOUBLE_EQ(objects[1].position.longitude, -70.6);
  EXPECT_EQ(objects[1].staleCount, 1);

  WorldSnapshot world;
  world.feeds.push_back({{}, objects});
  world.feeds.push_back({{}, {objects[0]}});
  EXPECT_EQ(world.ObjectCount(), 3u);
}
