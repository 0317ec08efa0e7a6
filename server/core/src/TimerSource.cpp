#include "vantor/server/TimerSource.h"

#include <QTimer>

#include <algorithm>

namespace vantor::server {
namespace {

class QtOneShot final : public OneShotTimer {
 public:
  QtOneShot(std::chrono::milliseconds delay, std::function<void()> fire) : timer_(new QTimer) {
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(delay);
    QObject::connect(timer_, &QTimer::timeout, timer_, std::move(fire));
    timer_->start();
  }
  // The handle may go while its own timeout is being delivered: the timer is
  // detached at once and deleted by the event loop.
  ~QtOneShot() override {
    timer_->stop();
    timer_->disconnect();
    timer_->deleteLater();
  }

 private:
  QTimer* timer_;
};

}  // namespace

std::unique_ptr<OneShotTimer> QtTimerSource::Start(std::chrono::milliseconds delay, std::function<void()> fire) {
  return std::make_unique<QtOneShot>(delay, std::move(fire));
}

class ManualTimerSource::Handle final : public OneShotTimer {
 public:
  explicit Handle(std::weak_ptr<Entry> entry) : entry_(std::move(entry)) {}
  ~Handle() override {
    if (const auto entry = entry_.lock()) entry->cancelled = true;
  }

 private:
  std::weak_ptr<Entry> entry_;
};

std::unique_ptr<OneShotTimer> ManualTimerSource::Start(std::chrono::milliseconds delay, std::function<void()> fire) {
  auto entry = std::make_shared<Entry>();
  entry->due = now_ + std::max(delay, std::chrono::milliseconds(0));
  entry->order = nextOrder_++;
  entry->fire = std::move(fire);
  pending_.push_back(entry);
  return std::make_unique<Handle>(entry);
}

void ManualTimerSource::Advance(std::chrono::milliseconds step) {
  const std::chrono::milliseconds target = now_ + step;
  for (;;) {
    std::erase_if(pending_, [](const auto& entry) { return entry->cancelled; });
    const auto next = std::min_element(pending_.begin(), pending_.end(), [](const auto& a, const auto& b) {
      return a->due != b->due ? a->due < b->due : a->order < b->order;
    });
    if (next == pending_.end() || (*next)->due > target) break;
    // Out of the list before it runs: the callback may start or cancel timers.
    const std::shared_ptr<Entry> entry = *next;
    pending_.erase(next);
    now_ = entry->due;
    entry->fire();
  }
  now_ = target;
}

std::size_t ManualTimerSource::PendingCount() const {
  return static_cast<std::size_t>(
      std::count_if(pending_.begin(), pending_.end(), [](const auto& entry) { return !entry->cancelled; }));
}

}  // namespace vantor::server
