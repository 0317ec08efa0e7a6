// The mission generator's replay capture: cut into batches, and replayed
// into a server's feed intake as the generator would send it.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "vantor/missiongen/FeedText.h"
#include "vantor/missiongen/RecordedFeed.h"
#include "vantor/server/FeedProcessor.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string error;
  const std::optional<missiongen::RecordedFeed> feed = missiongen::RecordedFeed::Parse(text, &error);
  if (!feed) {
    FUZZ_CHECK(!error.empty());
    return 0;
  }
  FUZZ_CHECK(!feed->batches.empty());
  std::size_t replayed = feed->clockRecord.size() + feed->unfinishedTailBytes;
  for (const std::string& batch : feed->batches) {
    FUZZ_CHECK(!batch.empty());
    FUZZ_CHECK(batch.ends_with("##"));
    // A batch never holds the same object twice.
    std::string_view rest;
    const std::vector<std::string_view> records = missiongen::SplitFeedRecords(batch, &rest);
    FUZZ_CHECK(rest.empty());
    std::vector<int> ids;
    for (std::string_view record : records) {
      if (const auto id = missiongen::FeedRecordId(record)) ids.push_back(*id);
    }
    std::sort(ids.begin(), ids.end());
    FUZZ_CHECK(std::adjacent_find(ids.begin(), ids.end()) == ids.end());
    replayed += batch.size();
  }
  FUZZ_CHECK(replayed <= text.size());

  // The replay: the clock record (or a made-up one), then batch by batch.
  server::FeedIntake intake;
  server::WorldTable table;
  server::MissionTime mission;
  std::int64_t now = 1'700'000'000;
  intake.ProcessFeedText(feed->clockRecord.empty() ? missiongen::MissionClockRecord(0) : feed->clockRecord, table,
                         mission, now);
  FUZZ_CHECK(intake.MissionSeen());
  for (const std::string& batch : feed->batches) {
    now += 1;
    int broadcasts = 0;
    const server::FeedIntakeResult result =
        intake.ProcessFeedText(batch, table, mission, now, [&broadcasts] { ++broadcasts; });
    FUZZ_CHECK(broadcasts >= 1 || result.discardedUnfinished > 0 || batch.size() > server::FeedIntake::kIntakeBytes);
  }
  return 0;
}
