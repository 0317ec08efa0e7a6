#include "BuildPaths.h"

#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace vantor::test {

std::filesystem::path BuildBinFolder() {
  if (const char* dir = std::getenv("VANTOR_BIN_DIR"); dir != nullptr && *dir != '\0') return dir;
#if defined(_WIN32)
  std::wstring self(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
    if (length < self.size()) {
      self.resize(length);
      break;
    }
    self.resize(self.size() * 2);
  }
  return std::filesystem::path(self).parent_path().parent_path() / "bin";
#else
  return VANTOR_TEST_BIN_DIR;
#endif
}

std::filesystem::path BuiltProgram(const std::string& name) {
#if defined(_WIN32)
  return BuildBinFolder() / (name + ".exe");
#else
  return BuildBinFolder() / name;
#endif
}

long CurrentProcessId() {
#if defined(_WIN32)
  return static_cast<long>(GetCurrentProcessId());
#else
  return static_cast<long>(getpid());
#endif
}

}  // namespace vantor::test
