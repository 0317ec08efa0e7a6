#include "VoiceTestSupport.h"

#include "BuildPaths.h"
#include "Control.h"

#include <vantor/voice/ParlixObjectNames.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace vantor::voice::test {

std::string UniquePrefix() {
  static std::atomic<int> next{0};
  return "vt" + std::to_string(vantor::test::CurrentProcessId()) + "_" + std::to_string(next++) + "_";
}

ScopedPrefix::ScopedPrefix(const std::string& prefix) {
  if (const char* old = std::getenv(kPrefixVariable)) previous_ = old;
  platform::SetVariable(kPrefixVariable, prefix);
}

ScopedPrefix::~ScopedPrefix() { platform::SetVariable(kPrefixVariable, previous_); }

TemporaryFolder::TemporaryFolder() {
  static std::atomic<int> next{0};
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (;;) {
    path_ = base / ("vantor-voice-" + std::to_string(vantor::test::CurrentProcessId()) + "-" + std::to_string(next++));
    if (std::filesystem::create_directory(path_)) return;
  }
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  return static_cast<bool>(file.flush());
}

PxRemoteLibrary::PxRemoteLibrary() { Load(); }

PxRemoteLibrary::~PxRemoteLibrary() { Unload(); }

void PxRemoteLibrary::Reload() {
  Unload();
  Load();
}

void PxRemoteLibrary::Unload() {
  if (handle_ != nullptr) platform::CloseLibrary(handle_);
  handle_ = nullptr;
  missing_.clear();
}

void PxRemoteLibrary::Load() {
  handle_ = platform::OpenLibrary(vantor::test::BuildBinFolder() / platform::LibraryFileName(), error_);
  if (handle_ == nullptr) return;
  Bind(connect, "pxrConnect");
  Bind(disconnect, "pxrDisconnect");
  Bind(quit, "pxrQuit");
  Bind(switchChannelName, "pxrSwitchChannelName");
  Bind(switchChannelId, "pxrSwitchChannelID");
  Bind(setPlayerFlags, "pxrSetPlayerFlags");
  Bind(setWantVoiceReason, "pxrSetWantVoiceReason");
  Bind(setOperator, "pxrSetOperator");
  Bind(setVoice, "pxrSetVoice");
  Bind(kickPlayerFromServer, "pxrKickPlayerFromServer");
  Bind(kickPlayerFromChannel, "pxrKickPlayerFromChannel");
  Bind(sendTextMessageToChannel, "pxrSendTextMessageToChannel");
  Bind(sendTextMessage, "pxrSendTextMessage");
  Bind(getVersion, "pxrGetVersion");
  Bind(getServerInfo, "pxrGetServerInfo");
  Bind(getUserInfo, "pxrGetUserInfo");
  Bind(getChannelInfoById, "pxrGetChannelInfoByID");
  Bind(getChannelInfoByName, "pxrGetChannelInfoByName");
  Bind(getPlayerInfoById, "pxrGetPlayerInfoByID");
  Bind(getPlayerInfoByName, "pxrGetPlayerInfoByName");
  Bind(getChannels, "pxrGetChannels");
  Bind(getPlayers, "pxrGetPlayers");
  Bind(getSpeakers, "pxrGetSpeakers");
  Bind(getLastError, "pxrGetLastError");
}

template <typename Fn>
void PxRemoteLibrary::Bind(Fn& target, const char* name) {
  target = reinterpret_cast<Fn>(platform::FindSymbol(handle_, name));
  if (target != nullptr) return;
  if (!missing_.empty()) missing_ += ", ";
  missing_ += name;
}

std::string PxRemoteLibrary::LastError() const {
  std::vector<char> buffer(1 << 20, '\0');
  getLastError(buffer.data(), static_cast<int32_t>(buffer.size()));
  return std::string(buffer.data());
}

ParlixSim::ParlixSim(std::string prefix) : prefix_(std::move(prefix)) {}

ParlixSim::~ParlixSim() {
  if (Running()) Stop();
}

bool ParlixSim::Start(const std::vector<std::string>& extra) {
  std::vector<std::string> arguments{
      "--prefix", prefix_, "--control", ControlPath().string(), "--log", folder_.File("commands.log").string()};
  arguments.insert(arguments.end(), extra.begin(), extra.end());
  // A stop left in the control file by an earlier run would end this one.
  SetControl("");
  process_ = std::make_unique<vantor::test::TestProcess>(vantor::test::BuiltProgram("parlix-sim"), arguments);
  if (!process_->Started()) return false;
  return WaitForOutput("ready", std::chrono::seconds(10));
}

bool ParlixSim::WaitForOutput(const std::string& text, std::chrono::milliseconds timeout) {
  return process_ != nullptr && process_->WaitForOutput(text, timeout);
}

int ParlixSim::Stop() {
  if (process_ == nullptr) return -1;
  if (process_->Running() && !process_->RequestStop()) SetControl("stop\n");
  if (const auto code = process_->WaitForExit(std::chrono::seconds(5))) return *code;
  process_->Kill();
  process_->WaitForExit(std::chrono::seconds(5));
  return -1;
}

void ParlixSim::Kill() {
  if (process_ == nullptr) return;
  process_->Kill();
  process_->WaitForExit(std::chrono::seconds(5));
}

bool ParlixSim::Running() { return process_ != nullptr && process_->Running(); }

std::string ParlixSim::Output() const {
  return process_ == nullptr ? std::string() : process_->Output() + process_->Errors();
}

void ParlixSim::SetControl(const std::string& directives) {
  const std::filesystem::path path = ControlPath();
  const std::filesystem::path temporary = path.string() + ".new";
  WriteFile(temporary, directives);
  // On Windows the stand-in may have the file open for a moment; the
  // replacement then waits for it.
  for (int attempt = 0;; ++attempt) {
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (!error || attempt == 200) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

std::vector<std::string> ParlixSim::Commands() const {
  std::vector<std::string> commands;
  std::ifstream log(folder_.File("commands.log"), std::ios::binary);
  for (std::string line; std::getline(log, line);) commands.push_back(line);
  return commands;
}

std::vector<std::string> ParlixSim::CommandsWithoutVersion() const {
  std::vector<std::string> commands;
  for (std::string& command : Commands()) {
    if (command != "GET_VERSION") commands.push_back(std::move(command));
  }
  return commands;
}

ProgramRun RunParlixSim(const std::vector<std::string>& arguments) {
  vantor::test::TestProcess process(vantor::test::BuiltProgram("parlix-sim"), arguments);
  ProgramRun run;
  const auto code = process.WaitForExit(std::chrono::seconds(10));
  run.exitCode = code.value_or(-1);
  run.output = process.Output();
  run.errors = process.Errors();
  return run;
}

std::string AnswerDirective(const std::string& command, const std::string& reply) {
  return "answer " + parlixsim::Escape(command) + "\t" + parlixsim::Escape(reply) + "\n";
}

std::string Logged(const std::string& command) { return parlixsim::Escape(command); }

std::string Field(const char* field, std::size_t width) {
  std::size_t length = 0;
  while (length < width && field[length] != '\0') ++length;
  return std::string(field, length);
}

}  // namespace vantor::voice::test
