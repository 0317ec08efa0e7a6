#include "vantor/server/FeedPacing.h"

#include <algorithm>

namespace vantor::server {

FeedPacing::TimePoint FeedPacing::OnReadable(TimePoint now) {
  if (!Budgeted()) {
    // The step begins when the feed becomes readable; more bytes meanwhile
    // do not move it.
    if (!due_) due_ = now + step_;
    return *due_;
  }
  if (due_ && waitingForStep_) return *due_;
  if (!due_) firstReadable_ = now;
  if (!StepOver(now) && stepBytes_ >= intakeBytes_) {
    due_ = stepStart_ + step_;
    waitingForStep_ = true;
    return *due_;
  }
  // Waits for a quiet moment, but a feed that never pauses is still read
  // once a step.
  due_ = std::min(now + quiet_, firstReadable_ + step_);
  return *due_;
}

std::size_t FeedPacing::Allowance(TimePoint now) const {
  if (!Budgeted() || StepOver(now)) return intakeBytes_;
  return intakeBytes_ - std::min(stepBytes_, intakeBytes_);
}

std::optional<FeedPacing::TimePoint> FeedPacing::OnRead(TimePoint now, std::size_t bytes, bool bytesLeft) {
  due_.reset();
  if (!Budgeted()) {
    if (bytesLeft) due_ = now + step_;
    return due_;
  }
  if (StepOver(now)) {
    stepStarted_ = true;
    stepStart_ = now;
    stepBytes_ = 0;
  }
  stepBytes_ += bytes;
  waitingForStep_ = false;
  if (!bytesLeft) return std::nullopt;
  if (stepBytes_ >= intakeBytes_) {
    waitingForStep_ = true;
    due_ = stepStart_ + step_;
  } else {
    firstReadable_ = now;
    due_ = now + quiet_;
  }
  return due_;
}

}  // namespace vantor::server
