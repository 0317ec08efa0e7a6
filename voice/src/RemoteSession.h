#pragma once
// One command and its reply as the exports see them: the version check before
// the first command, the status line, the result code and the last-error
// text. One session lives as long as the loaded library.

#include "ReplyParser.h"

#include <PxRemote.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vantor::voice {

struct CommandOutcome {
  bool success = false;
  int32_t code = 0;     // 0 on success, the failure code otherwise
  std::string payload;  // everything after the status line
};

class RemoteSession {
 public:
  using Transport = std::function<std::string(std::string_view)>;

  explicit RemoteSession(Transport transport);

  // Sends `command` (after the version query while no major version is
  // known) and splits the reply; an error reply becomes the last-error text.
  CommandOutcome ExecuteCommand(std::string_view command);

  // "GET_VERSION" into `info` (zeroed first); returns the result code.
  int32_t QueryVersion(PxrVersionInfo& info);

  ParseStatus Status(int32_t& resultCode) { return ParseStatus{resultCode, lastError_}; }
  void SetLastError(std::string text) { lastError_ = std::move(text); }
  const std::string& LastError() const { return lastError_; }

 private:
  Transport transport_;
  PxrVersionInfo cachedVersion_{};
  std::string lastError_;
};

}  // namespace vantor::voice
