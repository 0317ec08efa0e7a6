#pragma once
// What every fuzz target shares: reading an input as a few parameters and a
// run of chunks, a scratch folder for the file readers, and a check that
// stops the run on a broken rule.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

// A rule the code must keep whatever the input: abort, so the fuzzer keeps
// the input as a crash.
#define FUZZ_CHECK(condition)                                                                  \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                            \
    }                                                                                          \
  } while (false)

namespace vantor::fuzz {

// The input read from the front: single bytes and little-endian words for
// parameters (0 once the input is used up), chunks framed by a 2-byte
// little-endian length (shorter at the end of the input).
class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : text_(reinterpret_cast<const char*>(data), size) {}

  bool Empty() const { return text_.empty(); }
  std::uint8_t Byte() {
    if (text_.empty()) return 0;
    const auto value = static_cast<std::uint8_t>(text_.front());
    text_.remove_prefix(1);
    return value;
  }
  std::uint16_t Word() {
    const std::uint16_t low = Byte();
    return static_cast<std::uint16_t>(low | (Byte() << 8));
  }
  std::string_view Chunk() {
    const std::size_t length = std::min<std::size_t>(Word(), text_.size());
    const std::string_view chunk = text_.substr(0, length);
    text_.remove_prefix(length);
    return chunk;
  }
  std::string_view Rest() {
    const std::string_view rest = text_;
    text_ = {};
    return rest;
  }

 private:
  std::string_view text_;
};

// A folder of this process's own, removed when it ends.
const std::filesystem::path& ScratchFolder();
// Writes `bytes` to `name` in the scratch folder and returns its path.
std::filesystem::path WriteScratchFile(std::string_view name, std::string_view bytes);
std::string ReadWholeFile(const std::filesystem::path& path);

}  // namespace vantor::fuzz
