// The exchange itself against a real stand-in: time-outs with their real
// waits, a stand-in that crashed, and the bounds of the shared area.
#include "VoiceFixture.h"

#include <vantor/voice/ParlixObjectNames.h>

#include <fcntl.h>
#include <semaphore.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <filesystem>
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

// A stand-in killed while idle leaves its objects: calls fail with -1105
// (nobody answers) instead of hanging, and a new stand-in takes over.
TEST_F(CommandChannel, StaleObjectsOfACrashedStandInAreSurvivedAndReplaced) {
  StartSim();
  ASSERT_EQ(lib_.disconnect(), 0);
  sim_.Kill();
  ASSERT_TRUE(ObjectsPresent(prefix_).mutex);
  EXPECT_EQ(lib_.disconnect(), -1105);
  EXPECT_EQ(lib_.disconnect(), -1105) << "the mutex was given back after the first time-out";

  ParlixSim restarted(prefix_);
  ASSERT_TRUE(restarted.Start()) << restarted.Output().toStdString();
  EXPECT_EQ(lib_.disconnect(), 0);
  EXPECT_EQ(restarted.Stop(), 0);
  EXPECT_FALSE(ObjectsPresent(prefix_).Any());
}

// A stand-in killed while holding the mutex abandons it: -1106 after the
// full wait, and a restarted stand-in brings a fresh mutex.
TEST_F(CommandChannel, MutexAbandonedByACrashedStandInGivesMinus1106) {
  StartSim({"--hold-mutex", "60000"});
  sim_.Kill();
  EXPECT_EQ(lib_.disconnect(), -1106);

  ParlixSim restarted(prefix_);
  ASSERT_TRUE(restarted.Start()) << restarted.Output().toStdString();
  const long long elapsed = MillisecondsOf([&] { EXPECT_EQ(lib_.disconnect(), 0); });
  EXPECT_LT(elapsed, 1500) << "the fresh mutex is free, not the abandoned one";
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

// Partial sets of objects, made by hand: each missing or unusable object
// gives its own error, and nothing stays open afterwards.
class BrokenParlix : public CommandChannel {
 protected:
  void SetUp() override {
    CommandChannel::SetUp();
    names_ = ParlixObjectNames::ForPrefix(prefix_);
    sem_t* mutex = sem_open(names_.operationMutex.c_str(), O_CREAT | O_EXCL, 0600, 1);
    ASSERT_NE(mutex, SEM_FAILED);
    sem_close(mutex);
  }
  void TearDown() override {
    sem_unlink(names_.operationMutex.c_str());
    sem_unlink(names_.executeEvent.c_str());
    sem_unlink(names_.doneEvent.c_str());
    shm_unlink(names_.sharedMemory.c_str());
    for (const std::string& name : {names_.executeEvent, names_.doneEvent}) {
      std::filesystem::remove(SemaphorePath(name));
    }
  }
  // Where glibc keeps a named semaphore; a folder there cannot be opened as one.
  static std::filesystem::path SemaphorePath(const std::string& name) { return "/dev/shm/sem." + name.substr(1); }

  static std::pair<int, int> OpenResources() { return {SharedMemoryMappings(), OpenDescriptors()}; }

  ParlixObjectNames names_;
};

TEST_F(BrokenParlix, EachMissingObjectHasItsOwnError) {
  const std::pair<int, int> before = OpenResources();

  std::filesystem::create_directory(SemaphorePath(names_.executeEvent));
  EXPECT_EQ(lib_.disconnect(), -1101);
  EXPECT_EQ(lib_.LastError(), "ERROR -1101 WHILE CONNECTIONG TO PARLIX");
  std::filesystem::remove(SemaphorePath(names_.executeEvent));

  std::filesystem::create_directory(SemaphorePath(names_.doneEvent));
  EXPECT_EQ(lib_.disconnect(), -1102);
  EXPECT_EQ(lib_.LastError(), "ERROR -1102 WHILE CONNECTIONG TO PARLIX");
  std::filesystem::remove(SemaphorePath(names_.doneEvent));

  EXPECT_EQ(lib_.disconnect(), -1103) << "the library never creates the shared memory";
  EXPECT_EQ(lib_.LastError(), "ERROR -1103 WHILE CONNECTIONG TO PARLIX");
  EXPECT_TRUE(ObjectsPresent(prefix_).executeEvent && ObjectsPresent(prefix_).doneEvent)
      << "either side may create the events";
  EXPECT_FALSE(ObjectsPresent(prefix_).sharedMemory);

  const int memory = shm_open(names_.sharedMemory.c_str(), O_CREAT | O_RDWR, 0600);
  ASSERT_GE(memory, 0);
  close(memory);  // an area of size 0 cannot be mapped
  EXPECT_EQ(lib_.disconnect(), -1104);
  EXPECT_EQ(lib_.LastError(), "ERROR -1104 WHILE CONNECTIONG TO PARLIX");

  EXPECT_EQ(OpenResources(), before) << "every failed step closes what was opened before it";
}

TEST_F(CommandChannel, ExchangesLeaveNothingOpen) {
  StartSim();
  const int descriptors = OpenDescriptors();
  const int mappings = SharedMemoryMappings();
  for (int i = 0; i < 50; ++i) ASSERT_EQ(lib_.disconnect(), 0);
  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_EQ(SharedMemoryMappings(), mappings);
}

}  // namespace
}  // namespace vantor::voice::test
