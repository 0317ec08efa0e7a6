// parlix-sim: a stand-in for the Parlix voice client. It owns the named
// objects that PxRemote talks to and answers its commands from a simulated
// voice server, until SIGINT or SIGTERM (Ctrl+C or Ctrl+Break on Windows), a
// QUIT command or a "stop" in its control file; its objects are removed when
// it ends.
#include "CommandLine.h"
#include "ParlixHost.h"
#include "SimRunner.h"
#include "VoiceServer.h"

#include <vantor/voice/ParlixObjectNames.h>

#include <csignal>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace {

// Set from signal handlers only; the service loop polls it.
volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

constexpr long long kMinAreaSize = 16;
constexpr long long kMaxAreaSize = 16LL * 1024 * 1024;
// Longer waits are typing errors; much longer ones overflow the clock.
constexpr long long kMaxMilliseconds = 24LL * 3600 * 1000;

int UsageError(const std::string& message) {
  std::cerr << "parlix-sim: " << message << '\n';
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  namespace sim = vantor::parlixsim;
  sim::CommandLineOptions options;
  if (const auto error = sim::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), options)) {
    return UsageError(*error + " (see --help)");
  }
  if (options.help) {
    std::cout << sim::UsageText();
    return 0;
  }
  if (options.version) {
    std::cout << "parlix-sim " << VANTOR_VERSION << '\n';
    return 0;
  }

  const auto areaSize = sim::ParseCount(options.size, kMaxAreaSize);
  if (!areaSize || *areaSize < kMinAreaSize) {
    return UsageError("--size must be between " + std::to_string(kMinAreaSize) + " and " +
                      std::to_string(kMaxAreaSize));
  }
  const auto delay = sim::ParseCount(options.delay, kMaxMilliseconds);
  if (!delay) return UsageError("--delay needs a number of milliseconds up to a day");
  const auto hold = sim::ParseCount(options.holdMutex, kMaxMilliseconds);
  if (!hold) return UsageError("--hold-mutex needs a number of milliseconds up to a day");

  sim::ServerSetup setup = sim::DefaultServerSetup();
  if (options.channels) {
    std::ifstream file(*options.channels, std::ios::binary);
    if (!file) return UsageError("cannot read " + *options.channels);
    std::ostringstream text;
    text << file.rdbuf();
    if (const auto error = sim::ParseServerSetup(text.str(), setup)) {
      return UsageError(*options.channels + ": " + *error);
    }
  }

  const auto names =
      vantor::voice::ParlixObjectNames::ForPrefix(options.prefix.value_or(vantor::voice::PrefixFromEnvironment()));

  sim::RunOptions run;
  run.base.delay = std::chrono::milliseconds(*delay);
  run.base.drop = options.drop;
  run.holdAtStart = std::chrono::milliseconds(*hold);
  run.controlFile = options.control;
  run.commandLog = options.log;
  run.verbose = options.verbose;

  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);
#if defined(SIGBREAK)
  std::signal(SIGBREAK, RequestStop);
#endif

  try {
    const auto host = sim::CreateParlixHost(names, static_cast<std::size_t>(*areaSize));
    sim::VoiceServer server(std::move(setup));
    sim::SimRunner runner(*host, server, std::move(run));
    std::cout << "parlix-sim: ready, mutex " << names.operationMutex << ", area " << names.sharedMemory << " ("
              << *areaSize << " bytes)" << std::endl;
    runner.Run(stopRequested);
  } catch (const std::exception& failure) {
    std::cerr << "parlix-sim: " << failure.what() << '\n';
    return 1;
  }
  std::cout << "parlix-sim: stopped, objects removed" << std::endl;
  return 0;
}
