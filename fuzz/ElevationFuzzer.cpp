// "elevation.dat" through the loader: a full grid of 7,972,888 bytes loads
// (bytes after it are ignored) with its little-endian samples in place,
// anything shorter fails and leaves a flat grid. Every input costs a whole
// grid, so this target is slow by nature; the line of sight over loaded
// terrain has a target of its own.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "vantor/geo/ElevationGrid.h"

using namespace vantor;

namespace {

void LoadFile(std::uint8_t shape, std::uint16_t extra, std::string_view pattern) {
  // The bytes as they are, a grid short by a little, a full grid, or a full
  // grid with bytes after it, repeating the input's bytes.
  std::string bytes(pattern);
  const int form = shape & 3;
  if (form != 0) {
    std::size_t length = geo::ElevationGrid::kFileBytes;
    if (form == 1) length -= 1 + extra % 4096;
    if (form == 3) length += 1 + extra;
    bytes.resize(length, '\0');
    if (!pattern.empty()) {
      for (std::size_t i = pattern.size(); i < length; ++i) bytes[i] = bytes[i % pattern.size()];
    }
  }
  const auto file = fuzz::WriteScratchFile("elevation.dat", bytes);
  const geo::ElevationGrid::LoadResult loaded = geo::LoadElevation(file);
  FUZZ_CHECK(loaded.Ok() == (bytes.size() >= geo::ElevationGrid::kFileBytes));
  if (!loaded.Ok()) FUZZ_CHECK(loaded.status == geo::ElevationLoadStatus::Short);
  FUZZ_CHECK(loaded.grid.Samples().size() == geo::ElevationGrid::kSampleCount);
  if (loaded.Ok()) {
    // Little-endian samples, row by row.
    const auto sample = [&bytes](std::size_t i) {
      return static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[2 * i]) |
                                       static_cast<std::uint8_t>(bytes[2 * i + 1]) << 8);
    };
    FUZZ_CHECK(loaded.grid.At(0, 0) == sample(0));
    FUZZ_CHECK(loaded.grid.At(geo::ElevationGrid::kRows - 1, geo::ElevationGrid::kColumns - 1) ==
               sample(geo::ElevationGrid::kSampleCount - 1));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  const std::uint8_t form = input.Byte();
  const std::uint16_t extra = input.Word();
  LoadFile(form, extra, input.Rest());
  return 0;
}
