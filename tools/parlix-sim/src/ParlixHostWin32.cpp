// The objects as Win32 kernel objects; they vanish with their last handle,
// so nothing is left behind by a stand-in that dies.
#include "ParlixHost.h"

#include <windows.h>

#include <stdexcept>

namespace vantor::parlixsim {
namespace {

std::runtime_error Failure(const std::string& what, const std::string& name) {
  return std::runtime_error(what + " " + name + " (error " + std::to_string(GetLastError()) + ")");
}

class Win32ParlixHost final : public ParlixHost {
 public:
  Win32ParlixHost(const voice::ParlixObjectNames& names, std::size_t areaSize) {
    try {
      mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(areaSize),
                                    names.sharedMemory.c_str());
      if (mapping_ == nullptr) throw Failure("cannot create file mapping", names.sharedMemory);
      // Only Parlix creates the mapping: if it exists, a Parlix or another
      // stand-in is serving these names already.
      if (GetLastError() == ERROR_ALREADY_EXISTS) {
        throw std::runtime_error("another Parlix already serves " + names.sharedMemory);
      }
      area_ = static_cast<char*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
      if (area_ == nullptr) throw Failure("cannot map", names.sharedMemory);
      areaSize_ = areaSize;
      execute_ = CreateEventA(nullptr, FALSE, FALSE, names.executeEvent.c_str());
      if (execute_ == nullptr) throw Failure("cannot create event", names.executeEvent);
      done_ = CreateEventA(nullptr, FALSE, FALSE, names.doneEvent.c_str());
      if (done_ == nullptr) throw Failure("cannot create event", names.doneEvent);
      mutex_ = CreateMutexA(nullptr, FALSE, names.operationMutex.c_str());
      if (mutex_ == nullptr) throw Failure("cannot create mutex", names.operationMutex);
    } catch (...) {
      Close();
      throw;
    }
  }

  ~Win32ParlixHost() override { Close(); }

  Win32ParlixHost(const Win32ParlixHost&) = delete;
  Win32ParlixHost& operator=(const Win32ParlixHost&) = delete;

  std::span<char> Area() override { return {area_, areaSize_}; }
  bool WaitExecute(std::chrono::milliseconds timeout) override {
    return WaitForSingleObject(execute_, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
  }
  void SignalDone() override { SetEvent(done_); }
  bool AcquireOperationMutex(std::chrono::milliseconds timeout) override {
    const DWORD result = WaitForSingleObject(mutex_, static_cast<DWORD>(timeout.count()));
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
  }
  void ReleaseOperationMutex() override { ReleaseMutex(mutex_); }

 private:
  void Close() {
    if (mutex_ != nullptr) CloseHandle(mutex_);
    if (done_ != nullptr) CloseHandle(done_);
    if (execute_ != nullptr) CloseHandle(execute_);
    if (area_ != nullptr) UnmapViewOfFile(area_);
    if (mapping_ != nullptr) CloseHandle(mapping_);
    mutex_ = done_ = execute_ = mapping_ = nullptr;
    area_ = nullptr;
  }

  HANDLE mapping_ = nullptr;
  HANDLE execute_ = nullptr;
  HANDLE done_ = nullptr;
  HANDLE mutex_ = nullptr;
  char* area_ = nullptr;
  std::size_t areaSize_ = 0;
};

}  // namespace

std::unique_ptr<ParlixHost> CreateParlixHost(const voice::ParlixObjectNames& names, std::size_t areaSize) {
  return std::make_unique<Win32ParlixHost>(names, areaSize);
}

}  // namespace vantor::parlixsim
