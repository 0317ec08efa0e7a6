#pragma once
// Where the streamed feed comes from: the generated mission or a recording.

#include "vantor/missiongen/Mission.h"
#include "vantor/missiongen/RecordedFeed.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vantor::missiongen {

class BatchSource {
 public:
  virtual ~BatchSource() = default;
  // The record that opens every feed connection.
  virtual std::string ClockRecord() const = 0;
  // The next batch, or nothing when the feed has ended.
  virtual std::optional<std::string> NextBatch() = 0;
  // A recording waits for the server; a mission runs on regardless, as the
  // simulator does.
  virtual bool HoldWhileDisconnected() const = 0;
  // One line on how far the feed has got, for the periodic status report.
  virtual std::string Status() const = 0;
};

class MissionSource : public BatchSource {
 public:
  // `batchLimit` 0: no end.
  MissionSource(const MissionOptions& options, std::uint64_t batchLimit);
  std::string ClockRecord() const override { return mission_.ClockRecord(); }
  std::optional<std::string> NextBatch() override;
  bool HoldWhileDisconnected() const override { return false; }
  std::string Status() const override;
  const Mission& GetMission() const { return mission_; }

 private:
  Mission mission_;
  std::uint64_t batchLimit_;
  std::uint64_t produced_ = 0;
};

class ReplaySource : public BatchSource {
 public:
  ReplaySource(RecordedFeed feed, std::uint64_t batchLimit);
  std::string ClockRecord() const override;
  std::optional<std::string> NextBatch() override;
  bool HoldWhileDisconnected() const override { return true; }
  std::string Status() const override;

 private:
  RecordedFeed feed_;
  std::uint64_t batchLimit_;
  std::size_t next_ = 0;
};

}  // namespace vantor::missiongen
