// The objects as POSIX named semaphores and a POSIX shared-memory object.
#include "ParlixHost.h"

#include <fcntl.h>
#include <semaphore.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <utility>

namespace vantor::parlixsim {
namespace {

constexpr mode_t kMode = 0600;

#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 30))
#define PARLIXSIM_CLOCKWAIT 1
constexpr clockid_t kWaitClock = CLOCK_MONOTONIC;
#else
constexpr clockid_t kWaitClock = CLOCK_REALTIME;
#endif

bool WaitUntilDeadline(sem_t* semaphore, std::chrono::milliseconds timeout) {
  timespec deadline{};
  clock_gettime(kWaitClock, &deadline);
  const long long nanoseconds = deadline.tv_nsec + static_cast<long long>(timeout.count() % 1000) * 1000000LL;
  deadline.tv_sec += static_cast<time_t>(timeout.count() / 1000 + nanoseconds / 1000000000LL);
  deadline.tv_nsec = static_cast<long>(nanoseconds % 1000000000LL);
  // A signal ends the wait early (EINTR), so the caller notices a stop
  // request at once.
#ifdef PARLIXSIM_CLOCKWAIT
  return sem_clockwait(semaphore, kWaitClock, &deadline) == 0;
#else
  return sem_timedwait(semaphore, &deadline) == 0;
#endif
}

std::runtime_error Failure(const std::string& what, const std::string& name) {
  return std::runtime_error(what + " " + name + ": " + std::strerror(errno));
}

class PosixParlixHost final : public ParlixHost {
 public:
  PosixParlixHost(voice::ParlixObjectNames names, std::size_t areaSize)
      : names_(std::move(names)), lockName_(names_.sharedMemory + "_Owner") {
    // Objects under these names that a live stand-in serves are not
    // leftovers: removing them would cut its clients off, and its exit would
    // later remove ours.
    TakeOwnership();
    RemoveObjects();  // leftovers of a stand-in that was killed
    try {
      Create(areaSize);
    } catch (...) {
      Close();
      RemoveObjects();
      GiveUpOwnership();
      throw;
    }
  }

  ~PosixParlixHost() override {
    Close();
    RemoveObjects();
    GiveUpOwnership();
  }

  PosixParlixHost(const PosixParlixHost&) = delete;
  PosixParlixHost& operator=(const PosixParlixHost&) = delete;

  std::span<char> Area() override { return {area_, areaSize_}; }
  bool WaitExecute(std::chrono::milliseconds timeout) override { return WaitUntilDeadline(execute_, timeout); }
  void SignalDone() override { sem_post(done_); }
  bool AcquireOperationMutex(std::chrono::milliseconds timeout) override { return WaitUntilDeadline(mutex_, timeout); }
  void ReleaseOperationMutex() override { sem_post(mutex_); }
  bool ResizeArea(std::size_t size) override {
    if (ftruncate(memory_, static_cast<off_t>(size)) != 0) return false;
    if (area_ != nullptr) munmap(area_, areaSize_);
    area_ = nullptr;
    areaSize_ = 0;
    if (size == 0) return true;
    void* area = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, memory_, 0);
    if (area == MAP_FAILED) return false;
    area_ = static_cast<char*>(area);
    areaSize_ = size;
    return true;
  }

 private:
  // An exclusive lock on a small named object, held for the stand-in's
  // lifetime; the kernel drops it when the process dies, however it dies.
  void TakeOwnership() {
    for (;;) {
      owner_ = shm_open(lockName_.c_str(), O_RDWR | O_CREAT, kMode);
      if (owner_ < 0) throw Failure("cannot create lock", lockName_);
      if (flock(owner_, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        close(owner_);
        owner_ = -1;
        if (taken) throw std::runtime_error("another stand-in already serves " + names_.operationMutex);
        throw Failure("cannot lock", lockName_);
      }
      // The lock of a stand-in that was just ending may have been taken on a
      // name it had already removed: then try again on the current one.
      struct stat status {};
      if (fstat(owner_, &status) == 0 && status.st_nlink > 0) return;
      close(owner_);
      owner_ = -1;
    }
  }

  // The name goes before the lock, so a starter never locks a stale name.
  void GiveUpOwnership() {
    if (owner_ < 0) return;
    shm_unlink(lockName_.c_str());
    close(owner_);
    owner_ = -1;
  }

  void Create(std::size_t areaSize) {
    memory_ = shm_open(names_.sharedMemory.c_str(), O_RDWR | O_CREAT | O_EXCL, kMode);
    if (memory_ < 0) throw Failure("cannot create shared memory", names_.sharedMemory);
    if (ftruncate(memory_, static_cast<off_t>(areaSize)) != 0) throw Failure("cannot size", names_.sharedMemory);
    void* area = mmap(nullptr, areaSize, PROT_READ | PROT_WRITE, MAP_SHARED, memory_, 0);
    if (area == MAP_FAILED) throw Failure("cannot map", names_.sharedMemory);
    area_ = static_cast<char*>(area);
    areaSize_ = areaSize;
    execute_ = sem_open(names_.executeEvent.c_str(), O_CREAT | O_EXCL, kMode, 0);
    if (execute_ == SEM_FAILED) throw Failure("cannot create event", names_.executeEvent);
    done_ = sem_open(names_.doneEvent.c_str(), O_CREAT | O_EXCL, kMode, 0);
    if (done_ == SEM_FAILED) throw Failure("cannot create event", names_.doneEvent);
    // The mutex comes last: clients take its existence as "Parlix is there".
    mutex_ = sem_open(names_.operationMutex.c_str(), O_CREAT | O_EXCL, kMode, 1);
    if (mutex_ == SEM_FAILED) throw Failure("cannot create mutex", names_.operationMutex);
  }

  void Close() {
    if (mutex_ != SEM_FAILED) sem_close(mutex_);
    if (done_ != SEM_FAILED) sem_close(done_);
    if (execute_ != SEM_FAILED) sem_close(execute_);
    if (area_ != nullptr) munmap(area_, areaSize_);
    if (memory_ >= 0) close(memory_);
    mutex_ = done_ = execute_ = SEM_FAILED;
    area_ = nullptr;
    memory_ = -1;
  }

  // The mutex goes first, so new clients see "no Parlix" at once.
  void RemoveObjects() const {
    sem_unlink(names_.operationMutex.c_str());
    sem_unlink(names_.doneEvent.c_str());
    sem_unlink(names_.executeEvent.c_str());
    shm_unlink(names_.sharedMemory.c_str());
  }

  voice::ParlixObjectNames names_;
  std::string lockName_;
  int owner_ = -1;
  sem_t* mutex_ = SEM_FAILED;
  sem_t* execute_ = SEM_FAILED;
  sem_t* done_ = SEM_FAILED;
  int memory_ = -1;
  char* area_ = nullptr;
  std::size_t areaSize_ = 0;
};

}  // namespace

std::unique_ptr<ParlixHost> CreateParlixHost(const voice::ParlixObjectNames& names, std::size_t areaSize) {
  return std::make_unique<PosixParlixHost>(names, areaSize);
}

}  // namespace vantor::parlixsim
