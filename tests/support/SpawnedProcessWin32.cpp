// Child processes on Windows: CreateProcess with two pipes, in a job that
// ends them with the test process.
#include "SpawnedProcess.h"

#include <windows.h>

namespace vantor::test {
namespace {

// One argument quoted as the C runtime's command-line parser reads it back.
std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') backslashes = backslashes * 2 + 1;
    quoted.append(backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  quoted += L'"';
  return quoted;
}

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string ErrorText(const char* what) {
  return std::string(what) + " (error " + std::to_string(GetLastError()) + ")";
}

// Owns one handle.
class Handle {
 public:
  Handle() = default;
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() { Reset(); }
  Handle(Handle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = other.handle_;
      other.handle_ = nullptr;
    }
    return *this;
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  HANDLE Get() const { return handle_; }
  HANDLE* Receive() {
    Reset();
    return &handle_;
  }
  void Reset() {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = nullptr;
  }

 private:
  HANDLE handle_ = nullptr;
};

class Win32Process final : public SpawnedProcess {
 public:
  Win32Process(Handle process, Handle job, Handle output, Handle errors)
      : process_(std::move(process)), job_(std::move(job)), output_(std::move(output)), errors_(std::move(errors)) {}
  ~Win32Process() override {
    if (!exitCode_) {
      TerminateProcess(process_.Get(), 1);
      Wait(std::chrono::seconds(10));
    }
  }
  Win32Process(const Win32Process&) = delete;
  Win32Process& operator=(const Win32Process&) = delete;

  std::size_t Read(Stream stream, char* buffer, std::size_t size) override {
    DWORD count = 0;
    const HANDLE pipe = stream == Stream::Output ? output_.Get() : errors_.Get();
    if (!ReadFile(pipe, buffer, static_cast<DWORD>(size), &count, nullptr)) return 0;  // broken pipe: the end
    return count;
  }
  // A console program has no stop request another process could send it
  // without sharing its console.
  bool RequestStop() override { return false; }
  void Kill() override {
    if (!exitCode_) TerminateProcess(process_.Get(), 1);
  }
  std::optional<int> Wait(std::chrono::milliseconds timeout) override {
    if (exitCode_) return exitCode_;
    if (WaitForSingleObject(process_.Get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    exitCode_ = GetExitCodeProcess(process_.Get(), &code) ? static_cast<int>(code) : -1;
    return exitCode_;
  }

 private:
  Handle process_;
  Handle job_;
  Handle output_;
  Handle errors_;
  std::optional<int> exitCode_;
};

}  // namespace

std::unique_ptr<SpawnedProcess> SpawnedProcess::Spawn(const std::filesystem::path& program,
                                                      const std::vector<std::string>& arguments, std::string& error) {
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  Handle outputRead;
  Handle outputWrite;
  Handle errorsRead;
  Handle errorsWrite;
  if (!CreatePipe(outputRead.Receive(), outputWrite.Receive(), &inheritable, 0) ||
      !CreatePipe(errorsRead.Receive(), errorsWrite.Receive(), &inheritable, 0)) {
    error = ErrorText("cannot create pipes");
    return nullptr;
  }
  // Only the child's ends are inherited.
  SetHandleInformation(outputRead.Get(), HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errorsRead.Get(), HANDLE_FLAG_INHERIT, 0);
  Handle nothing(
      CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr));

  std::wstring commandLine = Quoted(program.wstring());
  for (const std::string& argument : arguments) commandLine += L" " + Quoted(Wide(argument));

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nothing.Get();
  startup.hStdOutput = outputWrite.Get();
  startup.hStdError = errorsWrite.Get();
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(program.wstring().c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr,
                      nullptr, &startup, &info)) {
    error = ErrorText("cannot start the program");
    return nullptr;
  }
  Handle process(info.hProcess);
  Handle thread(info.hThread);
  // A test that dies must not leave its child running: the job, closed with
  // the test process, ends it.
  Handle job(CreateJobObjectW(nullptr, nullptr));
  if (job.Get() != nullptr) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    AssignProcessToJobObject(job.Get(), process.Get());
  }
  ResumeThread(thread.Get());
  return std::make_unique<Win32Process>(std::move(process), std::move(job), std::move(outputRead),
                                        std::move(errorsRead));
}

}  // namespace vantor::test
