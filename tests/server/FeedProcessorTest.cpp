#include <gtest/gtest.h>

#include "vantor/server/FeedProcessor.h"

using namespace vantor::server;

namespace {

constexpr std::int64_t kNow = 1'700'000'000;

struct Feed {
  FeedIntake intake;
  WorldTable table;
  MissionTime mission;
  int broadcasts = 0;

  FeedIntakeResult Take(std::string_view text, std::int64_t now = kNow) {
    return intake.ProcessFeedText(text, table, mission, now, [this] { ++broadcasts; });
  }
};

Feed StartedFeed() {
  Feed feed;
  feed.Take("Mission start time: 43200##");
  feed.broadcasts = 0;
  return feed;
}

}  // namespace

TEST(FeedRecord, ParsesTheObjectRecordLayout) {
  const auto parse = ParseFeedObjectRecord("16779010 B Colt 11[Enemies]@@45.0322 38.9251 3000.0 1.57 trailing");
  ASSERT_EQ(parse.status, FeedRecordStatus::Ok);
  const FeedObjectRecord& record = *parse.record;
  EXPECT_EQ(record.id, 16779010);
  EXPECT_EQ(record.classLetter, 'B');
  EXPECT_EQ(record.name, "Colt 11");
  EXPECT_EQ(record.sideLetter, 'A');
  EXPECT_EQ(record.trackRecord, "16779010BColt 11[A]@45.0322 38.9251 3000.0 1.57##");
}

TEST(FeedRecord, AlliesBracketInAnyCaseIsRedAndOnlyWhenExact) {
  EXPECT_EQ(ParseFeedObjectRecord("16779010 B Colt[ALLIES]@@1 2 3 4").record->sideLetter, 'B');
  EXPECT_EQ(ParseFeedObjectRecord("16779010 B Colt[allies]@@1 2 3 4").record->sideLetter, 'B');
  EXPECT_EQ(ParseFeedObjectRecord("16779010 B Colt[Allies] @@1 2 3 4").record->sideLetter, 'A');
  // The last "[" starts the bracket: the name keeps its own bracketed part.
  const auto sam = ParseFeedObjectRecord("30000001 A SAM [2][Allies]@@44.1 37.2 10 0");
  EXPECT_EQ(sam.record->name, "SAM [2]");
  EXPECT_EQ(sam.record->trackRecord, "30000001ASAM [2][B]@44.1000 37.2000 10.0 0.00##");
}

TEST(FeedRecord, RefusesMalformedRecords) {
  const std::pair<const char*, FeedRecordStatus> cases[] = {
      {"06779010 B Colt[Allies]@@1 2 3 4", FeedRecordStatus::BadId},
      {"1677901 B Colt[Allies]@@1 2 3 4", FeedRecordStatus::BadId},
      {"1677901x B Colt[Allies]@@1 2 3 4", FeedRecordStatus::BadId},
      {"-1677901 B Colt[Allies]@@1 2 3 4", FeedRecordStatus::BadId},
      {"167790101 B Colt[Allies]@@1 2 3 4", FeedRecordStatus::BadId},
      {"16779010", FeedRecordStatus::BadClass},
      {"16779010 # #Colt[Allies]@@1 2 3 4", FeedRecordStatus::BadClass},
      {"16779010 B Colt[Allies]@1 2 3 4", FeedRecordStatus::NoCoalitionMark},
      {"16779010 B Colt Allies@@1 2 3 4", FeedRecordStatus::NoCoalitionBracket},
      {"16779010 B @@1 2 3 4", FeedRecordStatus::NoCoalitionBracket},
      {"16779010 B [Allies]@@1 2 3 4", FeedRecordStatus::EmptyName},
      {"16779010 B Co]@lt[Allies]@@1 2 3 4", FeedRecordStatus::NameHoldsRecordMark},
      {"16779010 ] @Colt[Allies]@@1 2 3 4", FeedRecordStatus::NameHoldsRecordMark},
      {"16779010 B Colt[Allies]@@1 2 3", FeedRecordStatus::BadNumbers},
      {"16779010 B Colt[Allies]@@1 2 x 4", FeedRecordStatus::BadNumbers},
      {"16779010 B Colt[Allies]@@1 2 3 nan", FeedRecordStatus::BadNumbers},
  };
  for (const auto& [text, status] : cases) {
    const auto parse = ParseFeedObjectRecord(text);
    EXPECT_EQ(parse.status, status) << text;
    EXPECT_FALSE(parse.record) << text;
  }
}

TEST(FeedRecord, MissionClockRecord) {
  EXPECT_EQ(ParseMissionClockRecord("Mission start time: 43200"), 43200);
  EXPECT_EQ(ParseMissionClockRecord("Mission start time:43200 extra"), 43200);
  EXPECT_EQ(ParseMissionClockRecord("Mission start time: -5"), -5);
  EXPECT_FALSE(ParseMissionClockRecord("Mission start time: x"));
  EXPECT_FALSE(ParseMissionClockRecord("mission start time: 5"));
  EXPECT_FALSE(ParseMissionClockRecord("Mission start time: 99999999999"));
}

TEST(FeedIntake, FirstRecordIsTheMissionClockWhateverItHolds) {
  Feed feed;
  const auto result = feed.Take("Mission start time: 43200##");
  EXPECT_TRUE(result.missionClockRecord);
  EXPECT_EQ(feed.mission.missionStart, 43200);
  EXPECT_EQ(feed.mission.missionStartWall, kNow);
  EXPECT_EQ(feed.mission.MissionClock(kNow + 60), 43260);

  Feed other;
  other.mission.missionStart = 7;
  other.Take("16779010 B Colt[Allies]@@1 2 3 4##", kNow + 5);
  EXPECT_TRUE(other.intake.MissionSeen());
  EXPECT_EQ(other.mission.missionStart, 7);  // unchanged
  EXPECT_EQ(other.mission.missionStartWall, kNow + 5);
  EXPECT_TRUE(other.table.Empty());  // consumed, not applied
}

TEST(FeedIntake, UnfinishedRecordWaitsAndTheBroadcastWaitsToo) {
  Feed feed = StartedFeed();
  auto result = feed.Take("16779010 B Colt[Allies]@@1 2 3 4##20000001 D Tanker[Enemies]@@");
  EXPECT_EQ(result.objectRecords, 1);
  EXPECT_EQ(feed.broadcasts, 0);
  EXPECT_EQ(feed.table.Size(), 1u);
  EXPECT_EQ(feed.intake.Carry(), std::string_view("20000001 D Tanker[Enemies]@@").size());
  result = feed.Take("5 6 7 8##");
  EXPECT_EQ(result.objectRecords, 1);
  EXPECT_EQ(feed.broadcasts, 1);
  EXPECT_EQ(feed.table.Size(), 2u);
  EXPECT_EQ(feed.intake.Carry(), 0u);
}

TEST(FeedIntake, ACoalitionMarkIsNeverTakenFromTheNextRecord) {
  Feed feed = StartedFeed();
  const auto result = feed.Take("16779010 B Colt without mark##20000001 D Tanker[Enemies]@@5 6 7 8##");
  EXPECT_EQ(result.skippedRecords, 1);
  EXPECT_EQ(result.objectRecords, 1);
  ASSERT_EQ(feed.table.Size(), 1u);
  EXPECT_EQ(feed.table.begin()->id, 20000001);
  EXPECT_EQ(feed.table.begin()->record, "20000001DTanker[A]@5.0000 6.0000 7.0 8.00##");
}

TEST(FeedIntake, RecordLongerThanTheIntakeIsDroppedAndReadingGoesOn) {
  Feed feed = StartedFeed();
  std::string huge = "16779010 B " + std::string(12000, 'N') + "[Allies]@@1 2 3 4##";
  huge += "20000001 D Tanker[Enemies]@@5 6 7 8##";
  // As the socket delivers it: reads of at most what the intake can take.
  std::size_t offset = 0;
  int discarded = 0;
  while (offset < huge.size()) {
    const std::size_t take = std::min(feed.intake.ReadCapacity(), huge.size() - offset);
    ASSERT_GT(take, 0u) << "the intake stalled";
    discarded += feed.Take(std::string_view(huge).substr(offset, take)).discardedUnfinished;
    offset += take;
  }
  EXPECT_EQ(discarded, 1);
  // The tail of the long record is refused by its id; the next record is applied.
  ASSERT_EQ(feed.table.Size(), 1u);
  EXPECT_EQ(feed.table.begin()->id, 20000001);
  EXPECT_EQ(feed.broadcasts, 1);
}

TEST(FeedIntake, TextOfAnyLengthIsTakenAsSuccessiveReads) {
  Feed feed = StartedFeed();
  std::string batch;
  for (int i = 0; i < 1000; ++i)
    batch += std::to_string(10000000 + i) + " B Flight " + std::to_string(i) + "[Allies]@@44 37 1000 1##";
  const auto result = feed.Take(batch);
  EXPECT_EQ(result.objectRecords, 1000);
  EXPECT_EQ(feed.table.Size(), 1000u);
  EXPECT_GE(feed.broadcasts, 1);
  EXPECT_EQ(feed.intake.Carry(), 0u);
  // Creation order is kept.
  std::int32_t expected = 10000000;
  for (const WorldObject& object : feed.table) EXPECT_EQ(object.id, expected++);
}

TEST(FeedIntake, NulEndsTheTextOfARead) {
  Feed feed = StartedFeed();
  const std::string text(
      "16779010 B Colt[Allies]@@1 2 3 4##\0"
      "20000001 D Tanker[Enemies]@@5 6 7 8##",
      70);
  feed.Take(text);
  EXPECT_EQ(feed.table.Size(), 1u);
  EXPECT_EQ(feed.broadcasts, 1);
}
