// Child processes on POSIX systems: fork and exec with two pipes.
#include "SpawnedProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#if defined(__linux__)
#include <sys/prctl.h>
#endif

#include <cerrno>
#include <cstring>
#include <thread>

namespace vantor::test {
namespace {

class PosixProcess final : public SpawnedProcess {
 public:
  PosixProcess(pid_t pid, int output, int errors) : pid_(pid), output_(output), errors_(errors) {}
  ~PosixProcess() override {
    if (!exitCode_) {
      kill(pid_, SIGKILL);
      Wait(std::chrono::seconds(10));
    }
    close(output_);
    close(errors_);
  }
  PosixProcess(const PosixProcess&) = delete;
  PosixProcess& operator=(const PosixProcess&) = delete;

  std::size_t Read(Stream stream, char* buffer, std::size_t size) override {
    const int descriptor = stream == Stream::Output ? output_ : errors_;
    for (;;) {
      const ssize_t count = read(descriptor, buffer, size);
      if (count >= 0) return static_cast<std::size_t>(count);
      if (errno != EINTR) return 0;
    }
  }
  bool RequestStop() override {
    if (!exitCode_) kill(pid_, SIGTERM);
    return true;
  }
  void Kill() override {
    if (!exitCode_) kill(pid_, SIGKILL);
  }
  std::optional<int> Wait(std::chrono::milliseconds timeout) override {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!exitCode_) {
      int status = 0;
      const pid_t ended = waitpid(pid_, &status, WNOHANG);
      if (ended == pid_) {
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      } else if (ended < 0 && errno != EINTR) {
        exitCode_ = -1;
      } else if (std::chrono::steady_clock::now() >= deadline) {
        return std::nullopt;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      }
    }
    return exitCode_;
  }

 private:
  pid_t pid_;
  int output_;
  int errors_;
  std::optional<int> exitCode_;
};

}  // namespace

std::unique_ptr<SpawnedProcess> SpawnedProcess::Spawn(const std::filesystem::path& program,
                                                      const std::vector<std::string>& arguments, std::string& error) {
  int output[2];
  int errors[2];
  if (pipe2(output, O_CLOEXEC) != 0) {
    error = std::strerror(errno);
    return nullptr;
  }
  if (pipe2(errors, O_CLOEXEC) != 0) {
    error = std::strerror(errno);
    close(output[0]);
    close(output[1]);
    return nullptr;
  }
  const std::string path = program.string();
  std::vector<std::string> texts{path};
  texts.insert(texts.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);
  const pid_t parent = getpid();

  const pid_t pid = fork();
  if (pid == 0) {
    // Only async-signal-safe calls until exec.
#if defined(__linux__)
    // A test that dies must not leave its child running and holding the
    // test runner's output.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
#endif
    const int nothing = open("/dev/null", O_RDONLY);
    if (nothing >= 0) dup2(nothing, STDIN_FILENO);
    dup2(output[1], STDOUT_FILENO);
    dup2(errors[1], STDERR_FILENO);
    execv(path.c_str(), argv.data());
    _exit(127);
  }
  close(output[1]);
  close(errors[1]);
  if (pid < 0) {
    error = std::strerror(errno);
    close(output[0]);
    close(errors[0]);
    return nullptr;
  }
  (void)parent;
  return std::make_unique<PosixProcess>(pid, output[0], errors[0]);
}

}  // namespace vantor::test
