#include "vantor/missiongen/BatchSource.h"

#include "vantor/missiongen/FeedText.h"

#include <cstdio>

namespace vantor::missiongen {

MissionSource::MissionSource(const MissionOptions& options, std::uint64_t batchLimit)
    : mission_(options), batchLimit_(batchLimit) {}

std::optional<std::string> MissionSource::NextBatch() {
  if (batchLimit_ != 0 && produced_ >= batchLimit_) return std::nullopt;
  ++produced_;
  return mission_.NextBatch();
}

std::string MissionSource::Status() const {
  const int clock = mission_.ClockSeconds();
  char text[128];
  std::snprintf(text, sizeof text, "mission time %02d:%02d:%02d, %zu objects, %d lost", clock / 3600 % 24,
                clock / 60 % 60, clock % 60, mission_.Objects().size(), mission_.LossCount());
  return text;
}

ReplaySource::ReplaySource(RecordedFeed feed, std::uint64_t batchLimit)
    : feed_(std::move(feed)), batchLimit_(batchLimit) {}

std::string ReplaySource::ClockRecord() const {
  // A capture that lost its opening record still needs one: the server
  // takes whatever comes first as the mission clock.
  return feed_.clockRecord.empty() ? MissionClockRecord(0) : feed_.clockRecord;
}

std::string ReplaySource::Status() const {
  return "replayed batch " + std::to_string(next_) + " of " + std::to_string(feed_.batches.size());
}

std::optional<std::string> ReplaySource::NextBatch() {
  if (next_ >= feed_.batches.size() || (batchLimit_ != 0 && next_ >= batchLimit_)) return std::nullopt;
  return feed_.batches[next_++];
}

}  // namespace vantor::missiongen
