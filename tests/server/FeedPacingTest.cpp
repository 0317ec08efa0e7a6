// When a feed is read, and how much: the default step exactly as the server
// has always paced its feed, and the raised intake's budget per step.
#include <gtest/gtest.h>

#include "vantor/server/FeedPacing.h"

using namespace std::chrono_literals;
using vantor::server::FeedPacing;

namespace {

const FeedPacing::TimePoint kT0{};

TEST(FeedPacing, DefaultIntakeWaitsAStepBeforeEveryReadOfTenThousandBytes) {
  FeedPacing pacing;
  EXPECT_FALSE(pacing.Budgeted());
  EXPECT_EQ(pacing.Step(), 100ms);
  EXPECT_FALSE(pacing.Due());
  // The feed becomes readable: the read follows 100 ms later, whatever
  // arrives meanwhile.
  EXPECT_EQ(pacing.OnReadable(kT0), kT0 + 100ms);
  EXPECT_EQ(pacing.OnReadable(kT0 + 1ms), kT0 + 100ms);
  EXPECT_EQ(pacing.OnReadable(kT0 + 99ms), kT0 + 100ms);
  EXPECT_EQ(pacing.Allowance(kT0 + 100ms), 10000u);
  // Bytes left: the next read waits a whole step again.
  EXPECT_EQ(pacing.OnRead(kT0 + 100ms, 10000, true), kT0 + 200ms);
  EXPECT_EQ(pacing.OnReadable(kT0 + 150ms), kT0 + 200ms);
  EXPECT_EQ(pacing.Allowance(kT0 + 200ms), 10000u);
  // A late timer moves the next step with it.
  EXPECT_EQ(pacing.OnRead(kT0 + 230ms, 10000, true), kT0 + 330ms);
  // Nothing left: no read until the feed is readable again, then a step.
  EXPECT_FALSE(pacing.OnRead(kT0 + 330ms, 4000, false));
  EXPECT_FALSE(pacing.Due());
  EXPECT_EQ(pacing.OnReadable(kT0 + 335ms), kT0 + 435ms);
  // A short read changes nothing of the rule.
  EXPECT_EQ(pacing.OnRead(kT0 + 435ms, 12, true), kT0 + 535ms);
  EXPECT_EQ(pacing.Allowance(kT0 + 535ms), 10000u);
}

TEST(FeedPacing, RaisedIntakeReadsOnceTheFeedIsQuietWithinABudgetPerStep) {
  FeedPacing pacing(1000000);
  EXPECT_TRUE(pacing.Budgeted());
  // A batch arrives in pieces: the read waits until none has come for 5 ms.
  EXPECT_EQ(pacing.OnReadable(kT0), kT0 + 5ms);
  EXPECT_EQ(pacing.OnReadable(kT0 + 2ms), kT0 + 7ms);
  EXPECT_EQ(pacing.OnReadable(kT0 + 4ms), kT0 + 9ms);
  EXPECT_EQ(pacing.Allowance(kT0 + 9ms), 1000000u);
  // 750 kB, the whole batch, in one read.
  EXPECT_FALSE(pacing.OnRead(kT0 + 9ms, 750000, false));
  // The rest of the step's budget is there for more.
  EXPECT_EQ(pacing.OnReadable(kT0 + 20ms), kT0 + 25ms);
  EXPECT_EQ(pacing.Allowance(kT0 + 25ms), 250000u);
  // Budget spent with bytes left: the next read waits for the next step.
  EXPECT_EQ(pacing.OnRead(kT0 + 25ms, 250000, true), kT0 + 109ms);
  EXPECT_EQ(pacing.OnReadable(kT0 + 30ms), kT0 + 109ms);
  EXPECT_EQ(pacing.Allowance(kT0 + 109ms), 1000000u);
  // Bytes left within the budget: read on after a quiet moment.
  EXPECT_EQ(pacing.OnRead(kT0 + 109ms, 400000, true), kT0 + 114ms);
  EXPECT_EQ(pacing.Allowance(kT0 + 114ms), 600000u);
}

TEST(FeedPacing, RaisedIntakeStillReadsAFeedThatNeverPausesOnceAStep) {
  FeedPacing pacing(2000000);
  auto due = pacing.OnReadable(kT0);
  for (auto t = 1ms; t < 300ms; t += 1ms) due = pacing.OnReadable(kT0 + t);
  EXPECT_EQ(due, kT0 + 100ms);
  EXPECT_EQ(pacing.OnRead(kT0 + 100ms, 300000, true), kT0 + 105ms);
  // An injected step paces in its own time, and the quiet moment never
  // outlasts it.
  FeedPacing shortStep(50000, 2ms);
  EXPECT_EQ(shortStep.OnReadable(kT0), kT0 + 2ms);
}

}  // namespace
