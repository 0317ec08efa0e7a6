#pragma once
// Names of the Parlix client's kernel objects, shared by the PxRemote library
// and the parlix-sim stand-in so both sides always agree on them.

#include <cstdlib>
#include <string>
#include <string_view>

namespace vantor::voice {

inline constexpr std::string_view kOperationMutexName = "parlix_Operation_Start_Mutex";
inline constexpr std::string_view kExecuteEventName = "parlix_Execute_Event";
inline constexpr std::string_view kDoneEventName = "parlix_Done_Event";
inline constexpr std::string_view kSharedMemoryName = "parlix_File_Mapping";

// Environment variable whose text is put in front of every object name, so a
// stand-in and its callers (tests above all) can run beside other Parlix
// instances on the same machine. Unset or empty: the real names.
inline constexpr const char* kPrefixVariable = "VANTOR_PARLIX_PREFIX";

inline std::string PrefixFromEnvironment() {
  const char* prefix = std::getenv(kPrefixVariable);
  return prefix != nullptr ? std::string(prefix) : std::string();
}

struct ParlixObjectNames {
  std::string operationMutex;
  std::string executeEvent;
  std::string doneEvent;
  std::string sharedMemory;

  // Windows kernel object names are used as they stand; POSIX names of
  // semaphores and shared memory must start with '/' and hold no other '/'.
  static ParlixObjectNames ForPrefix(std::string_view prefix) {
    std::string lead;
#if !defined(_WIN32)
    lead = "/";
#endif
    for (const char c : prefix) lead += (c == '/' || c == '\\') ? '_' : c;
    return ParlixObjectNames{lead + std::string(kOperationMutexName), lead + std::string(kExecuteEventName),
                             lead + std::string(kDoneEventName), lead + std::string(kSharedMemoryName)};
  }
};

}  // namespace vantor::voice
