#pragma once
// The running mission: moves every object on by one batch interval at a time
// and writes each batch as feed text. Everything follows from the seed and
// the batch rate, never from the wall clock, so a seed always gives the same
// bytes.

#include "vantor/missiongen/MissionObject.h"
#include "vantor/missiongen/Random.h"
#include "vantor/missiongen/Scenario.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vantor::missiongen {

struct MissionOptions {
  std::uint64_t seed = 1;
  double rate = 5.0;    // batches per second of mission time
  int objectCount = 0;  // 0: the standard mission
};

class Mission {
 public:
  explicit Mission(const MissionOptions& options);

  // The records of the current batch (one per object, in creation order);
  // then the mission moves on by one batch interval.
  std::string NextBatch();

  // "Mission start time: N##" with the mission's time of day now, for the
  // start of a feed connection.
  std::string ClockRecord() const;
  int ClockSeconds() const;

  double ElapsedSeconds() const { return elapsed_; }
  int LossCount() const { return losses_; }
  double WindFromRad() const { return windFromRad_; }
  const std::vector<std::unique_ptr<MissionObject>>& Objects() const { return objects_; }
  const MissionObject* Find(int id) const;

  // Losses come every few minutes; the first one within about 2.5 minutes.
  static constexpr double kFirstLossMinSeconds = 100.0;
  static constexpr double kFirstLossMaxSeconds = 160.0;
  static constexpr double kReplacementDelaySeconds = 300.0;

 private:
  struct PendingReplacement {
    double dueSeconds;
    std::unique_ptr<MissionObject> lost;
  };

  void Step(double dt);
  void LoseOne();
  void BringReplacements();

  MissionOptions options_;
  Random random_;
  IdSequence ids_;
  double windFromRad_ = 0.0;
  int startClockSeconds_ = 0;
  double elapsed_ = 0.0;
  std::uint64_t batches_ = 0;
  std::vector<std::unique_ptr<MissionObject>> objects_;
  double nextLossSeconds_ = 0.0;
  int losses_ = 0;
  std::vector<PendingReplacement> replacements_;
  std::map<std::string, int> lastCallsignNumber_;
};

}  // namespace vantor::missiongen
