#pragma once
// The one command exchange with a Parlix client: write the command into its
// shared memory, signal, wait for the reply, read it back. Every exchange
// finds the objects by name afresh and closes them again.

#include <vantor/voice/ParlixObjectNames.h>

#include <chrono>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace vantor::voice {

inline constexpr std::chrono::milliseconds kOperationMutexTimeout{3000};
inline constexpr std::chrono::milliseconds kDoneEventTimeout{500};

// One exchange's handles on Parlix's named objects, one implementation per
// platform (POSIX named semaphores and shared memory, or Win32 kernel
// objects). Destruction closes whatever is open in this order: the view, the
// shared memory, the done event, the execute event, the mutex.
class ParlixObjects {
 public:
  enum class MutexWait { Acquired, NotAcquired };

  virtual ~ParlixObjects() = default;

  // Opens the mutex without creating it: failure means no Parlix is running.
  virtual bool OpenOperationMutex() = 0;
  // Opens the event of that name, or creates it not signalled.
  virtual bool ObtainExecuteEvent() = 0;
  virtual bool ObtainDoneEvent() = 0;
  // Opens the existing shared memory read-write; never creates it.
  virtual bool OpenSharedMemory() = 0;
  virtual bool MapView() = 0;
  // The whole mapped area, valid after MapView succeeded.
  virtual std::span<char> View() const = 0;

  // Acquired only on normal acquisition within the time-out; a mutex
  // abandoned by a dead owner counts as not acquired.
  virtual MutexWait WaitOperationMutex(std::chrono::milliseconds timeout) = 0;
  virtual void ReleaseOperationMutex() = 0;
  virtual bool ResetDoneEvent() = 0;
  virtual bool SignalExecuteEvent() = 0;
  virtual bool WaitDoneEvent(std::chrono::milliseconds timeout) = 0;
};

std::unique_ptr<ParlixObjects> CreateParlixObjects(const ParlixObjectNames& names);

// Runs one exchange with the objects named for the prefix in the
// environment. Returns Parlix's reply or one of the library's own error texts
// ("ERROR -1000 PARLIX CLIENT NOT FOUND", "ERROR -1101 ..." to "ERROR -1107
// ..."); never fails otherwise.
std::string SendCommand(std::string_view command);
std::string SendCommand(std::string_view command, ParlixObjects& objects);

}  // namespace vantor::voice
