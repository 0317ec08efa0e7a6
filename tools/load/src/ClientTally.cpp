#include "vantor/load/ClientTally.h"

#include <algorithm>
#include <cmath>

#include "vantor/missiongen/BatchStamp.h"

namespace vantor::load {
namespace {

// A radar site goes to each client once while it keeps reporting: its
// silence is no gap.
constexpr char kGroundUnitClass = 'A';
constexpr double kGapIntervals = 1.5;

}  // namespace

LatencyHistogram::LatencyHistogram() : bins_(kBins, 0) {}

std::size_t LatencyHistogram::BinOf(std::int64_t micros) {
  constexpr std::int64_t kFineEnd = kFineBinMicros * static_cast<std::int64_t>(kFineBins);
  if (micros < kFineEnd) return static_cast<std::size_t>(micros / kFineBinMicros);
  const auto coarse = static_cast<std::size_t>((micros - kFineEnd) / kCoarseBinMicros);
  return kFineBins + std::min(coarse, kCoarseBins);
}

std::int64_t LatencyHistogram::UpperEdgeMicros(std::size_t bin) {
  constexpr std::int64_t kFineEnd = kFineBinMicros * static_cast<std::int64_t>(kFineBins);
  if (bin < kFineBins) return static_cast<std::int64_t>(bin + 1) * kFineBinMicros;
  return kFineEnd + static_cast<std::int64_t>(bin - kFineBins + 1) * kCoarseBinMicros;
}

void LatencyHistogram::Add(std::int64_t micros, std::uint64_t count) {
  if (count == 0) return;
  // Both ends read the same wall clock; a step of that clock could still
  // make a latency negative.
  micros = std::max<std::int64_t>(micros, 0);
  bins_[BinOf(micros)] += count;
  count_ += count;
  sumMicros_ += static_cast<double>(micros) * static_cast<double>(count);
  maxMicros_ = std::max(maxMicros_, micros);
}

void LatencyHistogram::Merge(const LatencyHistogram& other) {
  for (std::size_t i = 0; i < kBins; ++i) bins_[i] += other.bins_[i];
  count_ += other.count_;
  sumMicros_ += other.sumMicros_;
  maxMicros_ = std::max(maxMicros_, other.maxMicros_);
}

std::optional<double> LatencyHistogram::PercentileMs(double fraction) const {
  if (count_ == 0) return std::nullopt;
  const auto wanted =
      static_cast<std::uint64_t>(std::ceil(std::clamp(fraction, 0.0, 1.0) * static_cast<double>(count_)));
  std::uint64_t seen = 0;
  for (std::size_t i = 0; i < kBins; ++i) {
    seen += bins_[i];
    if (seen >= std::max<std::uint64_t>(wanted, 1)) {
      if (i == kBins - 1) return static_cast<double>(maxMicros_) / 1000.0;
      // The bin's upper edge, but never above the largest sample.
      return static_cast<double>(std::min(UpperEdgeMicros(i), maxMicros_)) / 1000.0;
    }
  }
  return static_cast<double>(maxMicros_) / 1000.0;
}

std::optional<double> LatencyHistogram::MeanMs() const {
  if (count_ == 0) return std::nullopt;
  return sumMicros_ / static_cast<double>(count_) / 1000.0;
}

std::optional<double> LatencyHistogram::MaxMs() const {
  if (count_ == 0) return std::nullopt;
  return static_cast<double>(maxMicros_) / 1000.0;
}

bool IsLostTrackEntry(const protocol::TrackEntry& entry) {
  return entry.longitude == 0.0 && entry.altitude == 0.0 && entry.heading == 0.0 && entry.speed == 0.0;
}

bool IsGap(std::uint64_t previousBatch, std::int64_t previousArrivalMicros, std::uint64_t batch,
           std::int64_t arrivalMicros, double batchIntervalMicros) {
  if (batchIntervalMicros <= 0.0 || batch < previousBatch + 2) return false;
  return static_cast<double>(arrivalMicros - previousArrivalMicros) > kGapIntervals * batchIntervalMicros;
}

void ClientTally::OnDatagram(std::int64_t arrivalMicros, std::size_t bytes,
                             std::span<const protocol::TrackEntry> entries) {
  ++counts_.allDatagrams;
  for (const protocol::TrackEntry& entry : entries) {
    if (entry.id == missiongen::kStampObjectId) {
      // The stamp's own lost-track record (after a long pause of the feed)
      // carries no new batch.
      if (IsLostTrackEntry(entry)) continue;
      if (const auto stamp = missiongen::ParseStampName(entry.name)) {
        OnStamp(stamp->batch, stamp->sentMicros);
        continue;
      }
    }
    OnRecord(arrivalMicros, entry);
  }
  if (!inWindow_) return;
  ++counts_.datagrams;
  counts_.bytes += bytes;
  if (bytes == 0) ++counts_.emptyDatagrams;
}

void ClientTally::OnStamp(std::uint64_t batch, std::int64_t sentMicros) {
  const bool hadStamp = hasStamp_.load();
  const std::uint64_t previous = lastBatch_.load();
  // A stamp repeated by a new feed connection moves nothing on.
  if (hadStamp && batch <= previous) return;
  if (!hadStamp) {
    firstBatch_ = batch;
    firstStampMicros_ = sentMicros;
  }
  stampMicros_ = sentMicros;
  const bool wasInWindow = inWindow_;
  inWindow_ = window_.Contains(batch);
  if (inWindow_) {
    ++counts_.stamps;
    // Batches between two stamps of the window whose own stamp never came.
    if (hadStamp && wasInWindow) counts_.skippedBatches += batch - previous - 1;
  }
  lastBatch_.store(batch);
  hasStamp_.store(true);
}

void ClientTally::OnRecord(std::int64_t arrivalMicros, const protocol::TrackEntry& entry) {
  ObjectTally& object = objects_[entry.id];
  object.classLetter = entry.classLetter;
  if (IsLostTrackEntry(entry)) {
    object.followed = false;
    if (inWindow_) {
      ++object.lostRecords;
      ++counts_.lostRecords;
    }
    return;
  }
  const std::uint64_t batch = lastBatch_.load();
  if (inWindow_) {
    ++object.records;
    ++counts_.records;
    if (hasStamp_.load()) latency_.Add(arrivalMicros - stampMicros_);
    // Counted when the first batch it missed lies in the window.
    if (object.followed && entry.classLetter != kGroundUnitClass && object.lastBatch + 1 >= window_.First() &&
        IsGap(object.lastBatch, object.lastArrivalMicros, batch, arrivalMicros, BatchIntervalMicros())) {
      ++object.gaps;
      ++counts_.gaps;
    }
  }
  object.followed = true;
  object.lastBatch = batch;
  object.lastArrivalMicros = arrivalMicros;
}

double ClientTally::BatchIntervalMicros() const {
  const std::uint64_t last = lastBatch_.load();
  if (!hasStamp_.load() || last <= firstBatch_) return 0.0;
  return static_cast<double>(stampMicros_ - firstStampMicros_) / static_cast<double>(last - firstBatch_);
}

std::size_t ClientTally::CountedObjects() const {
  return static_cast<std::size_t>(std::count_if(objects_.begin(), objects_.end(), [](const auto& item) {
    return item.second.records + item.second.lostRecords > 0;
  }));
}

}  // namespace vantor::load
