#include "vantor/shell/AnimationTimers.h"

namespace vantor::shell {

void QtAnimationTimers::Start(int id, std::chrono::milliseconds period) {
  std::unique_ptr<QTimer>& timer = timers_[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer.get(), &QTimer::timeout, [this, id] {
      if (tick_) tick_(id);
    });
  }
  timer->start(period);
}

void QtAnimationTimers::Stop(int id) {
  if (const auto found = timers_.find(id); found != timers_.end()) found->second->stop();
}

bool QtAnimationTimers::IsRunning(int id) const {
  const auto found = timers_.find(id);
  return found != timers_.end() && found->second->isActive();
}

void SteppedAnimationTimers::Start(int id, std::chrono::milliseconds period) {
  running_.insert(id);
  periods_[id] = period;
}

std::chrono::milliseconds SteppedAnimationTimers::Period(int id) const {
  const auto found = periods_.find(id);
  return found != periods_.end() ? found->second : std::chrono::milliseconds(0);
}

bool SteppedAnimationTimers::Fire(int id) {
  if (!IsRunning(id)) return false;
  if (tick_) tick_(id);
  return true;
}

}  // namespace vantor::shell
