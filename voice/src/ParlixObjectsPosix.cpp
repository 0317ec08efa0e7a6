// Parlix's objects on POSIX systems: the operation mutex and both events are
// named semaphores, the text area a POSIX shared-memory object, all under the
// Windows names with a leading '/'.
//
// The area is read and written through its descriptor, never mapped: Parlix
// may shrink it at any time, and touching a mapping past the new end would
// kill the caller with SIGBUS. A read past the end just comes back short.
#include "ParlixChannel.h"

#include <fcntl.h>
#include <semaphore.h>
#include <sys/mman.h>  // shm_open
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>
#include <utility>

namespace vantor::voice {
namespace {

constexpr mode_t kEventMode = 0600;

// Waits on `semaphore` until an absolute deadline, so interruptions by
// signals do not stretch the time-out.
bool WaitUntilDeadline(sem_t* semaphore, std::chrono::milliseconds timeout) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 30))
  constexpr clockid_t kClock = CLOCK_MONOTONIC;
#else
  constexpr clockid_t kClock = CLOCK_REALTIME;  // the clock sem_timedwait measures against
#endif
  timespec deadline{};
  clock_gettime(kClock, &deadline);
  const long long nanoseconds = deadline.tv_nsec + static_cast<long long>(timeout.count() % 1000) * 1000000LL;
  deadline.tv_sec += static_cast<time_t>(timeout.count() / 1000 + nanoseconds / 1000000000LL);
  deadline.tv_nsec = static_cast<long>(nanoseconds % 1000000000LL);
  for (;;) {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 30))
    const int rc = sem_clockwait(semaphore, kClock, &deadline);
#else
    const int rc = sem_timedwait(semaphore, &deadline);
#endif
    if (rc == 0) return true;
    if (errno != EINTR) return false;
  }
}

class PosixParlixObjects final : public ParlixObjects {
 public:
  explicit PosixParlixObjects(ParlixObjectNames names) : names_(std::move(names)) {}

  ~PosixParlixObjects() override {
    if (memory_ >= 0) close(memory_);
    if (done_ != SEM_FAILED) sem_close(done_);
    if (execute_ != SEM_FAILED) sem_close(execute_);
    if (mutex_ != SEM_FAILED) sem_close(mutex_);
  }

  PosixParlixObjects(const PosixParlixObjects&) = delete;
  PosixParlixObjects& operator=(const PosixParlixObjects&) = delete;

  bool OpenOperationMutex() override {
    mutex_ = sem_open(names_.operationMutex.c_str(), 0);
    return mutex_ != SEM_FAILED;
  }
  bool ObtainExecuteEvent() override {
    execute_ = sem_open(names_.executeEvent.c_str(), O_CREAT, kEventMode, 0);
    return execute_ != SEM_FAILED;
  }
  bool ObtainDoneEvent() override {
    done_ = sem_open(names_.doneEvent.c_str(), O_CREAT, kEventMode, 0);
    return done_ != SEM_FAILED;
  }
  bool OpenSharedMemory() override {
    memory_ = shm_open(names_.sharedMemory.c_str(), O_RDWR, 0);
    return memory_ >= 0;
  }
  bool MapView() override { return AreaSize() > 0; }
  std::size_t AreaSize() const override {
    struct stat status {};
    if (fstat(memory_, &status) != 0 || status.st_size <= 0) return 0;
    return static_cast<std::size_t>(status.st_size);
  }
  bool WriteCommand(std::string_view command) override {
    if (command.size() >= AreaSize()) return false;
    std::string text(command);
    text.push_back('\0');
    std::size_t written = 0;
    while (written < text.size()) {
      const ssize_t n = pwrite(memory_, text.data() + written, text.size() - written, static_cast<off_t>(written));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      written += static_cast<std::size_t>(n);
    }
    return true;
  }
  std::string ReadReply() const override {
    const std::size_t size = AreaSize();
    std::string reply;
    char chunk[4096];
    while (reply.size() < size) {
      const std::size_t want = std::min(sizeof chunk, size - reply.size());
      const ssize_t n = pread(memory_, chunk, want, static_cast<off_t>(reply.size()));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;  // the area ends here now
      const auto got = static_cast<std::size_t>(n);
      if (const void* nul = std::memchr(chunk, '\0', got)) {
        reply.append(chunk, static_cast<std::size_t>(static_cast<const char*>(nul) - chunk));
        return reply;
      }
      reply.append(chunk, got);
    }
    return reply;
  }

  MutexWait WaitOperationMutex(std::chrono::milliseconds timeout) override {
    return WaitUntilDeadline(mutex_, timeout) ? MutexWait::Acquired : MutexWait::NotAcquired;
  }
  void ReleaseOperationMutex() override { sem_post(mutex_); }

  // An event's count is taken back to 0, dropping any late signal.
  bool ResetDoneEvent() override {
    while (sem_trywait(done_) == 0) {
    }
    return errno == EAGAIN;
  }
  bool SignalExecuteEvent() override { return sem_post(execute_) == 0; }
  bool WaitDoneEvent(std::chrono::milliseconds timeout) override { return WaitUntilDeadline(done_, timeout); }
  bool ExecuteSignalPending() override {
    int value = 0;
    return sem_getvalue(execute_, &value) == 0 && value > 0;
  }
  bool WithdrawExecuteSignal() override { return sem_trywait(execute_) == 0; }

 private:
  ParlixObjectNames names_;
  sem_t* mutex_ = SEM_FAILED;
  sem_t* execute_ = SEM_FAILED;
  sem_t* done_ = SEM_FAILED;
  int memory_ = -1;
};

}  // namespace

std::unique_ptr<ParlixObjects> CreateParlixObjects(const ParlixObjectNames& names) {
  return std::make_unique<PosixParlixObjects>(names);
}

}  // namespace vantor::voice
