#pragma once
// What a test (or a curious operator) can make parlix-sim do besides
// answering: delay or drop answers, hold the operation mutex, answer chosen
// commands with chosen replies, leave the reply without its NUL, end.
//
// A control file holds one directive per line ('#' starts a comment):
//   delay <ms>                 wait this long before each answer
//   drop                       read commands but never answer them
//   hold                       hold the operation mutex while the line is there
//   fill <character>           fill the area after the reply instead of a NUL
//   shrink <bytes>             cut the area to this size after writing each
//                              reply, before signalling it (a hostile peer)
//   answer <command>TAB<reply> answer exactly this command with this reply;
//                              "*" as command matches every command
//   stop                       end as on SIGTERM (the way to stop a stand-in
//                              that no signal reaches, as on Windows)
// Commands and replies use the escapes \r \n \t \\ \0 and \xHH.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantor::parlixsim {

struct ControlSettings {
  std::chrono::milliseconds delay{0};
  bool drop = false;
  bool hold = false;
  bool stop = false;
  std::optional<char> fill;
  std::optional<std::size_t> shrinkTo;
  std::vector<std::pair<std::string, std::string>> answers;

  // The scripted reply for `command`, if any.
  std::optional<std::string> ScriptedAnswer(std::string_view command) const;
};

// Parses control directives; returns an error text for a bad line.
std::optional<std::string> ParseControl(std::string_view text, ControlSettings& settings);

// \r \n \t \\ and \xHH for other control characters, so a command prints on
// one line.
std::string Escape(std::string_view text);
std::string Unescape(std::string_view text);

}  // namespace vantor::parlixsim
