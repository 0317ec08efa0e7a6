#pragma once
// The platform's part of TestProcess: start a program with its standard
// output and error on two pipes, read them, end it, wait for it. One
// implementation on POSIX (fork/exec, signals), one on Win32 (CreateProcess,
// TerminateProcess).

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantor::test {

class SpawnedProcess {
 public:
  enum class Stream { Output, Errors };

  // Starts `program` with `arguments`; null with `error` set when it cannot.
  // The child ends with the test process, however the test process ends.
  static std::unique_ptr<SpawnedProcess> Spawn(const std::filesystem::path& program,
                                               const std::vector<std::string>& arguments, std::string& error);

  virtual ~SpawnedProcess() = default;

  // Blocks until bytes arrive; 0 once the child's end of the pipe is closed.
  // Each stream is read by one thread at a time.
  virtual std::size_t Read(Stream stream, char* buffer, std::size_t size) = 0;
  // Asks the program to end as the platform's stop request does (SIGTERM);
  // false where the platform has none for a console program (Win32).
  virtual bool RequestStop() = 0;
  // Ends the program at once (SIGKILL, TerminateProcess), as a crash would.
  virtual void Kill() = 0;
  // The exit code once the program has ended within `timeout`; -1 for an
  // end by signal.
  virtual std::optional<int> Wait(std::chrono::milliseconds timeout) = 0;
};

}  // namespace vantor::test
