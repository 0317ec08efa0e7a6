#include "TestProcess.h"

namespace vantor::test {

TestProcess::TestProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments)
    : process_(SpawnedProcess::Spawn(program, arguments, startError_)) {
  if (process_ == nullptr) return;
  outputReader_ = std::thread([this] { Collect(SpawnedProcess::Stream::Output, output_, outputEnded_); });
  errorsReader_ = std::thread([this] { Collect(SpawnedProcess::Stream::Errors, errors_, errorsEnded_); });
}

TestProcess::~TestProcess() {
  if (process_ == nullptr) return;
  if (!WaitForExit(std::chrono::milliseconds(0))) {
    process_->Kill();
    WaitForExit(std::chrono::seconds(10));
  }
  // The readers end with the pipes, which close with the program.
  outputReader_.join();
  errorsReader_.join();
}

void TestProcess::Collect(SpawnedProcess::Stream stream, std::string& into, bool& ended) {
  char buffer[4096];
  for (;;) {
    const std::size_t count = process_->Read(stream, buffer, sizeof buffer);
    const std::lock_guard<std::mutex> lock(mutex_);
    if (count == 0) {
      ended = true;
      changed_.notify_all();
      return;
    }
    into.append(buffer, count);
    changed_.notify_all();
  }
}

std::string TestProcess::Output() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return output_;
}

std::string TestProcess::Errors() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return errors_;
}

bool TestProcess::WaitForOutput(std::string_view text, std::chrono::milliseconds timeout) {
  if (process_ == nullptr) return false;
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return output_.find(text) != std::string::npos || outputEnded_; }) &&
         output_.find(text) != std::string::npos;
}

std::optional<int> TestProcess::WaitForExit(std::chrono::milliseconds timeout) {
  if (process_ == nullptr) return std::nullopt;
  if (!exitCode_) {
    exitCode_ = process_->Wait(timeout);
    if (!exitCode_) return std::nullopt;
  }
  // What the program wrote before it ended is collected before the caller
  // looks at it.
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, std::chrono::seconds(5), [&] { return outputEnded_ && errorsEnded_; });
  return exitCode_;
}

bool TestProcess::Running() {
  if (process_ == nullptr) return false;
  if (!exitCode_) exitCode_ = process_->Wait(std::chrono::milliseconds(0));
  return !exitCode_;
}

bool TestProcess::RequestStop() { return process_ != nullptr && process_->RequestStop(); }

void TestProcess::Kill() {
  if (process_ != nullptr) process_->Kill();
}

}  // namespace vantor::test
