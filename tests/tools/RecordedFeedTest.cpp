// Cutting a captured feed back into its batches.
#include "vantor/missiongen/BatchSource.h"
#include "vantor/missiongen/CommandLine.h"
#include "vantor/missiongen/FeedText.h"
#include "vantor/missiongen/RecordedFeed.h"

#include <gtest/gtest.h>

namespace vantor::missiongen {
namespace {

TEST(RecordedFeed, SplitsBatchesWhereAnIdComesRoundAgain) {
  const std::string text =
      "Mission start time: 43200##"
      "16777472 B Su-27 (Wolf 1)[Allies]@@45.0 38.0 3000.0 1.57##"
      "16777728 C Admiral Kuznetsov[Allies]@@43.5 37.0 0.0 0.10##"
      "16777472 B Su-27 (Wolf 1)[Allies]@@45.1 38.1 3000.0 1.57##"
      "16777728 C Admiral Kuznetsov[Allies]@@43.5 37.0 0.0 0.10##"
      "16777472 B Su-27 (Wolf 1)[Allies]@@45.2 38.2 3000.0 1.57##"
      "1677";
  std::string error;
  const auto feed = RecordedFeed::Parse(text, &error);
  ASSERT_TRUE(feed) << error;
  EXPECT_EQ(feed->clockRecord, "Mission start time: 43200##");
  ASSERT_EQ(feed->batches.size(), 3u);
  EXPECT_EQ(SplitFeedRecords(feed->batches[0]).size(), 2u);
  EXPECT_EQ(SplitFeedRecords(feed->batches[2]).size(), 1u);
  EXPECT_EQ(feed->unfinishedTailBytes, 4u);
  // Replaying gives back the capture's complete text.
  std::string replayed = feed->clockRecord;
  for (const auto& batch : feed->batches) replayed += batch;
  EXPECT_EQ(replayed, text.substr(0, text.size() - 4));
}

TEST(RecordedFeed, PassesOddRecordsOnAndNeedsAtLeastOneRecord) {
  std::string error;
  EXPECT_FALSE(RecordedFeed::Parse("", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(RecordedFeed::Parse("Mission start time: 5##no end", &error));

  const auto odd = RecordedFeed::Parse("garbage##0000001 B x[Allies]@@1 2 3 4##", &error);
  ASSERT_TRUE(odd);
  EXPECT_TRUE(odd->clockRecord.empty());
  ASSERT_EQ(odd->batches.size(), 1u);
  EXPECT_EQ(odd->batches[0], "garbage##0000001 B x[Allies]@@1 2 3 4##");
  // A capture without its clock record still opens each connection with one.
  ReplaySource source(*odd, 0);
  EXPECT_EQ(source.ClockRecord(), "Mission start time: 0##");
  EXPECT_TRUE(source.NextBatch());
  EXPECT_FALSE(source.NextBatch());
}

// The server stops reading a feed read at a NUL byte, so records after one
// would vanish without a word.
TEST(RecordedFeed, RefusesACaptureHoldingANulByte) {
  using namespace std::string_literals;
  std::string error;
  EXPECT_FALSE(RecordedFeed::Parse("Mission start time: 5##10000001 B a[X]@@1 2 3 4##\0\0##10000001 B a[X]@@1 2 3 4##"s,
                                   &error));
  EXPECT_NE(error.find("byte 49"), std::string::npos) << error;
}

TEST(RecordedFeed, LaterClockRecordsOfACaptureOverSeveralConnectionsAreDropped) {
  const auto feed = RecordedFeed::Parse(
      "Mission start time: 100##10000001 B a[X]@@1 2 3 4##Mission start time: 160##10000001 B a[X]@@1 2 3 4##",
      nullptr);
  ASSERT_TRUE(feed);
  EXPECT_EQ(feed->clockRecord, "Mission start time: 100##");
  EXPECT_EQ(feed->batches.size(), 2u);
}

TEST(FeedText, RecordsUseADecimalPointAndEightDigitIds) {
  std::string out;
  FeedObject object;
  object.id = 16779010;
  object.classLetter = 'B';
  object.name = "F-15C (Colt 11)";
  object.coalitionName = kBlueCoalitionName;
  object.latitude = 45.0322;
  object.longitude = 38.9251;
  object.altitudeM = 3000.04;
  object.headingRad = -0.0;
  AppendFeedRecord(out, object);
  EXPECT_EQ(out, "16779010 B F-15C (Colt 11)[Enemies]@@45.032200 38.925100 3000.0 0.0000##");
  EXPECT_EQ(FeedRecordId(out), 16779010);
  EXPECT_FALSE(FeedRecordId("01234567 B x"));
  EXPECT_FALSE(FeedRecordId("1234567 B x"));
  EXPECT_EQ(MissionClockRecord(43200), "Mission start time: 43200##");
}

TEST(MissionSource, EndsAfterItsBatchLimit) {
  MissionOptions options;
  options.objectCount = 3;
  MissionSource source(options, 4);
  int batches = 0;
  while (source.NextBatch()) ++batches;
  EXPECT_EQ(batches, 4);
}

TEST(CommandLine, DurationBecomesABatchCountAndAnEndlessOneNone) {
  CommandLine line;
  line.rate = 5.0;
  line.durationSeconds = 0.0;
  EXPECT_EQ(line.BatchLimit(), 0u);
  line.durationSeconds = 0.01;
  EXPECT_EQ(line.BatchLimit(), 1u);
  line.durationSeconds = 30.0;
  EXPECT_EQ(line.BatchLimit(), 150u);
  // Too long to count in batches: no end rather than an overflowed count.
  line.rate = 50.0;
  line.durationSeconds = 1e300;
  EXPECT_EQ(line.BatchLimit(), 0u);
}

}  // namespace
}  // namespace vantor::missiongen
