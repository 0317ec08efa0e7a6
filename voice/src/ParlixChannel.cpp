#include "ParlixChannel.h"

#include <algorithm>
#include <cstring>

namespace vantor::voice {
namespace {

constexpr const char* kNotFound = "ERROR -1000 PARLIX CLIENT NOT FOUND";
constexpr const char* kExecuteEventFailed = "ERROR -1101 WHILE CONNECTIONG TO PARLIX";
constexpr const char* kDoneEventFailed = "ERROR -1102 WHILE CONNECTIONG TO PARLIX";
constexpr const char* kOpenMemoryFailed = "ERROR -1103 WHILE CONNECTIONG TO PARLIX";
constexpr const char* kMapMemoryFailed = "ERROR -1104 WHILE CONNECTIONG TO PARLIX";
constexpr const char* kNoReply = "ERROR -1105 WHILE CONNECTIONG TO PARLIX";
constexpr const char* kMutexTimeout = "ERROR -1106 WHILE CONNECTIONG TO PARLIX";
// Parlix chooses the size of its area; a longer command would overrun it.
constexpr const char* kCommandTooLong = "ERROR -1107 COMMAND TOO LONG FOR PARLIX";

// Gives the operation mutex back on every way out of the exchange.
class MutexRelease {
 public:
  explicit MutexRelease(ParlixObjects& objects) : objects_(objects) {}
  ~MutexRelease() { objects_.ReleaseOperationMutex(); }
  MutexRelease(const MutexRelease&) = delete;
  MutexRelease& operator=(const MutexRelease&) = delete;

 private:
  ParlixObjects& objects_;
};

}  // namespace

bool ParlixObjects::WriteCommand(std::string_view command) {
  const std::span<char> view = View();
  if (command.size() >= view.size()) return false;
  std::memcpy(view.data(), command.data(), command.size());
  view[command.size()] = '\0';
  return true;
}

// A reply without a NUL inside the area is cut at the area's end rather than
// read beyond it.
std::string ParlixObjects::ReadReply() const {
  const std::span<char> view = View();
  const void* nul = std::memchr(view.data(), '\0', view.size());
  const std::size_t length =
      nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - view.data()) : view.size();
  return std::string(view.data(), length);
}

std::string SendCommand(std::string_view command, ExchangeMemory& memory) {
  const std::unique_ptr<ParlixObjects> objects =
      CreateParlixObjects(ParlixObjectNames::ForPrefix(PrefixFromEnvironment()));
  return SendCommand(command, *objects, memory);
}

std::string SendCommand(std::string_view command, ParlixObjects& objects, ExchangeMemory& memory) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point start = Clock::now();
  if (!objects.OpenOperationMutex()) return kNotFound;
  if (!objects.ObtainExecuteEvent()) return kExecuteEventFailed;
  if (!objects.ObtainDoneEvent()) return kDoneEventFailed;
  if (!objects.OpenSharedMemory()) return kOpenMemoryFailed;
  if (!objects.MapView()) return kMapMemoryFailed;

  // Refused before the mutex is taken, so the area is left as it was.
  if (command.size() >= objects.AreaSize()) return kCommandTooLong;

  if (objects.WaitOperationMutex(kOperationMutexTimeout) != ParlixObjects::MutexWait::Acquired) return kMutexTimeout;
  const MutexRelease release(objects);

  if (memory.replyOutstanding) {
    // The wait is taken from the mutex's share of the exchange, which keeps
    // its bound; a reply that has not come by then is taken as lost.
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    const auto left = std::max(std::chrono::milliseconds(0), kOperationMutexTimeout - spent);
    objects.WaitDoneEvent(std::min(kLateReplyGrace, left));
    memory.replyOutstanding = false;
  }

  if (!objects.ResetDoneEvent()) return kNoReply;
  // The area may have shrunk since it was measured.
  if (!objects.WriteCommand(command)) return kCommandTooLong;
  if (!objects.SignalExecuteEvent()) return kNoReply;
  const Clock::time_point deadline = Clock::now() + kDoneEventTimeout;
  for (;;) {
    const auto left = std::max(std::chrono::milliseconds(0),
                               std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()));
    if (!objects.WaitDoneEvent(left)) {
      memory.replyOutstanding = !objects.WithdrawExecuteSignal();
      return kNoReply;
    }
    // Parlix has not even taken this command: the signal answers an earlier
    // one.
    if (!objects.ExecuteSignalPending()) break;
  }
  return objects.ReadReply();
}

}  // namespace vantor::voice
