#pragma once
// One-shot timers behind a seam: the join rule is tested on a manual clock,
// while the program runs on Qt's timers. A timer is cancelled by destroying
// its handle, so an owner that goes away takes its timers with it.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vantor::server {

// A started timer; destroying it before it fires cancels it.
class OneShotTimer {
 public:
  virtual ~OneShotTimer() = default;
};

class TimerSource {
 public:
  virtual ~TimerSource() = default;
  // Runs `fire` once, `delay` from now, on the caller's thread.
  virtual std::unique_ptr<OneShotTimer> Start(std::chrono::milliseconds delay, std::function<void()> fire) = 0;
};

// Precise Qt timers on the caller's event loop: a coarse timer may fire up
// to 5 % early, and a client must get its full join time.
class QtTimerSource final : public TimerSource {
 public:
  std::unique_ptr<OneShotTimer> Start(std::chrono::milliseconds delay, std::function<void()> fire) override;
};

// Time that only moves when told to.
class ManualTimerSource final : public TimerSource {
 public:
  std::unique_ptr<OneShotTimer> Start(std::chrono::milliseconds delay, std::function<void()> fire) override;
  // Moves time on by `step`, firing every timer that falls due on the way, in
  // the order they fall due (timers started by a firing one included).
  void Advance(std::chrono::milliseconds step);
  std::chrono::milliseconds Now() const { return now_; }
  // Timers started and neither fired nor cancelled.
  std::size_t PendingCount() const;

 private:
  struct Entry {
    std::chrono::milliseconds due{0};
    std::uint64_t order = 0;
    std::function<void()> fire;
    bool cancelled = false;
  };
  class Handle;

  std::chrono::milliseconds now_{0};
  std::uint64_t nextOrder_ = 0;
  std::vector<std::shared_ptr<Entry>> pending_;
};

}  // namespace vantor::server
