#include "SimRunner.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

namespace vantor::parlixsim {
namespace {

constexpr std::chrono::milliseconds kPollInterval{100};
constexpr std::chrono::milliseconds kSleepSlice{20};

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

SimRunner::SimRunner(ParlixHost& host, VoiceServer& server, RunOptions options)
    : host_(host),
      server_(server),
      options_(std::move(options)),
      holdUntil_(std::chrono::steady_clock::now() + options_.holdAtStart) {
  if (!options_.commandLog.empty()) {
    // Binary, so a line ends in LF alone on Windows as well.
    log_ = std::fopen(options_.commandLog.c_str(), "ab");
    if (log_ == nullptr) std::cerr << "parlix-sim: cannot open command log " << options_.commandLog << '\n';
  }
  // A hold asked for at start is in force before clients are told we are up.
  if (options_.holdAtStart.count() > 0) UpdateMutexHold(true);
}

SimRunner::~SimRunner() {
  if (holding_) host_.ReleaseOperationMutex();
  if (log_ != nullptr) std::fclose(log_);
}

void SimRunner::Run(const volatile std::sig_atomic_t& stop) {
  while (stop == 0 && !server_.QuitRequested()) {
    const ControlSettings settings = CurrentSettings();
    if (settings.stop) break;
    UpdateMutexHold(settings.hold);
    if (!host_.WaitExecute(kPollInterval)) continue;
    Serve(stop);
  }
}

// The file is small and read afresh each time, so a test's change is in
// force for the very next command. A bad file keeps the settings before it.
ControlSettings SimRunner::CurrentSettings() {
  if (!options_.controlFile.empty()) {
    const std::string text = ReadWholeFile(options_.controlFile).value_or(std::string());
    if (text != lastControlText_) {
      lastControlText_ = text;
      ControlSettings parsed;
      if (const auto error = ParseControl(text, parsed)) {
        std::cerr << "parlix-sim: " << options_.controlFile << ": " << *error << '\n';
      } else {
        fileSettings_ = std::move(parsed);
      }
    }
  }
  ControlSettings settings = fileSettings_;
  settings.delay = std::max(settings.delay, options_.base.delay);
  settings.drop = settings.drop || options_.base.drop;
  settings.hold = settings.hold || std::chrono::steady_clock::now() < holdUntil_;
  settings.stop = settings.stop || options_.base.stop;
  if (!settings.fill) settings.fill = options_.base.fill;
  if (!settings.shrinkTo) settings.shrinkTo = options_.base.shrinkTo;
  settings.answers.insert(settings.answers.end(), options_.base.answers.begin(), options_.base.answers.end());
  return settings;
}

void SimRunner::UpdateMutexHold(bool wanted) {
  if (wanted && !holding_) {
    if (!host_.AcquireOperationMutex(kPollInterval)) return;  // a client has it; try again next round
    holding_ = true;
    std::cout << "parlix-sim: holding the operation mutex" << std::endl;
  } else if (!wanted && holding_) {
    host_.ReleaseOperationMutex();
    holding_ = false;
    std::cout << "parlix-sim: released the operation mutex" << std::endl;
  }
}

void SimRunner::Serve(const volatile std::sig_atomic_t& stop) {
  const std::string command = ReadCommand(host_.Area());
  LogCommand(command);
  const ControlSettings settings = CurrentSettings();
  if (settings.drop) {
    if (options_.verbose) std::cout << "-- dropped" << std::endl;
    return;
  }
  const std::optional<std::string> scripted = settings.ScriptedAnswer(command);
  const std::string answer = scripted ? *scripted : server_.Answer(command);

  const auto answerAt = std::chrono::steady_clock::now() + settings.delay;
  while (stop == 0 && std::chrono::steady_clock::now() < answerAt) {
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(kSleepSlice, answerAt - std::chrono::steady_clock::now()));
  }
  WriteReply(host_.Area(), answer, settings.fill ? &*settings.fill : nullptr);
  if (settings.shrinkTo && !host_.ResizeArea(*settings.shrinkTo)) {
    std::cerr << "parlix-sim: the area cannot be resized here" << std::endl;
  }
  host_.SignalDone();
  if (options_.verbose) std::cout << "-> " << Escape(answer) << std::endl;
}

void SimRunner::LogCommand(const std::string& command) {
  if (options_.verbose) std::cout << "<- " << Escape(command) << std::endl;
  if (log_ == nullptr) return;
  std::fputs((Escape(command) + '\n').c_str(), log_);
  std::fflush(log_);
}

}  // namespace vantor::parlixsim
