#pragma once
// Helpers for the voice tests: the PxRemote library loaded afresh per test,
// a parlix-sim process under the test's own object-name prefix, and direct
// looks at the named objects.

#include <PxRemote.h>

#include <QLibrary>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantor::voice::test {

// A prefix no other test process uses ("vt<pid>_<n>_").
std::string UniquePrefix();

// Sets VANTOR_PARLIX_PREFIX for the life of the object.
class ScopedPrefix {
 public:
  explicit ScopedPrefix(const std::string& prefix);
  ~ScopedPrefix();
  ScopedPrefix(const ScopedPrefix&) = delete;
  ScopedPrefix& operator=(const ScopedPrefix&) = delete;

 private:
  std::optional<std::string> previous_;
};

// libPxRemote.so loaded by file name, with every export bound by name as a
// client binds them. Unloading drops the library's state (last error, cached
// version), so each test starts as a fresh process would.
class PxRemoteLibrary {
 public:
  PxRemoteLibrary();
  ~PxRemoteLibrary();
  PxRemoteLibrary(const PxRemoteLibrary&) = delete;
  PxRemoteLibrary& operator=(const PxRemoteLibrary&) = delete;

  // Unloads and loads again, as a new process would find it.
  void Reload();

  bool Loaded() const { return library_.isLoaded(); }
  QString ErrorString() const { return library_.errorString(); }
  // The names that did not resolve.
  QStringList Missing() const { return missing_; }

  // The whole last-error text.
  std::string LastError() const;

  PxrConnectFn connect = nullptr;
  PxrNoArgFn disconnect = nullptr;
  PxrNoArgFn quit = nullptr;
  PxrSwitchChannelNameFn switchChannelName = nullptr;
  PxrSwitchChannelIDFn switchChannelId = nullptr;
  PxrIntFn setPlayerFlags = nullptr;
  PxrTextFn setWantVoiceReason = nullptr;
  PxrIntIntFn setOperator = nullptr;
  PxrIntIntFn setVoice = nullptr;
  PxrIntTextFn kickPlayerFromServer = nullptr;
  PxrIntTextFn kickPlayerFromChannel = nullptr;
  PxrIntTextFn sendTextMessageToChannel = nullptr;
  PxrTextFn sendTextMessage = nullptr;
  PxrGetVersionFn getVersion = nullptr;
  PxrGetServerInfoFn getServerInfo = nullptr;
  PxrGetUserInfoFn getUserInfo = nullptr;
  PxrGetChannelInfoByIDFn getChannelInfoById = nullptr;
  PxrGetChannelInfoByNameFn getChannelInfoByName = nullptr;
  PxrGetPlayerInfoByIDFn getPlayerInfoById = nullptr;
  PxrGetPlayerInfoByNameFn getPlayerInfoByName = nullptr;
  PxrGetChannelsFn getChannels = nullptr;
  PxrGetPlayersFn getPlayers = nullptr;
  PxrGetSpeakersFn getSpeakers = nullptr;
  PxrGetLastErrorFn getLastError = nullptr;

 private:
  void Load();
  template <typename Fn>
  void Bind(Fn& target, const char* name);

  QLibrary library_;
  QStringList missing_;
};

// A parlix-sim process. Start() waits for its "ready" line; the destructor
// stops it with SIGTERM.
class ParlixSim {
 public:
  explicit ParlixSim(std::string prefix);
  ~ParlixSim();
  ParlixSim(const ParlixSim&) = delete;
  ParlixSim& operator=(const ParlixSim&) = delete;

  // Starts with --prefix, --control and --log in a temporary folder plus
  // `extra` options; false when it did not report ready.
  bool Start(const QStringList& extra = {});
  // SIGTERM and wait; returns the exit code (-1 when it did not end).
  int Stop();
  // SIGKILL, as a crash: the objects stay behind.
  void Kill();
  bool Running() const;
  // Waits for a line of standard output containing `text`.
  bool WaitForOutput(const QString& text, std::chrono::milliseconds timeout = std::chrono::seconds(5));

  // Replaces the control file (atomically).
  void SetControl(const std::string& directives);
  // Commands received so far, escaped, one per entry.
  std::vector<std::string> Commands() const;
  // Commands received so far, without the version queries.
  std::vector<std::string> CommandsWithoutVersion() const;

  QString ControlPath() const;
  const std::string& Prefix() const { return prefix_; }
  QString Output() const { return output_; }

 private:
  std::string prefix_;
  QTemporaryDir folder_;
  std::unique_ptr<QProcess> process_;
  QString output_;
};

// "answer <command>TAB<reply>" with the control file's escapes.
std::string AnswerDirective(const std::string& command, const std::string& reply);
// A command as it appears in the command log.
std::string Logged(const std::string& command);

// Whether each of the four named objects exists under `prefix`.
struct ObjectPresence {
  bool mutex = false;
  bool executeEvent = false;
  bool doneEvent = false;
  bool sharedMemory = false;
  bool Any() const { return mutex || executeEvent || doneEvent || sharedMemory; }
};
ObjectPresence ObjectsPresent(const std::string& prefix);

// The bytes of the shared text area, read directly.
std::optional<std::string> SharedArea(const std::string& prefix);

// Mappings of named semaphores and shared memory in this process (both stay
// mapped while open; a semaphore just created shows under a temporary
// name), and this process's open descriptors.
int SharedMemoryMappings();
int OpenDescriptors();

// A text field of a record, bounded by its width.
std::string Field(const char* field, std::size_t width);

// Elapsed wall time of `call` in milliseconds.
template <typename Call>
long long MillisecondsOf(Call call) {
  const auto start = std::chrono::steady_clock::now();
  call();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace vantor::voice::test
