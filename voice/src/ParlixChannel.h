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
// How long an exchange waits, within its mutex wait, for the late reply of
// an earlier command that Parlix took but did not answer in time.
inline constexpr std::chrono::milliseconds kLateReplyGrace{500};

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
  // Makes the area usable: maps it, or (where Parlix may resize it under us)
  // only checks that it has a size.
  virtual bool MapView() = 0;
  // The whole mapped area; empty where the area is reached through its
  // descriptor instead.
  virtual std::span<char> View() const { return {}; }

  // The area's size as it is now.
  virtual std::size_t AreaSize() const { return View().size(); }
  // Writes the command and its NUL from offset 0; false when they do not fit
  // the area as it is now.
  virtual bool WriteCommand(std::string_view command);
  // The text from offset 0 up to its NUL, cut at the area's current end.
  virtual std::string ReadReply() const;

  // Acquired only on normal acquisition within the time-out; a mutex
  // abandoned by a dead owner counts as not acquired.
  virtual MutexWait WaitOperationMutex(std::chrono::milliseconds timeout) = 0;
  virtual void ReleaseOperationMutex() = 0;
  virtual bool ResetDoneEvent() = 0;
  virtual bool SignalExecuteEvent() = 0;
  virtual bool WaitDoneEvent(std::chrono::milliseconds timeout) = 0;
  // Whether the execute signal is still waiting for Parlix to take it.
  // Unknown (false) where the platform cannot tell.
  virtual bool ExecuteSignalPending() { return false; }
  // Takes the execute signal back when Parlix has not taken it: then no
  // reply to the command can come later. False when Parlix took it (or the
  // platform cannot tell).
  virtual bool WithdrawExecuteSignal() { return false; }
};

std::unique_ptr<ParlixObjects> CreateParlixObjects(const ParlixObjectNames& names);

// What one process remembers between exchanges: Parlix took a command and
// did not answer it in time, so a reply may still come. The next exchange
// lets that late reply pass before it sends its own command, so a late reply
// never becomes the answer to a later command.
struct ExchangeMemory {
  bool replyOutstanding = false;
};

// Runs one exchange with the objects named for the prefix in the
// environment. Returns Parlix's reply or one of the library's own error texts
// ("ERROR -1000 PARLIX CLIENT NOT FOUND", "ERROR -1101 ..." to "ERROR -1107
// ..."); never fails otherwise.
std::string SendCommand(std::string_view command, ExchangeMemory& memory);
std::string SendCommand(std::string_view command, ParlixObjects& objects, ExchangeMemory& memory);

}  // namespace vantor::voice
