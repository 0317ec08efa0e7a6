#pragma once
// parlix-sim's service loop: wait for a command, answer it from the voice
// server (or as the control settings say), signal, until told to stop.

#include "Control.h"
#include "ParlixHost.h"
#include "VoiceServer.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>

namespace vantor::parlixsim {

struct RunOptions {
  ControlSettings base;                      // from the command line
  std::chrono::milliseconds holdAtStart{0};  // hold the mutex this long first
  std::string controlFile;                   // re-read before each step; empty: none
  std::string commandLog;                    // each command, escaped, one a line
  bool verbose = false;                      // print commands and replies
};

class SimRunner {
 public:
  SimRunner(ParlixHost& host, VoiceServer& server, RunOptions options);
  ~SimRunner();

  SimRunner(const SimRunner&) = delete;
  SimRunner& operator=(const SimRunner&) = delete;

  // Serves until `stop` becomes non-zero or a QUIT command was answered.
  void Run(const volatile std::sig_atomic_t& stop);

 private:
  ControlSettings CurrentSettings();
  void UpdateMutexHold(bool wanted);
  void Serve(const volatile std::sig_atomic_t& stop);
  void LogCommand(const std::string& command);

  ParlixHost& host_;
  VoiceServer& server_;
  RunOptions options_;
  ControlSettings fileSettings_;
  std::string lastControlText_;
  std::chrono::steady_clock::time_point holdUntil_;
  bool holding_ = false;
  std::FILE* log_ = nullptr;
};

}  // namespace vantor::parlixsim
