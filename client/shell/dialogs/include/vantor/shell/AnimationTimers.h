#pragma once
// Numbered periodic timers of an animation, behind a small interface so
// tests can step the animation tick by tick instead of waiting for it.

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <set>

namespace vantor::shell {

class AnimationTimers {
 public:
  using Tick = std::function<void(int id)>;
  virtual ~AnimationTimers() = default;
  // Called with the timer's number at every expiry.
  virtual void SetHandler(Tick tick) = 0;
  // Starts (or restarts) timer `id` with its period.
  virtual void Start(int id, std::chrono::milliseconds period) = 0;
  virtual void Stop(int id) = 0;
  virtual bool IsRunning(int id) const = 0;
};

// Real timers on the event loop.
class QtAnimationTimers final : public AnimationTimers {
 public:
  void SetHandler(Tick tick) override { tick_ = std::move(tick); }
  void Start(int id, std::chrono::milliseconds period) override;
  void Stop(int id) override;
  bool IsRunning(int id) const override;

 private:
  Tick tick_;
  std::map<int, std::unique_ptr<QTimer>> timers_;
};

// Timers that expire only when told to.
class SteppedAnimationTimers final : public AnimationTimers {
 public:
  void SetHandler(Tick tick) override { tick_ = std::move(tick); }
  void Start(int id, std::chrono::milliseconds period) override;
  void Stop(int id) override { running_.erase(id); }
  bool IsRunning(int id) const override { return running_.count(id) != 0; }
  std::chrono::milliseconds Period(int id) const;
  // One expiry of timer `id`; false (and nothing happens) when it is stopped.
  bool Fire(int id);

 private:
  Tick tick_;
  std::set<int> running_;
  std::map<int, std::chrono::milliseconds> periods_;
};

}  // namespace vantor::shell
