#pragma once
// Parlix's side of the named objects: it creates the operation mutex, the
// shared text area and the two events, and removes them when it ends.

#include <vantor/voice/ParlixObjectNames.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace vantor::parlixsim {

class ParlixHost {
 public:
  virtual ~ParlixHost() = default;

  // The whole shared text area.
  virtual std::span<char> Area() = 0;
  // Waits for a command to be signalled, up to `timeout`.
  virtual bool WaitExecute(std::chrono::milliseconds timeout) = 0;
  virtual void SignalDone() = 0;
  // Takes the operation mutex as a client would, to keep clients out.
  virtual bool AcquireOperationMutex(std::chrono::milliseconds timeout) = 0;
  virtual void ReleaseOperationMutex() = 0;
  // Changes the size of the shared area under its clients; false where the
  // platform cannot (a Win32 section keeps its size).
  virtual bool ResizeArea(std::size_t) { return false; }
};

// Creates the objects under `names`, first removing leftovers of a stand-in
// that died without cleaning up. Throws std::runtime_error on failure.
std::unique_ptr<ParlixHost> CreateParlixHost(const voice::ParlixObjectNames& names, std::size_t areaSize);

// The NUL-terminated command at the start of the area (cut at its end).
std::string ReadCommand(std::span<const char> area);
// Writes `reply` from offset 0, cut to the area; then a NUL, or `fill` up to
// the area's end when given (a reply without NUL, for testing readers).
void WriteReply(std::span<char> area, std::string_view reply, const char* fill);

}  // namespace vantor::parlixsim
