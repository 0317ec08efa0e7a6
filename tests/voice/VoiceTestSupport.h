#pragma once
// Helpers for the voice tests, the same on POSIX systems and on Windows: the
// PxRemote library loaded afresh per test, a parlix-sim process under the
// test's own object-name prefix, and direct looks at the named objects.

#include <PxRemote.h>

#include "TestProcess.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
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

// A fresh folder in the system's temporary folder, removed with the object.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  std::filesystem::path File(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Writes `text` to `path` (binary); false when it cannot.
bool WriteFile(const std::filesystem::path& path, const std::string& text);

// The PxRemote library ("libPxRemote.so", "PxRemote.dll") loaded by file
// name, with every export bound by name as a client binds them. Unloading
// drops the library's state (last error, cached version), so each test
// starts as a fresh process would.
class PxRemoteLibrary {
 public:
  PxRemoteLibrary();
  ~PxRemoteLibrary();
  PxRemoteLibrary(const PxRemoteLibrary&) = delete;
  PxRemoteLibrary& operator=(const PxRemoteLibrary&) = delete;

  // Unloads and loads again, as a new process would find it.
  void Reload();

  bool Loaded() const { return handle_ != nullptr; }
  const std::string& ErrorString() const { return error_; }
  // The names that did not resolve, joined by ", ".
  const std::string& Missing() const { return missing_; }

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
  void Unload();
  template <typename Fn>
  void Bind(Fn& target, const char* name);

  void* handle_ = nullptr;
  std::string error_;
  std::string missing_;
};

// A parlix-sim process. Start() waits for its "ready" line; the destructor
// stops it.
class ParlixSim {
 public:
  explicit ParlixSim(std::string prefix);
  ~ParlixSim();
  ParlixSim(const ParlixSim&) = delete;
  ParlixSim& operator=(const ParlixSim&) = delete;

  // Starts with --prefix, --control and --log in a temporary folder plus
  // `extra` options; false when it did not report ready.
  bool Start(const std::vector<std::string>& extra = {});
  // Asks it to end (SIGTERM on POSIX, a "stop" in its control file on
  // Windows) and waits; returns the exit code (-1 when it did not end).
  int Stop();
  // Ends it at once, as a crash (SIGKILL, TerminateProcess).
  void Kill();
  bool Running();
  // Waits for standard output to contain `text`.
  bool WaitForOutput(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(5));

  // Replaces the control file (atomically).
  void SetControl(const std::string& directives);
  // Commands received so far, escaped, one per entry.
  std::vector<std::string> Commands() const;
  // Commands received so far, without the version queries.
  std::vector<std::string> CommandsWithoutVersion() const;

  std::filesystem::path ControlPath() const { return folder_.File("control.txt"); }
  const std::string& Prefix() const { return prefix_; }
  // Standard output, then standard error.
  std::string Output() const;

 private:
  std::string prefix_;
  TemporaryFolder folder_;
  std::unique_ptr<vantor::test::TestProcess> process_;
};

// parlix-sim run to its end with `arguments`: exit code (-1 when it did not
// end within 10 s), standard output and standard error.
struct ProgramRun {
  int exitCode = -1;
  std::string output;
  std::string errors;
};
ProgramRun RunParlixSim(const std::vector<std::string>& arguments);

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
  bool All() const { return mutex && executeEvent && doneEvent && sharedMemory; }
};
ObjectPresence ObjectsPresent(const std::string& prefix);

// The bytes of the shared text area, read directly.
std::optional<std::string> SharedArea(const std::string& prefix);

// What this process holds open of the kind an exchange opens: mappings of
// shared memory and open descriptors (POSIX), mapped views and handles
// (Windows).
std::pair<int, int> OpenResources();

// A text field of a record, bounded by its width.
std::string Field(const char* field, std::size_t width);

// Elapsed wall time of `call` in milliseconds.
template <typename Call>
long long MillisecondsOf(Call call) {
  const auto start = std::chrono::steady_clock::now();
  call();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

// The platform's pieces, in VoiceTestSupportPosix.cpp or ...Win32.cpp.
namespace platform {
void SetVariable(const char* name, const std::optional<std::string>& value);
const char* LibraryFileName();
void* OpenLibrary(const std::filesystem::path& path, std::string& error);
void* FindSymbol(void* library, const char* name);
void CloseLibrary(void* library);
}  // namespace platform

}  // namespace vantor::voice::test
