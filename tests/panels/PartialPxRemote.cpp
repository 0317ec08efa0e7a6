// A voice library that exports only two of the four functions the client
// binds, and counts the calls it gets.
#include <cstdint>

namespace {
int calls = 0;
}

// NOLINTBEGIN(readability-identifier-naming)
extern "C" __attribute__((visibility("default"))) std::int32_t pxrSwitchChannelID(std::int32_t, const char*) {
  ++calls;
  return 0;
}
extern "C" __attribute__((visibility("default"))) std::int32_t pxrGetChannels(void*, std::int32_t* count) {
  ++calls;
  *count = 0;
  return 0;
}
extern "C" __attribute__((visibility("default"))) int partialCalls() { return calls; }
// NOLINTEND(readability-identifier-naming)
