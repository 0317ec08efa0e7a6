#include "RemoteSession.h"

#include <utility>

namespace vantor::voice {
namespace {

constexpr std::string_view kVersionCommand = "GET_VERSION";
constexpr std::size_t kErrorCodeStart = 6;  // "ERROR " precedes the code

}  // namespace

RemoteSession::RemoteSession(Transport transport) : transport_(std::move(transport)) {}

CommandOutcome RemoteSession::ExecuteCommand(std::string_view command) {
  if (cachedVersion_.major == 0 && command != kVersionCommand) {
    PxrVersionInfo version{};
    const int32_t code = QueryVersion(version);
    cachedVersion_ = version;
    if (code != 0) return CommandOutcome{false, code, {}};
  }

  const std::string reply = transport_(command);
  if (reply.size() >= 2 && reply.compare(0, 2, "OK") == 0) {
    const std::size_t lineEnd = reply.find(kLineSeparator);
    return CommandOutcome{true, 0, lineEnd == std::string::npos ? std::string() : reply.substr(lineEnd + 1)};
  }

  lastError_ = reply;
  std::string_view codeText;
  if (reply.size() >= kErrorCodeStart + 1) {
    const std::size_t blank = reply.find(' ', kErrorCodeStart);
    if (blank != std::string::npos) codeText = std::string_view(reply).substr(kErrorCodeStart, blank - kErrorCodeStart);
  }
  const IntConversion code = ConvertInt32(codeText);
  // An error reply claiming code 0 would read as success to every caller,
  // who would then use records and counts that were never filled.
  if (code.ok && code.value != 0) return CommandOutcome{false, code.value, {}};
  lastError_ = "ERROR -1003 INVALID ERROR RETURNED (" + reply + ")";
  return CommandOutcome{false, PXR_ERR_INVALID_ERROR, {}};
}

int32_t RemoteSession::QueryVersion(PxrVersionInfo& info) {
  info = PxrVersionInfo{};
  const CommandOutcome outcome = ExecuteCommand(kVersionCommand);
  if (!outcome.success) return outcome.code;
  ParseVersionPayload(outcome.payload, info);
  return 0;
}

}  // namespace vantor::voice
