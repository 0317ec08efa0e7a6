#pragma once
// Plays a recording into a document: every frame goes through the same
// intake as a live one, at the model time it arrived, so trails, lost
// contacts and labels come out as they were seen.
//
// Seeking puts back the nearest earlier snapshot of the contact table and
// plays on from there. The player keeps a snapshot every SnapshotSpacingMs
// of what it has played; BuildReplaySnapshots makes them for a whole file
// in one pass (on another thread if wanted, with its own document).

#include <QString>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "vantor/model/CRivakDoc.h"
#include "vantor/net/TrackIntake.h"
#include "vantor/record/RecordReader.h"
#include "vantor/texts/Language.h"

namespace vantor::record {

// The model's time during a replay: the recording's start plus the moment
// being played, in milliseconds.
class ReplayClock {
 public:
  explicit ReplayClock(std::int64_t startMs = 0) : startMs_(startMs), nowMs_(startMs) {}
  void SetStart(std::int64_t startMs) { startMs_ = nowMs_ = startMs; }
  void SetPosition(std::uint32_t positionMs) { nowMs_ = startMs_ + positionMs; }
  std::int64_t NowMs() const { return nowMs_; }
  // Whole seconds, as the live model's clock gives them.
  std::int64_t NowSeconds() const;

 private:
  std::int64_t startMs_;
  std::int64_t nowMs_;
};

// A model clock that reads `clock` (kept alive by the function).
model::SecondsClock SecondsFrom(std::shared_ptr<const ReplayClock> clock);

struct ReplaySnapshot {
  std::size_t nextBlock = 0;     // the first block not yet applied
  std::uint32_t positionMs = 0;  // the moment the snapshot shows
  bool joined = false;
  model::ContactTableSnapshot table;
};

// What the replayed connection would have shown besides the table.
struct ReplayEvents {
  std::function<void(int side)> joined;
  std::function<void(int command)> centring;  // the scope's initial centring
  std::function<void(const QString& text)> chat;
};

inline constexpr std::uint32_t kSnapshotSpacingMs = 30'000;

class ReplayPlayer {
 public:
  // `reader` and `document` must outlive the player; the document's clock
  // must read `clock`. The document starts as a client does before it
  // connects.
  ReplayPlayer(const RecordReader& reader, model::CRivakDoc& document, std::shared_ptr<ReplayClock> clock,
               Language language, ReplayEvents events = {});

  std::uint32_t DurationMs() const { return reader_.DurationMs(); }
  std::uint32_t PositionMs() const { return positionMs_; }
  bool AtEnd() const;
  // A damaged block stopped the replay before the end of the index.
  bool HitDamage() const { return damaged_; }

  // Plays every frame that arrived up to `positionMs` (forward only; an
  // earlier position is a seek).
  void PlayTo(std::uint32_t positionMs);
  // Shows `positionMs`, earlier or later: from the nearest snapshot, chat
  // messages on the way not shown again.
  void SeekTo(std::uint32_t positionMs);

  const std::vector<ReplaySnapshot>& Snapshots() const { return snapshots_; }
  // Adds snapshots made elsewhere for the same file (BuildReplaySnapshots).
  void AdoptSnapshots(std::vector<ReplaySnapshot> snapshots);

 private:
  bool LoadBlock(std::size_t index);
  void ApplyFrame(const FrameView& frame, bool quiet);
  void ApplyJoin(std::span<const std::uint8_t> payload, bool quiet);
  void KeepSnapshotIfDue();
  void Restore(const ReplaySnapshot& snapshot);
  void PlayToQuietly(std::uint32_t positionMs, bool quiet);

  const RecordReader& reader_;
  model::CRivakDoc& document_;
  std::shared_ptr<ReplayClock> clock_;
  Language language_;
  ReplayEvents events_;
  net::TrackIntake intake_;

  std::uint32_t positionMs_ = 0;
  std::size_t blockIndex_ = 0;  // the block being played (loaded_ when loaded)
  std::size_t nextFrame_ = 0;   // in the loaded block
  bool loaded_ = false;
  bool damaged_ = false;
  bool joined_ = false;
  DecodedBlock block_;
  std::vector<ReplaySnapshot> snapshots_;  // by nextBlock, the first one at 0
};

// Plays the whole of `reader` on a document of its own and returns its
// snapshots; safe on another thread with a shared reader. Setting `cancel`
// ends it early with the snapshots so far.
std::vector<ReplaySnapshot> BuildReplaySnapshots(const RecordReader& reader, const std::atomic<bool>* cancel = nullptr);

}  // namespace vantor::record
