#include "vantor/missiongen/RecordedFeed.h"

#include "vantor/missiongen/FeedText.h"

#include <fstream>
#include <iterator>
#include <unordered_set>

namespace vantor::missiongen {

std::optional<RecordedFeed> RecordedFeed::Parse(std::string_view text, std::string* error) {
  // The server reads feed text only up to a NUL byte and drops the rest of
  // that read, so a damaged capture holding one would silently lose records.
  if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
    if (error) *error = "byte " + std::to_string(nul) + " of the recorded feed is a NUL; feed text holds none";
    return std::nullopt;
  }
  RecordedFeed feed;
  std::string_view rest;
  const std::vector<std::string_view> records = SplitFeedRecords(text, &rest);
  feed.unfinishedTailBytes = rest.size();
  std::string batch;
  std::unordered_set<int> idsInBatch;
  auto closeBatch = [&] {
    if (!batch.empty()) feed.batches.push_back(std::move(batch));
    batch.clear();
    idsInBatch.clear();
  };
  for (std::string_view record : records) {
    if (IsMissionClockRecord(record)) {
      // A capture over several connections holds one per connection; the
      // replay sends the first at each of its own connections.
      if (feed.clockRecord.empty()) feed.clockRecord = std::string(record);
      closeBatch();
      continue;
    }
    // Records without an id are passed on as they stand: replaying a
    // capture must not tidy it up.
    if (const auto id = FeedRecordId(record); id && !idsInBatch.insert(*id).second) {
      closeBatch();
      idsInBatch.insert(*id);
    }
    batch.append(record);
  }
  closeBatch();
  if (feed.batches.empty()) {
    if (error) *error = "no object records in the recorded feed";
    return std::nullopt;
  }
  return feed;
}

std::optional<RecordedFeed> RecordedFeed::Load(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = "cannot open " + path;
    return std::nullopt;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string why;
  auto feed = Parse(text, &why);
  if (!feed && error) *error = path + ": " + why;
  return feed;
}

}  // namespace vantor::missiongen
