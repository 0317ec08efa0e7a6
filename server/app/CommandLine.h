#pragma once
// The command line of vantorsrv, and the runtime it describes.

#include <QString>

#include <cstddef>
#include <memory>
#include <optional>

namespace vantor {
class Notifier;
namespace server {
class ServerRuntime;
}
}  // namespace vantor

struct ServerCommandLine {
  bool headless = false;
  bool printConfig = false;
  bool startAtOnce = false;  // the window presses "Fly..." itself
  bool noSimulator = false;
  quint16 feedPort = 0;
  quint16 clientPort = 0;
  QString settingsFile;                        // empty: the user's store
  QString simulatorDir;                        // empty: the simulator's own settings
  std::optional<std::size_t> feedIntakeBytes;  // empty: the "FeedIntake" setting
  // Window pictures for the documentation: saved, then the program ends.
  QString windowSnapshot;
  QString mapSnapshot;
  double snapshotAfterSeconds = 3.0;
};

// Whether the arguments need the window: not for the headless run, not for
// what only prints (--print-config, --help, --version). Decided before any
// application object exists: a window needs a QApplication, the others must
// do without one (and without a display).
bool WindowRequested(int argc, const char* const* argv);

// Names the program and parses the process's arguments (the application
// object must exist). Exits the process for --help and --version; nullopt
// with a message on stderr for bad options.
std::optional<ServerCommandLine> ParseServerCommandLine();

// The runtime over the stores, ports and simulator folder the command line
// names, showing failures through `notifier`.
std::unique_ptr<vantor::server::ServerRuntime> MakeServerRuntime(const ServerCommandLine& commandLine,
                                                                 vantor::Notifier& notifier);
