// The exchange itself against a real stand-in: time-outs with their real
// waits and the bounds of the shared area, the same on every platform. What
// a crashed stand-in leaves behind differs: see CommandChannelPosixTest.cpp
// and CommandChannelWin32Test.cpp.
#include "VoiceFixture.h"

#include <array>
#include <thread>

namespace vantor::voice::test {
namespace {

using ::testing::ElementsAre;

constexpr const char* kNoReply = "ERROR -1105 WHILE CONNECTIONG TO PARLIX";
constexpr const char* kMutexTimeout = "ERROR -1106 WHILE CONNECTIONG TO PARLIX";

using CommandChannel = VoiceTest;

// The one real-time check of the 500 ms reply wait.
TEST_F(CommandChannel, UnansweredCommandFailsAfterHalfASecondAndReleasesTheMutex) {
  StartSim();
  ASSERT_EQ(lib_.disconnect(), 0);
  sim_.SetControl("drop\n");
  long long elapsed = MillisecondsOf([&] { EXPECT_EQ(lib_.disconnect(), -1105); });
  EXPECT_GE(elapsed, 490);
  EXPECT_LT(elapsed, 1500);
  EXPECT_EQ(lib_.LastError(), kNoReply);

  sim_.SetControl("");
  elapsed = MillisecondsOf([&] { EXPECT_EQ(lib_.disconnect(), 0); });
  EXPECT_LT(elapsed, 1500) << "the mutex must have been given back at once, not after 3 s";
}

// A reply that comes after the time-out is never read: the next exchange
// resets the done event and gets its own answer.
TEST_F(CommandChannel, LateReplyIsDiscardedByTheNextExchange) {
  StartSim();
  sim_.SetControl("delay 700\n" + AnswerDirective("DISCONNECT", "OK LATE"));
  ASSERT_EQ(lib_.disconnect(), -1105);
  // Let the late reply and its signal land before the next command.
  std::this_thread::sleep_for(std::chrono::milliseconds(800));
  sim_.SetControl("");
  std::array<PxrChannelInfo, 16> channels{};
  int32_t count = 16;
  ASSERT_EQ(lib_.getChannels(channels.data(), &count), 0);
  EXPECT_EQ(count, 10);
  EXPECT_EQ(Field(channels[0].name, 30), "Lobby");
}

// The one real-time check of the 3 s mutex wait; the area stays untouched.
TEST_F(CommandChannel, MutexHeldLongerThanThreeSecondsGivesMinus1106) {
  StartSim();
  sim_.SetControl("hold\n");
  ASSERT_TRUE(sim_.WaitForOutput("holding the operation mutex"));
  const std::optional<std::string> before = SharedArea(prefix_);
  ASSERT_TRUE(before.has_value());
  std::array<PxrChannelInfo, 4> channels{};
  int32_t count = 4;
  const long long elapsed = MillisecondsOf([&] { EXPECT_EQ(lib_.getChannels(channels.data(), &count), -1106); });
  EXPECT_GE(elapsed, 2990);
  EXPECT_LT(elapsed, 4400);
  EXPECT_EQ(lib_.LastError(), kMutexTimeout);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(SharedArea(prefix_), before) << "nothing may be written without the mutex";
  EXPECT_TRUE(sim_.Commands().empty());

  sim_.SetControl("");
  ASSERT_TRUE(sim_.WaitForOutput("released the operation mutex"));
  EXPECT_EQ(lib_.getChannels(channels.data(), &count), 0);
  EXPECT_EQ(count, 4);
}

TEST_F(CommandChannel, EveryExchangeFindsTheStandInAfresh) {
  EXPECT_EQ(lib_.disconnect(), -1000);
  StartSim();
  EXPECT_EQ(lib_.disconnect(), 0);
  EXPECT_EQ(sim_.Stop(), 0);
  EXPECT_EQ(lib_.disconnect(), -1000);
  EXPECT_EQ(lib_.LastError(), "ERROR -1000 PARLIX CLIENT NOT FOUND");
}

// Parlix chose a 4096-byte area: the longest command that fits with its NUL
// is sent, one byte more is refused before anything is written.
TEST_F(CommandChannel, CommandThatDoesNotFitTheAreaIsRefused) {
  StartSim({"--size", "4096"});
  const std::string prefix = "SEND_TEXT_MESSAGE ";
  const std::string fits(4095 - prefix.size(), 'a');
  EXPECT_EQ(lib_.sendTextMessage(fits.c_str()), 0);
  const std::string tooLong = fits + "b";
  EXPECT_EQ(lib_.sendTextMessage(tooLong.c_str()), -1107);
  EXPECT_EQ(lib_.LastError(), "ERROR -1107 COMMAND TOO LONG FOR PARLIX");
  EXPECT_EQ(lib_.sendTextMessage(std::string(100000, 'c').c_str()), -1107);
  EXPECT_EQ(lib_.disconnect(), 0);
  EXPECT_THAT(sim_.CommandsWithoutVersion(), ElementsAre(prefix + fits, "DISCONNECT"));
}

// A reply without NUL inside the area is cut at the area's end.
TEST_F(CommandChannel, ReplyWithoutNulIsCutAtTheEndOfTheArea) {
  StartSim({"--size", "4096"});
  sim_.SetControl("fill x\n" + AnswerDirective("DISCONNECT", "ERROR -7 "));
  EXPECT_EQ(lib_.disconnect(), -7);
  const std::string text = lib_.LastError();
  EXPECT_EQ(text.size(), 4096u);
  EXPECT_EQ(text.substr(0, 10), "ERROR -7 x");
  EXPECT_EQ(text.back(), 'x');
}

TEST_F(CommandChannel, EmptyReplyIsAnInvalidErrorReply) {
  StartSim();
  sim_.SetControl(AnswerDirective("DISCONNECT", ""));
  EXPECT_EQ(lib_.disconnect(), -1003);
  EXPECT_EQ(lib_.LastError(), "ERROR -1003 INVALID ERROR RETURNED ()");
}

TEST_F(CommandChannel, CommandIsWrittenWholeOverTheLastReply) {
  StartSim();
  std::array<PxrChannelInfo, 16> channels{};
  int32_t count = 16;
  ASSERT_EQ(lib_.getChannels(channels.data(), &count), 0);  // leaves a long reply in the area
  sim_.SetControl("drop\n");
  ASSERT_EQ(lib_.disconnect(), -1105);
  const std::optional<std::string> area = SharedArea(prefix_);
  ASSERT_TRUE(area.has_value());
  EXPECT_EQ(area->substr(0, 11), std::string("DISCONNECT\0", 11));
}

TEST_F(CommandChannel, ExchangesLeaveNothingOpen) {
  StartSim();
  const std::pair<int, int> before = OpenResources();
  for (int i = 0; i < 50; ++i) ASSERT_EQ(lib_.disconnect(), 0);
  EXPECT_EQ(OpenResources(), before);
}

}  // namespace
}  // namespace vantor::voice::test
