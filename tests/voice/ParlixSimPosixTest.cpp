// What is particular to the stand-in on POSIX systems: its named objects
// outlive a killed stand-in, so the next one replaces them, and the lock
// that tells a live stand-in from leftovers goes with it.
#include "VoiceFixture.h"

#include <vantor/voice/ParlixObjectNames.h>

#include <fcntl.h>
#include <semaphore.h>
#include <sys/mman.h>
#include <unistd.h>

namespace vantor::voice::test {
namespace {

using ParlixSimPosix = VoiceTest;

TEST_F(ParlixSimPosix, LeftoverObjectsAreReplacedAtStart) {
  const ParlixObjectNames names = ParlixObjectNames::ForPrefix(prefix_);
  // Leftovers of a dead stand-in: a taken mutex and a tiny area.
  sem_t* mutex = sem_open(names.operationMutex.c_str(), O_CREAT, 0600, 0);
  ASSERT_NE(mutex, SEM_FAILED);
  sem_close(mutex);
  const int memory = shm_open(names.sharedMemory.c_str(), O_CREAT | O_RDWR, 0600);
  ASSERT_GE(memory, 0);
  ASSERT_EQ(ftruncate(memory, 8), 0);
  close(memory);

  StartSim();
  EXPECT_EQ(lib_.disconnect(), 0);
  EXPECT_EQ(SharedArea(prefix_)->size(), 16384u);
}

TEST_F(ParlixSimPosix, OwnershipLockGoesWithTheObjects) {
  StartSim();
  const std::string lock = ParlixObjectNames::ForPrefix(prefix_).sharedMemory + "_Owner";
  const int held = shm_open(lock.c_str(), O_RDONLY, 0);
  EXPECT_GE(held, 0) << "a running stand-in holds its ownership lock";
  if (held >= 0) close(held);
  EXPECT_EQ(sim_.Stop(), 0);
  const int leftover = shm_open(lock.c_str(), O_RDONLY, 0);
  EXPECT_LT(leftover, 0) << "the ownership lock is removed with the objects";
  if (leftover >= 0) close(leftover);
}

}  // namespace
}  // namespace vantor::voice::test
