#include "VoiceTestSupport.h"

#include "Control.h"
#include "TestSupport.h"

#include <vantor/voice/ParlixObjectNames.h>

#include <QElapsedTimer>
#include <QFile>

#include <fcntl.h>
#include <semaphore.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace vantor::voice::test {

std::string UniquePrefix() {
  static std::atomic<int> next{0};
  return "vt" + std::to_string(getpid()) + "_" + std::to_string(next++) + "_";
}

ScopedPrefix::ScopedPrefix(const std::string& prefix) {
  if (const char* old = std::getenv(kPrefixVariable)) previous_ = old;
  setenv(kPrefixVariable, prefix.c_str(), 1);
}

ScopedPrefix::~ScopedPrefix() {
  if (previous_) {
    setenv(kPrefixVariable, previous_->c_str(), 1);
  } else {
    unsetenv(kPrefixVariable);
  }
}

PxRemoteLibrary::PxRemoteLibrary() : library_(vantor::test::ProgramPath("libPxRemote.so")) { Load(); }

void PxRemoteLibrary::Reload() {
  library_.unload();
  missing_.clear();
  Load();
}

void PxRemoteLibrary::Load() {
  if (!library_.load()) return;
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

PxRemoteLibrary::~PxRemoteLibrary() {
  if (library_.isLoaded()) library_.unload();
}

template <typename Fn>
void PxRemoteLibrary::Bind(Fn& target, const char* name) {
  target = reinterpret_cast<Fn>(library_.resolve(name));
  if (target == nullptr) missing_ << name;
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

QString ParlixSim::ControlPath() const { return folder_.filePath("control.txt"); }

bool ParlixSim::Start(const QStringList& extra) {
  process_ = std::make_unique<QProcess>();
  process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  // A test that dies (time-out, sanitizer abort) must not leave its stand-in
  // running and holding the test runner's output pipe.
  process_->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
  QStringList arguments{"--prefix", QString::fromStdString(prefix_), "--control", ControlPath(),
                        "--log",    folder_.filePath("commands.log")};
  arguments << extra;
  output_.clear();
  process_->start(vantor::test::ProgramPath("parlix-sim"), arguments);
  if (!process_->waitForStarted(5000)) return false;
  return WaitForOutput("ready", std::chrono::seconds(10));
}

bool ParlixSim::WaitForOutput(const QString& text, std::chrono::milliseconds timeout) {
  QElapsedTimer timer;
  timer.start();
  while (!output_.contains(text)) {
    if (timer.elapsed() > timeout.count() || process_ == nullptr) return false;
    if (process_->state() == QProcess::NotRunning) {
      output_ += QString::fromLocal8Bit(process_->readAllStandardOutput());
      return output_.contains(text);
    }
    process_->waitForReadyRead(50);
    output_ += QString::fromLocal8Bit(process_->readAllStandardOutput());
  }
  return true;
}

int ParlixSim::Stop() {
  if (process_ == nullptr) return -1;
  if (process_->state() != QProcess::NotRunning) {
    process_->terminate();
    if (!process_->waitForFinished(5000)) {
      process_->kill();
      process_->waitForFinished(5000);
      return -1;
    }
  }
  output_ += QString::fromLocal8Bit(process_->readAllStandardOutput());
  return process_->exitStatus() == QProcess::NormalExit ? process_->exitCode() : -1;
}

void ParlixSim::Kill() {
  if (process_ == nullptr) return;
  process_->kill();
  process_->waitForFinished(5000);
}

bool ParlixSim::Running() const { return process_ != nullptr && process_->state() != QProcess::NotRunning; }

void ParlixSim::SetControl(const std::string& directives) {
  const std::string path = ControlPath().toStdString();
  const std::string temporary = path + ".new";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << directives;
  }
  std::rename(temporary.c_str(), path.c_str());
}

std::vector<std::string> ParlixSim::Commands() const {
  std::vector<std::string> commands;
  std::ifstream log(folder_.filePath("commands.log").toStdString(), std::ios::binary);
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

std::string AnswerDirective(const std::string& command, const std::string& reply) {
  return "answer " + parlixsim::Escape(command) + "\t" + parlixsim::Escape(reply) + "\n";
}

std::string Logged(const std::string& command) { return parlixsim::Escape(command); }

ObjectPresence ObjectsPresent(const std::string& prefix) {
  const ParlixObjectNames names = ParlixObjectNames::ForPrefix(prefix);
  const auto semaphoreExists = [](const std::string& name) {
    sem_t* semaphore = sem_open(name.c_str(), 0);
    if (semaphore == SEM_FAILED) return false;
    sem_close(semaphore);
    return true;
  };
  ObjectPresence presence;
  presence.mutex = semaphoreExists(names.operationMutex);
  presence.executeEvent = semaphoreExists(names.executeEvent);
  presence.doneEvent = semaphoreExists(names.doneEvent);
  const int memory = shm_open(names.sharedMemory.c_str(), O_RDONLY, 0);
  presence.sharedMemory = memory >= 0;
  if (memory >= 0) close(memory);
  return presence;
}

std::optional<std::string> SharedArea(const std::string& prefix) {
  const ParlixObjectNames names = ParlixObjectNames::ForPrefix(prefix);
  const int memory = shm_open(names.sharedMemory.c_str(), O_RDONLY, 0);
  if (memory < 0) return std::nullopt;
  struct stat status {};
  std::optional<std::string> area;
  if (fstat(memory, &status) == 0 && status.st_size > 0) {
    const auto size = static_cast<std::size_t>(status.st_size);
    void* view = mmap(nullptr, size, PROT_READ, MAP_SHARED, memory, 0);
    if (view != MAP_FAILED) {
      area = std::string(static_cast<const char*>(view), size);
      munmap(view, size);
    }
  }
  close(memory);
  return area;
}

int SharedMemoryMappings() {
  int count = 0;
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    if (line.find("/dev/shm/") != std::string::npos) ++count;
  }
  return count;
}

int OpenDescriptors() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

std::string Field(const char* field, std::size_t width) {
  std::size_t length = 0;
  while (length < width && field[length] != '\0') ++length;
  return std::string(field, length);
}

}  // namespace vantor::voice::test
