#pragma once
// When the server reads a feed connection, and how much it may take.
//
// At the default intake (10,000 bytes) every read waits 100 ms after the
// feed became readable, or after the previous read when bytes were left,
// and takes what the intake has room for: a feed is read in steps of at
// most 10,000 bytes, at most one step every 100 ms.
//
// A raised intake is a budget of that many bytes per 100 ms step, spent as
// the feed arrives: a read follows as soon as the feed has been quiet for a
// moment (the simulator writes a batch at once, so the batch is then
// complete), and only when a step's budget is spent does the next read wait
// for the next step. A large batch is read whole, in one step, and its
// broadcast does not wait for the pacing. Plain C++.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <optional>

namespace vantor::server {

inline constexpr std::size_t kDefaultFeedIntakeBytes = 10000;

class FeedPacing {
 public:
  using Clock = std::chrono::steady_clock;
  using TimePoint = Clock::time_point;

  static constexpr std::chrono::milliseconds kDefaultStep{100};
  // A raised intake reads once no byte has come for this long.
  static constexpr std::chrono::milliseconds kQuiet{5};

  explicit FeedPacing(std::size_t intakeBytes = kDefaultFeedIntakeBytes, std::chrono::milliseconds step = kDefaultStep)
      : intakeBytes_(intakeBytes), step_(step), quiet_(std::min(kQuiet, step)) {}

  std::size_t IntakeBytes() const { return intakeBytes_; }
  std::chrono::milliseconds Step() const { return step_; }
  // A raised intake: reads as the feed arrives, within a budget per step.
  bool Budgeted() const { return intakeBytes_ > kDefaultFeedIntakeBytes; }

  // The feed has new bytes at `now`: when the next read is due.
  TimePoint OnReadable(TimePoint now);
  // How many bytes the read at `now` may take (the intake's room for the
  // carried text limits it further).
  std::size_t Allowance(TimePoint now) const;
  // A read at `now` took `bytes`; `bytesLeft` says whether the feed still
  // holds some. When the next read is due, or nullopt until the feed is
  // readable again.
  std::optional<TimePoint> OnRead(TimePoint now, std::size_t bytes, bool bytesLeft);
  std::optional<TimePoint> Due() const { return due_; }

 private:
  bool StepOver(TimePoint now) const { return !stepStarted_ || now >= stepStart_ + step_; }

  std::size_t intakeBytes_;
  std::chrono::milliseconds step_;
  std::chrono::milliseconds quiet_;
  std::optional<TimePoint> due_;
  // Budgeted only:
  TimePoint firstReadable_{};    // when the feed became readable after the last read
  bool waitingForStep_ = false;  // the step's budget is spent
  bool stepStarted_ = false;
  TimePoint stepStart_{};
  std::size_t stepBytes_ = 0;
};

}  // namespace vantor::server
