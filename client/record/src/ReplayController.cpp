#include "vantor/record/ReplayController.h"

#include <QStringList>

#include <algorithm>
#include <chrono>
#include <limits>

namespace vantor::record {

ReplayController::ReplayController(const RecordReader& reader, ReplayPlayer& player, QObject* parent)
    : QObject(parent), player_(player), workerReader_(reader.Share()) {
  pendingSnapshots_ = std::async(std::launch::async, [this, shared = workerReader_.get()] {
    return BuildReplaySnapshots(*shared, &cancelWorker_);
  });
  timer_.setInterval(kReplayTickMs);
  connect(&timer_, &QTimer::timeout, this, &ReplayController::Tick);
}

ReplayController::~ReplayController() {
  // The worker reads its own reader: it must finish before that goes.
  cancelWorker_ = true;
  if (pendingSnapshots_.valid()) pendingSnapshots_.wait();
}

void ReplayController::WaitForSnapshots() {
  if (!pendingSnapshots_.valid()) return;
  pendingSnapshots_.wait();
  AdoptSnapshotsIfReady();
}

void ReplayController::AdoptSnapshotsIfReady() {
  if (!pendingSnapshots_.valid() || pendingSnapshots_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
    return;
  }
  player_.AdoptSnapshots(pendingSnapshots_.get());
}

void ReplayController::Play() {
  if (playing_) return;
  // Played to the end: play again from the start.
  if (player_.PositionMs() >= player_.DurationMs()) player_.SeekTo(0);
  playing_ = true;
  carryMs_ = 0.0;
  sinceTick_.start();
  timer_.start();
  Q_EMIT PlayingChanged(true);
  Q_EMIT PositionChanged(player_.PositionMs(), player_.DurationMs());
}

void ReplayController::Pause() {
  if (!playing_) return;
  playing_ = false;
  timer_.stop();
  Q_EMIT PlayingChanged(false);
}

void ReplayController::TogglePlay() {
  if (playing_)
    Pause();
  else
    Play();
}

void ReplayController::SetSpeed(int speed) {
  if (std::find(kReplaySpeeds.begin(), kReplaySpeeds.end(), speed) == kReplaySpeeds.end() || speed == speed_) return;
  Tick();  // the time so far at the old speed
  speed_ = speed;
  Q_EMIT SpeedChanged(speed);
}

void ReplayController::SeekTo(std::uint32_t positionMs) {
  AdoptSnapshotsIfReady();
  player_.SeekTo(positionMs);
  carryMs_ = 0.0;
  if (sinceTick_.isValid()) sinceTick_.restart();
  AfterMove();
}

void ReplayController::AfterMove() {
  Q_EMIT PositionChanged(player_.PositionMs(), player_.DurationMs());
  if (!player_.HitDamage()) return;
  Pause();
  if (damageTold_) return;
  damageTold_ = true;
  Q_EMIT DamageFound(player_.PositionMs());
}

void ReplayController::Tick() {
  AdoptSnapshotsIfReady();
  if (!playing_) return;
  carryMs_ += static_cast<double>(sinceTick_.restart()) * speed_;
  const auto step = static_cast<std::uint32_t>(carryMs_);
  carryMs_ -= step;
  const std::uint64_t target =
      std::min<std::uint64_t>(std::uint64_t{player_.PositionMs()} + step, player_.DurationMs());
  player_.PlayTo(static_cast<std::uint32_t>(target));
  AfterMove();
  if (player_.PositionMs() >= player_.DurationMs()) Pause();
}

std::optional<std::uint32_t> ParseReplayTime(const QString& text) {
  const QStringList parts = text.trimmed().split(u':');
  if (parts.isEmpty() || parts.size() > 3) return std::nullopt;
  std::uint64_t seconds = 0;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    bool ok = false;
    const uint value = parts[i].toUInt(&ok);
    // Minutes and seconds after the first field stay below 60.
    if (!ok || parts[i].isEmpty() || (i > 0 && value >= 60)) return std::nullopt;
    seconds = seconds * 60 + value;
  }
  if (seconds * 1000 > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::uint32_t>(seconds * 1000);
}

QString FormatReplayTime(std::uint32_t ms) {
  const std::uint32_t seconds = ms / 1000;
  return QStringLiteral("%1:%2:%3")
      .arg(seconds / 3600)
      .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
      .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace vantor::record
