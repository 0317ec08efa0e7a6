#include "vantor/record/ReplayPlayer.h"

#include <algorithm>
#include <mutex>

#include "vantor/net/ControlChannel.h"
#include "vantor/net/LogOnRules.h"
#include "vantor/protocol/ConfigBlock.h"

namespace vantor::record {

std::int64_t ReplayClock::NowSeconds() const {
  // Floor, as the system clock's seconds are for times before 1970 too.
  return nowMs_ >= 0 ? nowMs_ / 1000 : -((-nowMs_ + 999) / 1000);
}

model::SecondsClock SecondsFrom(std::shared_ptr<const ReplayClock> clock) {
  return [clock = std::move(clock)] { return clock->NowSeconds(); };
}

ReplayPlayer::ReplayPlayer(const RecordReader& reader, model::CRivakDoc& document, std::shared_ptr<ReplayClock> clock,
                           Language language, ReplayEvents events)
    : reader_(reader),
      document_(document),
      clock_(std::move(clock)),
      language_(language),
      events_(std::move(events)),
      intake_(document) {
  clock_->SetStart(reader_.Header().startMs);
  net::ResetSensorPart(document_.State());
  document_.State().isBlue = reader_.Header().coalition == 0;
  snapshots_.push_back(ReplaySnapshot{0, 0, false, document_.SaveContactTable()});
}

bool ReplayPlayer::AtEnd() const { return damaged_ || blockIndex_ >= reader_.Blocks().size(); }

void ReplayPlayer::PlayTo(std::uint32_t positionMs) {
  if (positionMs < positionMs_) {
    SeekTo(positionMs);
    return;
  }
  PlayToQuietly(positionMs, false);
}

void ReplayPlayer::SeekTo(std::uint32_t positionMs) {
  positionMs = std::min(positionMs, DurationMs());
  // The last snapshot at or before the target.
  const auto after = std::upper_bound(snapshots_.begin(), snapshots_.end(), positionMs,
                                      [](std::uint32_t ms, const ReplaySnapshot& s) { return ms < s.positionMs; });
  const ReplaySnapshot& best = *std::prev(after);  // the first snapshot is at 0
  const bool aheadOfBest = positionMs >= positionMs_ && blockIndex_ >= best.nextBlock;
  if (!aheadOfBest) Restore(best);
  PlayToQuietly(positionMs, true);
}

void ReplayPlayer::Restore(const ReplaySnapshot& snapshot) {
  document_.RestoreContactTable(snapshot.table);
  intake_.Reset();
  blockIndex_ = snapshot.nextBlock;
  nextFrame_ = 0;
  loaded_ = false;
  damaged_ = false;
  joined_ = snapshot.joined;
  positionMs_ = snapshot.positionMs;
  clock_->SetPosition(positionMs_);
}

void ReplayPlayer::PlayToQuietly(std::uint32_t positionMs, bool quiet) {
  const std::vector<BlockEntry>& blocks = reader_.Blocks();
  while (!damaged_ && blockIndex_ < blocks.size()) {
    if (!loaded_) {
      if (blocks[blockIndex_].header.firstArrivalMs > positionMs) break;
      if (!LoadBlock(blockIndex_)) {
        // The replay ends where the good part of the file does.
        damaged_ = true;
        if (blockIndex_ > 0) positionMs_ = std::max(positionMs_, blocks[blockIndex_ - 1].header.lastArrivalMs);
        clock_->SetPosition(positionMs_);
        return;
      }
    }
    while (nextFrame_ < block_.frames.size() && block_.frames[nextFrame_].arrivalMs <= positionMs) {
      ApplyFrame(block_.frames[nextFrame_], quiet);
      ++nextFrame_;
    }
    if (nextFrame_ < block_.frames.size()) break;
    loaded_ = false;
    nextFrame_ = 0;
    ++blockIndex_;
    KeepSnapshotIfDue();
  }
  positionMs_ = std::max(positionMs_, std::min(positionMs, DurationMs()));
  clock_->SetPosition(positionMs_);
}

bool ReplayPlayer::LoadBlock(std::size_t index) {
  loaded_ = reader_.ReadBlock(index, block_);
  nextFrame_ = 0;
  return loaded_;
}

void ReplayPlayer::ApplyFrame(const FrameView& frame, bool quiet) {
  clock_->SetPosition(frame.arrivalMs);
  switch (frame.kind) {
    case FrameKind::Joined:
      ApplyJoin(frame.payload, quiet);
      return;
    case FrameKind::TrackDatagram:
      if (!frame.payload.empty()) intake_.Apply(frame.payload);
      return;
    case FrameKind::ControlMessage: {
      if (!joined_) return;
      const net::ChatReceipt receipt = net::ReadChatMessage(
          frame.payload, document_.State().isBlue ? protocol::CoalitionCode::Blue : protocol::CoalitionCode::Red,
          language_);
      if (!quiet && receipt.kind != net::ChatReceipt::Kind::NotForUs && events_.chat) events_.chat(receipt.text);
      return;
    }
  }
}

void ReplayPlayer::ApplyJoin(std::span<const std::uint8_t> payload, bool quiet) {
  if (payload.size() != 1 + protocol::kConfigBlockSize) return;
  const int side = payload[0] == 0 ? net::kBlueSide : net::kRedSide;
  const std::optional<protocol::ConfigBlock> block = protocol::DecodeConfigBlock(payload.subspan(1));
  if (!block) return;
  model::ClientState& state = document_.State();
  // A later log-on is a new connection: the earlier one's contacts go.
  if (joined_) document_.ClearContacts();
  intake_.Reset();
  net::ResetSensorPart(state);
  {
    std::lock_guard<model::ContactLock> guard(state.contactLock);
    state.configBlock = *block;
  }
  const std::optional<int> centring = net::AdoptSide(state, side, clock_->NowSeconds());
  joined_ = true;
  // The scope is centred as it was after this log-on, even on the way to a
  // later moment.
  if (centring && events_.centring) events_.centring(*centring);
  if (!quiet && events_.joined) events_.joined(side);
}

void ReplayPlayer::KeepSnapshotIfDue() {
  // A record split across datagrams cannot be put back: no snapshot there.
  if (intake_.HoldsPartialRecord() || blockIndex_ == 0) return;
  const std::uint32_t moment = reader_.Blocks()[blockIndex_ - 1].header.lastArrivalMs;
  const auto after = std::upper_bound(snapshots_.begin(), snapshots_.end(), blockIndex_,
                                      [](std::size_t index, const ReplaySnapshot& s) { return index < s.nextBlock; });
  const ReplaySnapshot& previous = *std::prev(after);
  if (previous.nextBlock == blockIndex_ || moment - previous.positionMs < kSnapshotSpacingMs) return;
  if (after != snapshots_.end() && after->positionMs - moment < kSnapshotSpacingMs) return;
  snapshots_.insert(after, ReplaySnapshot{blockIndex_, moment, joined_, document_.SaveContactTable()});
}

void ReplayPlayer::AdoptSnapshots(std::vector<ReplaySnapshot> snapshots) {
  for (ReplaySnapshot& snapshot : snapshots) {
    const auto at = std::lower_bound(snapshots_.begin(), snapshots_.end(), snapshot.nextBlock,
                                     [](const ReplaySnapshot& s, std::size_t index) { return s.nextBlock < index; });
    if (at != snapshots_.end() && at->nextBlock == snapshot.nextBlock) continue;
    snapshots_.insert(at, std::move(snapshot));
  }
}

std::vector<ReplaySnapshot> BuildReplaySnapshots(const RecordReader& reader, const std::atomic<bool>* cancel) {
  model::ClientState state;
  auto clock = std::make_shared<ReplayClock>();
  model::CRivakDoc document(state, SecondsFrom(clock));
  ReplayPlayer player(reader, document, clock, Language::English);
  // A snapshot's spacing at a time, so that a cancel is seen soon.
  for (std::uint64_t moment = 0; moment < std::uint64_t{reader.DurationMs()} + kSnapshotSpacingMs;
       moment += kSnapshotSpacingMs) {
    if (cancel != nullptr && cancel->load()) break;
    player.PlayTo(static_cast<std::uint32_t>(std::min<std::uint64_t>(moment, reader.DurationMs())));
  }
  return player.Snapshots();
}

}  // namespace vantor::record
