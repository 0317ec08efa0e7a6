// The voice tests' look at the named objects on POSIX systems: named
// semaphores and shared memory; the library through dlopen.
#include "VoiceTestSupport.h"

#include <vantor/voice/ParlixObjectNames.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <semaphore.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace vantor::voice::test {

ObjectPresence ObjectsPresent(const std::string& prefix) {
  const ParlixObjectNames names = ParlixObjectNames::ForPrefix(prefix);
  const auto semaphoreExists = [](const std::string& name) {
    sem_t* semaphore = sem_open(name.c_str(), 0);
    if (semaphore == SEM_FAILED) return false;
    sem_close(semaphore);
    return true;
  };
  ObjectPresence presence;
  presence.mutex = semaphoreExists(names.operationMutex);
  presence.executeEvent = semaphoreExists(names.executeEvent);
  presence.doneEvent = semaphoreExists(names.doneEvent);
  const int memory = shm_open(names.sharedMemory.c_str(), O_RDONLY, 0);
  presence.sharedMemory = memory >= 0;
  if (memory >= 0) close(memory);
  return presence;
}

std::optional<std::string> SharedArea(const std::string& prefix) {
  const ParlixObjectNames names = ParlixObjectNames::ForPrefix(prefix);
  const int memory = shm_open(names.sharedMemory.c_str(), O_RDONLY, 0);
  if (memory < 0) return std::nullopt;
  struct stat status {};
  std::optional<std::string> area;
  if (fstat(memory, &status) == 0 && status.st_size > 0) {
    const auto size = static_cast<std::size_t>(status.st_size);
    void* view = mmap(nullptr, size, PROT_READ, MAP_SHARED, memory, 0);
    if (view != MAP_FAILED) {
      area = std::string(static_cast<const char*>(view), size);
      munmap(view, size);
    }
  }
  close(memory);
  return area;
}

// Named semaphores and shared memory stay mapped while open (a semaphore
// just created shows under a temporary name); descriptors are counted too.
std::pair<int, int> OpenResources() {
  int mappings = 0;
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    if (line.find("/dev/shm/") != std::string::npos) ++mappings;
  }
  int descriptors = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++descriptors;
  return {mappings, descriptors};
}

namespace platform {

void SetVariable(const char* name, const std::optional<std::string>& value) {
  if (value) {
    setenv(name, value->c_str(), 1);
  } else {
    unsetenv(name);
  }
}

const char* LibraryFileName() { return "libPxRemote.so"; }

void* OpenLibrary(const std::filesystem::path& path, std::string& error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) error = dlerror();
  return library;
}

void* FindSymbol(void* library, const char* name) { return dlsym(library, name); }

void CloseLibrary(void* library) { dlclose(library); }

}  // namespace platform
}  // namespace vantor::voice::test
