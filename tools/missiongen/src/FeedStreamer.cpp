#include "vantor/missiongen/FeedStreamer.h"

#include "vantor/missiongen/BatchStamp.h"

#include <cmath>
#include <iostream>

namespace vantor::missiongen {

namespace {
constexpr int kUnpacedBatchesPerTick = 20;
}

FeedStreamer::FeedStreamer(BatchSource& source, FeedOutput& output, const StreamOptions& options, QObject* parent)
    : QObject(parent), source_(source), output_(output), options_(options) {
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, &FeedStreamer::Tick);
  connect(&output_, &FeedOutput::Opened, this, &FeedStreamer::OnOpened);
  connect(&statusTimer_, &QTimer::timeout, this, &FeedStreamer::ReportStatus);
  connect(&output_, &FeedOutput::Failed, this, [this](const QString& why) {
    std::cerr << "vantor-missiongen: " << why.toStdString() << std::endl;
    Finish(0);
  });
}

void FeedStreamer::Start() {
  clock_.start();
  timer_.start(options_.paced ? std::max(1, static_cast<int>(std::lround(500.0 / options_.rate))) : 0);
  if (options_.statusSeconds > 0) statusTimer_.start(options_.statusSeconds * 1000);
  output_.Open();
}

void FeedStreamer::ReportStatus() {
  std::cerr << "vantor-missiongen: " << source_.Status() << ", " << written_ << " batches sent"
            << (output_.Connected() ? "" : ", not connected") << std::endl;
}

void FeedStreamer::Stop() { Finish(0); }

void FeedStreamer::OnOpened() {
  std::string opening = source_.ClockRecord();
  // A stamp right after the clock record makes the stamp the first object
  // of the server's table, so it leads every broadcast that carries it.
  if (options_.stamp) AppendStampRecord(opening, {.batch = written_, .sentMicros = WallClockMicros()});
  Emit(opening);
  if (source_.HoldWhileDisconnected()) {
    clock_.restart();
    paceBase_ = produced_;
  }
}

void FeedStreamer::Emit(const std::string& text) {
  output_.Write(text);
  if (record_ != nullptr && !recordFailed_) {
    record_->write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!*record_) {
      std::cerr << "vantor-missiongen: cannot write the record file; recording stops" << std::endl;
      recordFailed_ = true;
    }
  }
}

bool FeedStreamer::Produce(bool send) {
  auto batch = source_.NextBatch();
  if (!batch) return false;
  ++produced_;
  if (send) {
    if (options_.stamp) AppendStampRecord(*batch, {.batch = written_ + 1, .sentMicros = WallClockMicros()});
    Emit(*batch);
    ++written_;
  } else if (output_.Connected()) {
    ++skipped_;  // the server is not keeping up
  }
  return true;
}

void FeedStreamer::Tick() {
  if (finishing_) return;
  const bool connected = output_.Connected();
  if (source_.HoldWhileDisconnected() && !connected) return;
  if (!options_.paced) {
    for (int i = 0; i < kUnpacedBatchesPerTick && output_.Ready(); ++i)
      if (!Produce(true)) return Finish(0);
    return;
  }
  // Batches fall due on a fixed grid from the start, so a late timer does
  // not slow the mission down.
  const auto due = paceBase_ + static_cast<std::uint64_t>(std::floor(clock_.elapsed() * options_.rate / 1000.0)) + 1;
  while (produced_ < due) {
    // Only the newest of several overdue batches is worth sending.
    const bool newest = produced_ + 1 == due;
    if (!Produce(newest && output_.Ready())) return Finish(0);
  }
}

void FeedStreamer::Finish(int exitCode) {
  if (finishing_) return;
  finishing_ = true;
  timer_.stop();
  statusTimer_.stop();
  if (record_ != nullptr) record_->flush();
  output_.Close([this, exitCode] { Q_EMIT Finished(exitCode); });
}

}  // namespace vantor::missiongen
