#pragma once
// parlix-sim's command line, without any framework: "--name value" or
// "--name=value" for options with a value, "--name" for switches.

#include <optional>
#include <string>
#include <vector>

namespace vantor::parlixsim {

struct CommandLineOptions {
  bool help = false;
  bool version = false;
  std::optional<std::string> prefix;
  std::optional<std::string> channels;
  std::string size = "16384";
  std::string delay = "0";
  bool drop = false;
  std::string holdMutex = "0";
  std::string control;
  std::string log;
  bool verbose = false;
};

// Reads `arguments` (without the program name); returns an error text for
// an unknown option, a missing value or a positional argument.
std::optional<std::string> ParseCommandLine(const std::vector<std::string>& arguments, CommandLineOptions& options);

// The text of --help.
std::string UsageText();

// A count of milliseconds or bytes: decimal digits only, at most `limit`.
std::optional<long long> ParseCount(const std::string& text, long long limit);

}  // namespace vantor::parlixsim
