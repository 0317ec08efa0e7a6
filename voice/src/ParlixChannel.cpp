#include "ParlixChannel.h"

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

// The reply ends at its NUL; one that has none inside the area is cut at the
// area's end rather than read beyond it.
std::string ReadReply(std::span<const char> view) {
  const void* nul = std::memchr(view.data(), '\0', view.size());
  const std::size_t length =
      nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - view.data()) : view.size();
  return std::string(view.data(), length);
}

}  // namespace

std::string SendCommand(std::string_view command) {
  const std::unique_ptr<ParlixObjects> objects =
      CreateParlixObjects(ParlixObjectNames::ForPrefix(PrefixFromEnvironment()));
  return SendCommand(command, *objects);
}

std::string SendCommand(std::string_view command, ParlixObjects& objects) {
  if (!objects.OpenOperationMutex()) return kNotFound;
  if (!objects.ObtainExecuteEvent()) return kExecuteEventFailed;
  if (!objects.ObtainDoneEvent()) return kDoneEventFailed;
  if (!objects.OpenSharedMemory()) return kOpenMemoryFailed;
  if (!objects.MapView()) return kMapMemoryFailed;

  const std::span<char> view = objects.View();
  // Refused before the mutex is taken, so the area is left as it was.
  if (command.size() >= view.size()) return kCommandTooLong;

  if (objects.WaitOperationMutex(kOperationMutexTimeout) != ParlixObjects::MutexWait::Acquired) return kMutexTimeout;
  const MutexRelease release(objects);

  if (!objects.ResetDoneEvent()) return kNoReply;
  std::memcpy(view.data(), command.data(), command.size());
  view[command.size()] = '\0';
  if (!objects.SignalExecuteEvent()) return kNoReply;
  if (!objects.WaitDoneEvent(kDoneEventTimeout)) return kNoReply;
  return ReadReply(view);
}

}  // namespace vantor::voice
