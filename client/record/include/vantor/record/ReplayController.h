#pragma once
// Runs a replay in time: play and pause, 1x/4x/16x, seeking; a timer of the
// event loop moves the player on by the real time that passed times the
// speed. The snapshots for fast seeking are made on a worker thread while
// the replay already plays.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <atomic>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <vector>

#include "vantor/record/ReplayPlayer.h"

namespace vantor::record {

inline constexpr int kReplayTickMs = 100;
inline constexpr std::array<int, 3> kReplaySpeeds = {1, 4, 16};

class ReplayController : public QObject {
  Q_OBJECT
 public:
  // `reader` and `player` must outlive the controller. Starts paused.
  ReplayController(const RecordReader& reader, ReplayPlayer& player, QObject* parent = nullptr);
  ~ReplayController() override;

  bool IsPlaying() const { return playing_; }
  int Speed() const { return speed_; }
  std::uint32_t PositionMs() const { return player_.PositionMs(); }
  std::uint32_t DurationMs() const { return player_.DurationMs(); }
  // The worker's snapshots have been taken over.
  bool SnapshotsReady() const { return !pendingSnapshots_.valid(); }
  // Waits for the worker's snapshots and takes them over.
  void WaitForSnapshots();

 public Q_SLOTS:
  void Play();
  void Pause();
  void TogglePlay();
  // One of kReplaySpeeds; others are ignored.
  void SetSpeed(int speed);
  void SeekTo(std::uint32_t positionMs);

 Q_SIGNALS:
  // After every move of the position, and when play, pause or speed change.
  void PositionChanged(std::uint32_t positionMs, std::uint32_t durationMs);
  void PlayingChanged(bool playing);
  void SpeedChanged(int speed);
  // Playing ran into a damaged block: the replay ends at `positionMs`.
  // Told once.
  void DamageFound(std::uint32_t positionMs);

 private:
  void Tick();
  void AdoptSnapshotsIfReady();
  void AfterMove();

  ReplayPlayer& player_;
  std::unique_ptr<RecordReader> workerReader_;
  std::atomic<bool> cancelWorker_{false};
  std::future<std::vector<ReplaySnapshot>> pendingSnapshots_;
  QTimer timer_;
  QElapsedTimer sinceTick_;
  double carryMs_ = 0.0;  // fractions of a millisecond between ticks
  bool playing_ = false;
  bool damageTold_ = false;
  int speed_ = 1;
};

// "H:MM:SS", "M:SS" or seconds, into milliseconds; nullopt when it is none
// of them.
std::optional<std::uint32_t> ParseReplayTime(const QString& text);
// "H:MM:SS".
QString FormatReplayTime(std::uint32_t ms);

}  // namespace vantor::record
