#pragma once
// A program of the build run as a child of a test, without Qt: its standard
// output and error collected as they come, ended (killed) when the test lets
// go of it. Runs the same on POSIX systems and on Windows.

#include "SpawnedProcess.h"

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vantor::test {

class TestProcess {
 public:
  TestProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments);
  ~TestProcess();
  TestProcess(const TestProcess&) = delete;
  TestProcess& operator=(const TestProcess&) = delete;

  bool Started() const { return process_ != nullptr; }
  const std::string& StartError() const { return startError_; }

  // Everything written so far to standard output and to standard error.
  std::string Output() const;
  std::string Errors() const;
  // Waits until the standard output holds `text` (false at time-out or when
  // the program ended without writing it).
  bool WaitForOutput(std::string_view text, std::chrono::milliseconds timeout);

  // The exit code once the program has ended within `timeout` and both of
  // its streams are read to their end.
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
  bool Running();
  // See SpawnedProcess::RequestStop and Kill.
  bool RequestStop();
  void Kill();

 private:
  void Collect(SpawnedProcess::Stream stream, std::string& into, bool& ended);

  std::string startError_;
  std::unique_ptr<SpawnedProcess> process_;
  std::optional<int> exitCode_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::string output_;
  std::string errors_;
  bool outputEnded_ = false;
  bool errorsEnded_ = false;
  std::thread outputReader_;
  std::thread errorsReader_;
};

}  // namespace vantor::test
