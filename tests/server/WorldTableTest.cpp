#include <gtest/gtest.h>

#include "vantor/server/FeedProcessor.h"
#include "vantor/server/WorldTable.h"

using namespace vantor::server;

namespace {

constexpr std::int64_t kStart = 1'700'000'000;

void Report(WorldTable& table, std::int32_t id, char cls, std::string_view name, double lat, double lon,
            std::int64_t now) {
  const std::string text = std::to_string(id) + " " + cls + " " + std::string(name) + "[Enemies]@@" +
                           std::to_string(lat) + " " + std::to_string(lon) + " 100 1";
  const auto parse = ParseFeedObjectRecord(text);
  ASSERT_TRUE(parse.record) << text;
  ApplyFeedRecord(table, id, parse.record->trackRecord, cls, parse.record->latitude, parse.record->longitude, now);
}

}  // namespace

TEST(Haversine, KnownDistances) {
  EXPECT_NEAR(HaversineKm(45, 38, 45, 38), 0.0, 1e-9);
  // One degree of latitude on a 6371 km sphere.
  EXPECT_NEAR(HaversineKm(44, 38, 45, 38), 111.19, 0.01);
  EXPECT_NEAR(HaversineKm(0, 0, 0, 180), 20015.1, 0.5);
}

TEST(ApplyFeedRecord, CreatesUnchangedAndUpdatesInPlace) {
  WorldTable table;
  Report(table, 10000001, 'B', "Colt", 45, 38, kStart);
  ASSERT_EQ(table.Size(), 1u);
  const WorldObject* object = table.Find(10000001);
  EXPECT_TRUE(object->unchanged);
  EXPECT_FALSE(object->groundUnit);
  EXPECT_EQ(object->sampleTime, 0);
  Report(table, 10000001, 'B', "Colt", 45.01, 38, kStart + 1);
  EXPECT_FALSE(object->unchanged);
  // The first update samples against time 0: a speed of practically 0.
  EXPECT_EQ(object->sampleTime, kStart + 1);
  EXPECT_LT(object->speedKmh, 0.001);
  EXPECT_NE(object->record.find("45.0100"), std::string::npos);
}

TEST(ApplyFeedRecord, SpeedIsSampledOnlyAfterMoreThanTenSeconds) {
  WorldTable table;
  Report(table, 10000001, 'B', "Colt", 45.0, 38, kStart);
  Report(table, 10000001, 'B', "Colt", 45.0, 38.001, kStart + 1);  // first sample
  for (int second = 2; second <= 11; ++second) {
    Report(table, 10000001, 'B', "Colt", 45.0 + 0.001 * second, 38.001, kStart + second);
    EXPECT_LT(table.Find(10000001)->speedKmh, 0.001) << second;  // dt <= 10
  }
  Report(table, 10000001, 'B', "Colt", 45.0 + 0.012, 38.001, kStart + 12);  // dt = 11
  const WorldObject* object = table.Find(10000001);
  EXPECT_EQ(object->sampleTime, kStart + 12);
  const double expected = HaversineKm(45.0, 38.001, 45.012, 38.001) / 11.0 * 3600.0;
  EXPECT_NEAR(object->speedKmh, expected, 1e-6);
  EXPECT_NEAR(object->speedKmh, 437, 1.0);
}

TEST(ApplyFeedRecord, StandingStillClassBorDNeverSampledIsDeletedAtOnce) {
  for (char cls : {'B', 'D'}) {
    WorldTable table;
    Report(table, 10000001, cls, "Parked", 45, 38, kStart);
    Report(table, 10000001, cls, "Parked", 45, 38, kStart + 1);
    EXPECT_TRUE(table.Empty()) << cls;
  }
  WorldTable table;
  Report(table, 10000001, 'C', "Ship", 45, 38, kStart);
  Report(table, 10000001, 'C', "Ship", 45, 38, kStart + 1);
  EXPECT_EQ(table.Size(), 1u);  // other classes may stand still
}

TEST(ApplyFeedRecord, StandingStillAfterASampleIsMarkedThenDeleted) {
  WorldTable table;
  Report(table, 10000001, 'B', "Colt", 45.0, 38, kStart);
  Report(table, 10000001, 'B', "Colt", 45.1, 38, kStart + 1);  // sampled at 45.1
  Report(table, 10000001, 'B', "Colt", 45.1, 38, kStart + 2);  // at its sample: standing
  const WorldObject* object = table.Find(10000001);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->sampleTime, kStandingStillMark);
  EXPECT_EQ(object->speedKmh, 0.0);
  EXPECT_FALSE(object->unchanged);
  AgeWorldTable(table, kStart + 2);
  EXPECT_EQ(object->staleCount, 1);  // stale at once: goes out as lost
  Report(table, 10000001, 'B', "Colt", 45.1, 38, kStart + 3);
  EXPECT_TRUE(table.Empty());
}

TEST(ApplyFeedRecord, GroundUnitsStayOnlyWithARadarName) {
  WorldTable table;
  Report(table, 10000001, 'A', "SA-11 buk sr launcher", 45, 38, kStart);
  Report(table, 10000002, 'A', "Ural truck", 45, 38, kStart);
  EXPECT_EQ(table.Size(), 2u);
  EXPECT_TRUE(table.Find(10000001)->groundUnit);
  Report(table, 10000001, 'A', "SA-11 buk sr launcher", 45, 38, kStart + 1);
  Report(table, 10000002, 'A', "Ural truck", 45, 38, kStart + 1);
  EXPECT_NE(table.Find(10000001), nullptr);
  EXPECT_EQ(table.Find(10000002), nullptr);
}

TEST(AgeWorldTable, StaleObjectIsCountedTwiceThenDeleted) {
  WorldTable table;
  Report(table, 10000001, 'B', "Colt", 45.0, 38, kStart);
  Report(table, 10000001, 'B', "Colt", 45.1, 38, kStart + 1);
  AgeWorldTable(table, kStart + 11);  // 10 s: not yet
  EXPECT_EQ(table.Find(10000001)->staleCount, 0);
  AgeWorldTable(table, kStart + 12);
  EXPECT_EQ(table.Find(10000001)->staleCount, 1);
  AgeWorldTable(table, kStart + 13);
  EXPECT_EQ(table.Find(10000001)->staleCount, 2);
  AgeWorldTable(table, kStart + 14);
  EXPECT_TRUE(table.Empty());
  // Reporting again creates it anew.
  Report(table, 10000001, 'B', "Colt", 45.2, 38, kStart + 15);
  EXPECT_TRUE(table.Find(10000001)->unchanged);
}

TEST(AgeWorldTable, NeverSampledObjectsAreNeverStaleAndResampledOnesRecover) {
  WorldTable table;
  Report(table, 10000001, 'B', "Colt", 45.0, 38, kStart);
  AgeWorldTable(table, kStart + 1000);
  EXPECT_EQ(table.Size(), 1u);
  Report(table, 10000001, 'B', "Colt", 45.1, 38, kStart + 1000);
  AgeWorldTable(table, kStart + 1020);
  EXPECT_EQ(table.Find(10000001)->staleCount, 1);
  Report(table, 10000001, 'B', "Colt", 45.2, 38, kStart + 1021);  // resampled
  AgeWorldTable(table, kStart + 1021);
  EXPECT_EQ(table.Find(10000001)->staleCount, 0);
}

TEST(WorldTable, IndexFollowsRemovalsAndKeepsOrder) {
  WorldTable table;
  const auto object = [](std::int32_t id) {
    WorldObject created;
    created.id = id;
    return created;
  };
  for (int i = 0; i < 5; ++i) table.Append(object(10000000 + i));
  EXPECT_TRUE(table.Remove(10000002));
  EXPECT_FALSE(table.Remove(10000002));
  EXPECT_EQ(table.Find(10000002), nullptr);
  table.Append(object(10000002));
  std::vector<std::int32_t> order;
  for (const auto& object : table) order.push_back(object.id);
  EXPECT_EQ(order, (std::vector<std::int32_t>{10000000, 10000001, 10000003, 10000004, 10000002}));
  EXPECT_EQ(table.Find(10000004)->id, 10000004);
}
