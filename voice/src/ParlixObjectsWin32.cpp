// Parlix's own Win32 kernel objects: a mutex, two auto-reset events and a
// named file mapping.
#include "ParlixChannel.h"

#include <windows.h>

#include <utility>

namespace vantor::voice {
namespace {

DWORD Milliseconds(std::chrono::milliseconds timeout) { return static_cast<DWORD>(timeout.count()); }

class Win32ParlixObjects final : public ParlixObjects {
 public:
  explicit Win32ParlixObjects(ParlixObjectNames names) : names_(std::move(names)) {}

  ~Win32ParlixObjects() override {
    if (view_ != nullptr) UnmapViewOfFile(view_);
    if (mapping_ != nullptr) CloseHandle(mapping_);
    if (done_ != nullptr) CloseHandle(done_);
    if (execute_ != nullptr) CloseHandle(execute_);
    if (mutex_ != nullptr) CloseHandle(mutex_);
  }

  Win32ParlixObjects(const Win32ParlixObjects&) = delete;
  Win32ParlixObjects& operator=(const Win32ParlixObjects&) = delete;

  bool OpenOperationMutex() override {
    mutex_ = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, names_.operationMutex.c_str());
    return mutex_ != nullptr;
  }
  bool ObtainExecuteEvent() override {
    execute_ = CreateEventA(nullptr, FALSE, FALSE, names_.executeEvent.c_str());
    return execute_ != nullptr;
  }
  bool ObtainDoneEvent() override {
    done_ = CreateEventA(nullptr, FALSE, FALSE, names_.doneEvent.c_str());
    return done_ != nullptr;
  }
  bool OpenSharedMemory() override {
    mapping_ = OpenFileMappingA(FILE_MAP_WRITE, FALSE, names_.sharedMemory.c_str());
    return mapping_ != nullptr;
  }
  bool MapView() override {
    view_ = static_cast<char*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (view_ == nullptr) return false;
    // The view covers whole pages of the mapping; its size bounds every
    // write and read.
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(view_, &region, sizeof region) == 0) return false;
    viewSize_ = region.RegionSize;
    return true;
  }
  std::span<char> View() const override { return {view_, viewSize_}; }

  MutexWait WaitOperationMutex(std::chrono::milliseconds timeout) override {
    switch (WaitForSingleObject(mutex_, Milliseconds(timeout))) {
      case WAIT_OBJECT_0:
        return MutexWait::Acquired;
      case WAIT_ABANDONED:
        // Owned now, left by a process that died holding it: give it back at
        // once so the next exchange is not blocked by the dead owner.
        ReleaseMutex(mutex_);
        return MutexWait::NotAcquired;
      default:
        return MutexWait::NotAcquired;
    }
  }
  void ReleaseOperationMutex() override { ReleaseMutex(mutex_); }
  bool ResetDoneEvent() override { return ResetEvent(done_) != FALSE; }
  bool SignalExecuteEvent() override { return SetEvent(execute_) != FALSE; }
  bool WaitDoneEvent(std::chrono::milliseconds timeout) override {
    return WaitForSingleObject(done_, Milliseconds(timeout)) == WAIT_OBJECT_0;
  }

 private:
  ParlixObjectNames names_;
  HANDLE mutex_ = nullptr;
  HANDLE execute_ = nullptr;
  HANDLE done_ = nullptr;
  HANDLE mapping_ = nullptr;
  char* view_ = nullptr;
  std::size_t viewSize_ = 0;
};

}  // namespace

std::unique_ptr<ParlixObjects> CreateParlixObjects(const ParlixObjectNames& names) {
  return std::make_unique<Win32ParlixObjects>(names);
}

}  // namespace vantor::voice
