#pragma once
// The command line of vantorsrv and the headless run.

#include <QString>

#include <optional>

struct ServerCommandLine {
  bool headless = false;
  bool noSimulator = false;
  quint16 feedPort = 0;
  quint16 clientPort = 0;
  QString settingsFile;  // empty: the user's store
  QString simulatorDir;  // empty: the simulator's own settings
};

// Parses the process's arguments (QCoreApplication must exist). Exits the
// process for --help and --version; nullopt with a message on stderr for
// bad options.
std::optional<ServerCommandLine> ParseServerCommandLine();

// Serves as if the start button had been pressed, until SIGINT/SIGTERM.
int RunHeadless(const ServerCommandLine& commandLine);
