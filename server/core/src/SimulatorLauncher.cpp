#include "vantor/server/SimulatorLauncher.h"

#include <QMetaObject>
#include <QObject>
#include <QSettings>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace vantor::server {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(100);

// A started simulator process, waited for by polling so that the watcher can
// stop without ending the simulator.
class RunningProcess {
 public:
  // nullopt when the process could not be created.
  static std::unique_ptr<RunningProcess> Start(const QString& program, const QString& folder);
  ~RunningProcess();
  // True once the process has ended.
  bool Ended();

 private:
#ifdef _WIN32
  HANDLE process_ = nullptr;
#else
  pid_t pid_ = -1;
#endif
};

#ifdef _WIN32
std::unique_ptr<RunningProcess> RunningProcess::Start(const QString& program, const QString& folder) {
  std::wstring commandLine = L"\"" + program.toStdWString() + L"\"";
  const std::wstring workingFolder = folder.toStdWString();
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, workingFolder.c_str(), &startup,
                      &info)) {
    return nullptr;
  }
  CloseHandle(info.hThread);
  auto process = std::unique_ptr<RunningProcess>(new RunningProcess);
  process->process_ = info.hProcess;
  return process;
}

RunningProcess::~RunningProcess() {
  if (process_) CloseHandle(process_);
}

bool RunningProcess::Ended() { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }
#else
std::unique_ptr<RunningProcess> RunningProcess::Start(const QString& program, const QString& folder) {
  const QByteArray programPath = program.toLocal8Bit();
  const QByteArray workingFolder = folder.toLocal8Bit();
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return nullptr;
  if (posix_spawn_file_actions_addchdir_np(&actions, workingFolder.constData()) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return nullptr;
  }
  char* argv[] = {const_cast<char*>(programPath.constData()), nullptr};
  pid_t pid = -1;
  const int error = posix_spawn(&pid, programPath.constData(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return nullptr;
  auto process = std::unique_ptr<RunningProcess>(new RunningProcess);
  process->pid_ = pid;
  return process;
}

RunningProcess::~RunningProcess() = default;

bool RunningProcess::Ended() {
  int status = 0;
  const pid_t result = waitpid(pid_, &status, WNOHANG);
  return result == pid_ || result < 0;
}
#endif

}  // namespace

class ProcessSimulatorLauncher::Watcher {
 public:
  Watcher(const QString& program, const QString& folder, QObject* context, Callbacks callbacks)
      : context_(context), callbacks_(std::move(callbacks)) {
    thread_ = std::thread([this, program, folder] { Run(program, folder); });
  }

  ~Watcher() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }

  bool Done() const { return done_; }

 private:
  void Run(const QString& program, const QString& folder) {
    std::unique_ptr<RunningProcess> process = RunningProcess::Start(program, folder);
    if (!process) {
      Post(callbacks_.failedToStart);
      done_ = true;
      return;
    }
    std::unique_lock lock(mutex_);
    while (!stopping_) {
      if (process->Ended()) {
        lock.unlock();
        Post(callbacks_.ended);
        done_ = true;
        return;
      }
      wake_.wait_for(lock, kPollInterval);
    }
    done_ = true;
  }

  void Post(const std::function<void()>& callback) {
    if (!callback) return;
    std::lock_guard lock(mutex_);
    if (stopping_ || context_.isNull()) return;
    QMetaObject::invokeMethod(context_.data(), callback, Qt::QueuedConnection);
  }

  QPointer<QObject> context_;
  Callbacks callbacks_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
  std::atomic<bool> done_ = false;
  std::thread thread_;
};

QString SimulatorProgramPath(const QString& folder) {
#ifdef _WIN32
  return folder + QStringLiteral("/falcrest.exe");
#else
  return folder + QStringLiteral("/falcrest");
#endif
}

QString ReadSimulatorFolder() {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Falcrest"),
                     QStringLiteral("Falcrest"));
  // Value names compare without regard to case, as in the registry.
  for (const QString& key : settings.childKeys()) {
    if (key.compare(QStringLiteral("PATH"), Qt::CaseInsensitive) == 0) return settings.value(key).toString();
  }
  return QString();
}

ProcessSimulatorLauncher::ProcessSimulatorLauncher() = default;
ProcessSimulatorLauncher::~ProcessSimulatorLauncher() = default;

void ProcessSimulatorLauncher::Launch(const QString& program, const QString& folder, QObject* context,
                                      Callbacks callbacks) {
  std::erase_if(watchers_, [](const std::unique_ptr<Watcher>& watcher) { return watcher->Done(); });
  watchers_.push_back(std::make_unique<Watcher>(program, folder, context, std::move(callbacks)));
}

}  // namespace vantor::server
