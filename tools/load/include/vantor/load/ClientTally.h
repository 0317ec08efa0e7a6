#pragma once
// What one load client makes of its track datagrams: counts, records per
// object, gaps and the time from the feed's batch to the arrival of each
// record. Plain C++; one tally per client, fed from that client's receive
// thread only.
//
// The feed closes every batch with a batch stamp (vantor-missiongen
// --stamp), which the server keeps as the first object of its table, so a
// stamp leads every broadcast that carries it. A record belongs to the batch
// of the last stamp its client received before it: its latency is measured
// from that batch's writing. When the server sends part of a batch before
// the stamp that closes it, those records are measured from the batch
// before: latencies are never understated.

#include <atomic>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "vantor/protocol/TrackDatagram.h"

namespace vantor::load {

// The batches that are counted, [first, end), set by the run while the
// clients' threads read them.
class CountingWindow {
 public:
  static constexpr std::uint64_t kUnset = std::numeric_limits<std::uint64_t>::max();

  void Start(std::uint64_t firstBatch) { first_.store(firstBatch); }
  void End(std::uint64_t endBatch) { end_.store(endBatch); }
  std::uint64_t First() const { return first_.load(); }
  std::uint64_t EndBatch() const { return end_.load(); }
  bool Contains(std::uint64_t batch) const { return batch >= first_.load() && batch < end_.load(); }

 private:
  std::atomic<std::uint64_t> first_{kUnset};
  std::atomic<std::uint64_t> end_{kUnset};
};

// Latencies at 0.1 ms resolution up to 10 s, at 0.1 s up to 1,000 s;
// longer ones share one bin (their maximum is kept).
class LatencyHistogram {
 public:
  static constexpr std::int64_t kFineBinMicros = 100;
  static constexpr std::size_t kFineBins = 100000;
  static constexpr std::int64_t kCoarseBinMicros = 100000;
  static constexpr std::size_t kCoarseBins = 9900;
  static constexpr std::size_t kBins = kFineBins + kCoarseBins + 1;

  LatencyHistogram();
  void Add(std::int64_t micros, std::uint64_t count = 1);
  void Merge(const LatencyHistogram& other);
  std::uint64_t Count() const { return count_; }
  // The smallest latency that at least `fraction` of the samples do not
  // exceed, in ms (upper edge of its bin); nullopt without samples.
  std::optional<double> PercentileMs(double fraction) const;
  std::optional<double> MeanMs() const;
  std::optional<double> MaxMs() const;

 private:
  static std::size_t BinOf(std::int64_t micros);
  static std::int64_t UpperEdgeMicros(std::size_t bin);

  std::vector<std::uint64_t> bins_;  // the last one holds everything from 1,000 s up
  std::uint64_t count_ = 0;
  double sumMicros_ = 0.0;
  std::int64_t maxMicros_ = 0;
};

// What a client saw of one object inside the window.
struct ObjectTally {
  char classLetter = 0;
  std::uint32_t records = 0;      // track records with a position
  std::uint32_t lostRecords = 0;  // lost-track records (all numbers 0)
  std::uint32_t gaps = 0;
  // Outside the window too: where the object's updates stand.
  bool followed = false;  // a record with a position came and no lost-track record since
  std::uint64_t lastBatch = 0;
  std::int64_t lastArrivalMicros = 0;
};

struct TallyCounts {
  std::uint64_t datagrams = 0;       // inside the window
  std::uint64_t emptyDatagrams = 0;  // inside the window
  std::uint64_t bytes = 0;           // inside the window
  std::uint64_t records = 0;         // track records with a position, stamps excluded
  std::uint64_t lostRecords = 0;     // lost-track records
  std::uint64_t gaps = 0;
  std::uint64_t stamps = 0;          // batch stamps inside the window
  std::uint64_t skippedBatches = 0;  // batches whose stamp never came (merged by the server or lost)
  std::uint64_t allDatagrams = 0;    // since the log-on
};

class ClientTally {
 public:
  explicit ClientTally(const CountingWindow& window) : window_(window) {}

  // One datagram that arrived at `arrivalMicros` (wall clock, the clock of
  // the stamps) with `bytes` bytes, read into `entries`.
  void OnDatagram(std::int64_t arrivalMicros, std::size_t bytes, std::span<const protocol::TrackEntry> entries);

  const TallyCounts& Counts() const { return counts_; }
  const LatencyHistogram& Latency() const { return latency_; }
  const std::unordered_map<std::int32_t, ObjectTally>& Objects() const { return objects_; }
  // Objects with at least one record inside the window.
  std::size_t CountedObjects() const;
  // The last batch stamp received (0 before any); read by the run while the
  // client counts.
  std::uint64_t LastBatch() const { return lastBatch_.load(); }
  bool HasStamp() const { return hasStamp_.load(); }
  // Mean time between batches, from the stamps (0 before two stamps).
  double BatchIntervalMicros() const;

 private:
  void OnStamp(std::uint64_t batch, std::int64_t sentMicros);
  void OnRecord(std::int64_t arrivalMicros, const protocol::TrackEntry& entry);

  const CountingWindow& window_;
  TallyCounts counts_;
  LatencyHistogram latency_;
  std::unordered_map<std::int32_t, ObjectTally> objects_;
  std::atomic<std::uint64_t> lastBatch_{0};
  std::atomic<bool> hasStamp_{false};
  std::int64_t stampMicros_ = 0;
  std::uint64_t firstBatch_ = 0;
  std::int64_t firstStampMicros_ = 0;
  bool inWindow_ = false;
};

// The client's own rule for a lost-track record: longitude, altitude,
// heading and speed all exactly 0.
bool IsLostTrackEntry(const protocol::TrackEntry& entry);

// A gap: an object whose updates stopped for at least one whole batch while
// the feed went on sending it. Its consecutive records lie two or more
// stamps apart and further apart in time than one and a half batch
// intervals (a batch the server sent in two parts moves records between
// stamps, not in time).
bool IsGap(std::uint64_t previousBatch, std::int64_t previousArrivalMicros, std::uint64_t batch,
           std::int64_t arrivalMicros, double batchIntervalMicros);

}  // namespace vantor::load
