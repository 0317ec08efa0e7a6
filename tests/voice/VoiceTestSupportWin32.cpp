// The voice tests' look at the named objects on Windows: Parlix's mutex,
// events and file mapping as kernel objects; the library through
// LoadLibrary.
#include "VoiceTestSupport.h"

#include <vantor/voice/ParlixObjectNames.h>

#include <windows.h>

#include <cstdlib>

namespace vantor::voice::test {
namespace {

bool Exists(HANDLE handle) {
  if (handle == nullptr) return false;
  CloseHandle(handle);
  return true;
}

}  // namespace

ObjectPresence ObjectsPresent(const std::string& prefix) {
  const ParlixObjectNames names = ParlixObjectNames::ForPrefix(prefix);
  ObjectPresence presence;
  presence.mutex = Exists(OpenMutexA(SYNCHRONIZE, FALSE, names.operationMutex.c_str()));
  presence.executeEvent = Exists(OpenEventA(SYNCHRONIZE, FALSE, names.executeEvent.c_str()));
  presence.doneEvent = Exists(OpenEventA(SYNCHRONIZE, FALSE, names.doneEvent.c_str()));
  presence.sharedMemory = Exists(OpenFileMappingA(FILE_MAP_READ, FALSE, names.sharedMemory.c_str()));
  return presence;
}

std::optional<std::string> SharedArea(const std::string& prefix) {
  const ParlixObjectNames names = ParlixObjectNames::ForPrefix(prefix);
  const HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, names.sharedMemory.c_str());
  if (mapping == nullptr) return std::nullopt;
  std::optional<std::string> area;
  if (const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)) {
    MEMORY_BASIC_INFORMATION region{};
    if (VirtualQuery(view, &region, sizeof region) != 0) {
      area = std::string(static_cast<const char*>(view), region.RegionSize);
    }
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
  return area;
}

// Mapped views in this process's address space, and its open handles.
std::pair<int, int> OpenResources() {
  int views = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) != 0;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_MAPPED) ++views;
  }
  DWORD handles = 0;
  GetProcessHandleCount(GetCurrentProcess(), &handles);
  return {views, static_cast<int>(handles)};
}

namespace platform {

void SetVariable(const char* name, const std::optional<std::string>& value) {
  // An empty value removes the variable.
  _putenv_s(name, value ? value->c_str() : "");
}

const char* LibraryFileName() { return "PxRemote.dll"; }

void* OpenLibrary(const std::filesystem::path& path, std::string& error) {
  const HMODULE library = LoadLibraryW(path.wstring().c_str());
  if (library == nullptr) error = "cannot load " + path.string() + " (error " + std::to_string(GetLastError()) + ")";
  return reinterpret_cast<void*>(library);
}

void* FindSymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

}  // namespace platform
}  // namespace vantor::voice::test
