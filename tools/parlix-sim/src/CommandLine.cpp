#include "CommandLine.h"

#include <charconv>

namespace vantor::parlixsim {
namespace {

struct OptionSpec {
  const char* name;
  const char* valueName;  // null for a switch
  const char* description;
};

constexpr OptionSpec kOptions[] = {
    {"prefix", "text", "Text put in front of every object name (default: $VANTOR_PARLIX_PREFIX, else none)."},
    {"channels", "file",
     "Channel list: lines id;name[;flags[;password[;parent[;max]]]] and "
     "player;id;channel;name[;flags[;channel privileges[;privileges]]]."},
    {"size", "bytes", "Size of the shared text area in bytes (default 16384)."},
    {"delay", "ms", "Wait this long before each answer."},
    {"drop", nullptr, "Read commands but never answer them."},
    {"hold-mutex", "ms", "Hold the operation mutex for this long after start."},
    {"control", "file",
     "Control file read before each command: delay <ms>, drop, hold, fill <char>, answer <cmd>TAB<reply>, stop."},
    {"log", "file", "Append each command received, escaped, one a line."},
    {"verbose", nullptr, "Print each command and reply."},
    {"help", nullptr, "Show this help and end."},
    {"version", nullptr, "Show the version and end."},
};

void Store(CommandLineOptions& options, const std::string& name, const std::string& value) {
  if (name == "prefix") options.prefix = value;
  if (name == "channels") options.channels = value;
  if (name == "size") options.size = value;
  if (name == "delay") options.delay = value;
  if (name == "drop") options.drop = true;
  if (name == "hold-mutex") options.holdMutex = value;
  if (name == "control") options.control = value;
  if (name == "log") options.log = value;
  if (name == "verbose") options.verbose = true;
  if (name == "help") options.help = true;
  if (name == "version") options.version = true;
}

}  // namespace

std::optional<std::string> ParseCommandLine(const std::vector<std::string>& arguments, CommandLineOptions& options) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "-h" || argument == "-?") {
      options.help = true;
      continue;
    }
    if (argument == "-v") {
      options.version = true;
      continue;
    }
    if (argument.rfind("--", 0) != 0 || argument.size() == 2) return "unexpected argument " + argument;
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    const OptionSpec* spec = nullptr;
    for (const OptionSpec& candidate : kOptions) {
      if (name == candidate.name) spec = &candidate;
    }
    if (spec == nullptr) return "unknown option --" + name;
    if (spec->valueName == nullptr) {
      if (equals != std::string::npos) return "--" + name + " takes no value";
      Store(options, name, {});
    } else if (equals != std::string::npos) {
      Store(options, name, argument.substr(equals + 1));
    } else if (i + 1 < arguments.size()) {
      Store(options, name, arguments[++i]);
    } else {
      return "--" + name + " needs a value";
    }
  }
  return std::nullopt;
}

std::string UsageText() {
  std::string text =
      "Usage: parlix-sim [options]\n"
      "Stand-in for the Parlix voice client: creates Parlix's shared memory, operation mutex and events and answers "
      "PxRemote's commands from a simulated voice server until SIGINT or SIGTERM (Ctrl+C, or Ctrl+Break on "
      "Windows).\n\nOptions:\n";
  for (const OptionSpec& spec : kOptions) {
    std::string left = std::string("  --") + spec.name;
    if (spec.valueName != nullptr) left += std::string(" <") + spec.valueName + ">";
    if (left.size() < 24) left.resize(24, ' ');
    text += left + "  " + spec.description + "\n";
  }
  return text;
}

std::optional<long long> ParseCount(const std::string& text, long long limit) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0 || value > limit) {
    return std::nullopt;
  }
  return value;
}

}  // namespace vantor::parlixsim
