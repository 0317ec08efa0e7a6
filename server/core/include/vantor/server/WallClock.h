#pragma once
// Wall-clock time in whole seconds, injectable so that the time rules
// (speed sampling, ageing, the mission clock) can be driven by tests.

#include <cstdint>

namespace vantor::server {

class WallClock {
 public:
  virtual ~WallClock() = default;
  virtual std::int64_t NowSeconds() const = 0;
};

class SystemWallClock final : public WallClock {
 public:
  std::int64_t NowSeconds() const override;
};

// A clock that only moves when told to.
class ManualWallClock final : public WallClock {
 public:
  explicit ManualWallClock(std::int64_t start = 1'700'000'000) : now_(start) {}
  std::int64_t NowSeconds() const override { return now_; }
  void Set(std::int64_t seconds) { now_ = seconds; }
  void Advance(std::int64_t seconds) { now_ += seconds; }

 private:
  std::int64_t now_;
};

}  // namespace vantor::server
