// What a crashed stand-in leaves behind on POSIX systems: named semaphores
// and shared memory outlive their creator, so a dead stand-in's objects
// stay until the next one replaces them; and partial sets of objects made
// by hand.
#include "VoiceFixture.h"

#include <vantor/voice/ParlixObjectNames.h>

#include <fcntl.h>
#include <semaphore.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace vantor::voice::test {
namespace {

using CrashedStandIn = VoiceTest;

// A stand-in killed while idle leaves its objects: calls fail with -1105
// (nobody answers) instead of hanging, and a new stand-in takes over.
TEST_F(CrashedStandIn, StaleObjectsOfACrashedStandInAreSurvivedAndReplaced) {
  StartSim();
  ASSERT_EQ(lib_.disconnect(), 0);
  sim_.Kill();
  ASSERT_TRUE(ObjectsPresent(prefix_).mutex);
  EXPECT_EQ(lib_.disconnect(), -1105);
  EXPECT_EQ(lib_.disconnect(), -1105) << "the mutex was given back after the first time-out";

  ParlixSim restarted(prefix_);
  ASSERT_TRUE(restarted.Start()) << restarted.Output();
  EXPECT_EQ(lib_.disconnect(), 0);
  EXPECT_EQ(restarted.Stop(), 0);
  EXPECT_FALSE(ObjectsPresent(prefix_).Any());
}

// A stand-in killed while holding the mutex abandons it: -1106 after the
// full wait, and a restarted stand-in brings a fresh mutex.
TEST_F(CrashedStandIn, MutexAbandonedByACrashedStandInGivesMinus1106) {
  StartSim({"--hold-mutex", "60000"});
  sim_.Kill();
  EXPECT_EQ(lib_.disconnect(), -1106);

  ParlixSim restarted(prefix_);
  ASSERT_TRUE(restarted.Start()) << restarted.Output();
  const long long elapsed = MillisecondsOf([&] { EXPECT_EQ(lib_.disconnect(), 0); });
  EXPECT_LT(elapsed, 1500) << "the fresh mutex is free, not the abandoned one";
}

// Partial sets of objects, made by hand: each missing or unusable object
// gives its own error, and nothing stays open afterwards.
class BrokenParlix : public VoiceTest {
 protected:
  void SetUp() override {
    VoiceTest::SetUp();
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

}  // namespace
}  // namespace vantor::voice::test
