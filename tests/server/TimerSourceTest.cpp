// The manual timer source the join rule is tested on must behave as real
// timers do: due order, cancellation, timers started and dropped while firing.
#include <gtest/gtest.h>

#include <string>

#include "vantor/server/TimerSource.h"

using namespace std::chrono_literals;
using vantor::server::ManualTimerSource;
using vantor::server::OneShotTimer;

TEST(ManualTimerSource, FiresInDueOrderAndOnlyOnce) {
  ManualTimerSource timers;
  std::string fired;
  auto late = timers.Start(300ms, [&] { fired += 'c'; });
  auto early = timers.Start(100ms, [&] { fired += 'a'; });
  auto same = timers.Start(100ms, [&] { fired += 'b'; });  // same due time: start order
  timers.Advance(99ms);
  EXPECT_EQ(fired, "");
  timers.Advance(1ms);
  EXPECT_EQ(fired, "ab");
  EXPECT_EQ(timers.PendingCount(), 1u);
  timers.Advance(1000ms);
  EXPECT_EQ(fired, "abc");
  EXPECT_EQ(timers.Now(), 1100ms);
  timers.Advance(1000ms);
  EXPECT_EQ(fired, "abc");
}

TEST(ManualTimerSource, DroppingTheHandleCancelsEvenFromAnotherTimersCallback) {
  ManualTimerSource timers;
  std::string fired;
  std::unique_ptr<OneShotTimer> victim = timers.Start(200ms, [&] { fired += 'v'; });
  auto killer = timers.Start(100ms, [&] {
    fired += 'k';
    victim.reset();
  });
  std::unique_ptr<OneShotTimer> self;
  self = timers.Start(150ms, [&] {
    fired += 's';
    self.reset();  // a timer's owner may go inside its callback
  });
  timers.Advance(1s);
  EXPECT_EQ(fired, "ks");
  EXPECT_EQ(timers.PendingCount(), 0u);
}

TEST(ManualTimerSource, TimersStartedWhileFiringFallDueInTheSameAdvance) {
  ManualTimerSource timers;
  std::vector<std::chrono::milliseconds> at;
  std::unique_ptr<OneShotTimer> second;
  auto first = timers.Start(100ms, [&] {
    at.push_back(timers.Now());
    second = timers.Start(100ms, [&] { at.push_back(timers.Now()); });
  });
  timers.Advance(250ms);
  EXPECT_EQ(at, (std::vector<std::chrono::milliseconds>{100ms, 200ms}));
  EXPECT_EQ(timers.Now(), 250ms);
}
