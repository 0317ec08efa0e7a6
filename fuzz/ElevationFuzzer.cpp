// The elevation file's size rule (a full grid of 7,972,888 bytes, more is
// ignored, less fails) and the terrain line of sight: counts stay within
// their limit, the verdict follows the count, an end outside the tested box
// is never masked.
//
// A grid costs megabytes to build, so most inputs query terrains built once
// at start; now and then an input goes through the file loader.
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "vantor/geo/ElevationGrid.h"

using namespace vantor;

namespace {

double Coordinate(fuzz::FuzzInput& input, double low, double span) {
  return low + span * (static_cast<double>(input.Word()) / 65535.0);
}

// Flat, ridges across the whole theatre, and sharp random spikes.
std::vector<std::unique_ptr<geo::ElevationGrid>> MakeTerrains() {
  std::vector<std::unique_ptr<geo::ElevationGrid>> terrains;
  terrains.push_back(std::make_unique<geo::ElevationGrid>());
  std::vector<std::int16_t> ridges(geo::ElevationGrid::kSampleCount);
  std::vector<std::int16_t> spikes(geo::ElevationGrid::kSampleCount);
  std::uint32_t random = 12345;
  for (int row = 0; row < geo::ElevationGrid::kRows; ++row) {
    for (int column = 0; column < geo::ElevationGrid::kColumns; ++column) {
      const std::size_t at = static_cast<std::size_t>(row) * geo::ElevationGrid::kColumns + column;
      ridges[at] = static_cast<std::int16_t>(1500 * (1 + std::sin(column / 37.0) * std::cos(row / 53.0)));
      random = random * 1103515245U + 12345U;
      spikes[at] = (random >> 16) % 97 == 0 ? static_cast<std::int16_t>(random >> 17) : -10;
    }
  }
  terrains.push_back(std::make_unique<geo::ElevationGrid>(std::move(ridges)));
  terrains.push_back(std::make_unique<geo::ElevationGrid>(std::move(spikes)));
  return terrains;
}

void Query(const geo::ElevationGrid& grid, fuzz::FuzzInput& query) {
  // Around the grid and a little beyond it.
  const double radarLat = Coordinate(query, 41.5, 5.0);
  const double radarLon = Coordinate(query, 32.5, 12.0);
  const double targetLat = Coordinate(query, 41.5, 5.0);
  const double targetLon = Coordinate(query, 32.5, 12.0);
  const double altitude = static_cast<double>(query.Word()) - 1000.0;
  const bool fromAltitude = (query.Byte() & 1) != 0;
  const double height = fromAltitude ? static_cast<double>(query.Word()) : 6.0 + (query.Byte() & 63);
  const int count = geo::CountTerrainObstructions(grid, radarLat, radarLon, targetLat, targetLon, altitude,
                                                  fromAltitude, height, geo::kMaskingObstructions);
  FUZZ_CHECK(count >= -1 && count <= geo::kMaskingObstructions);
  const bool visible =
      geo::TerrainLineOfSight(grid, radarLat, radarLon, targetLat, targetLon, altitude, fromAltitude, height);
  FUZZ_CHECK(visible == (count < geo::kMaskingObstructions));
  const bool outside = radarLat < 42.1 || radarLat > 45.9 || radarLon < 33.1 || radarLon > 43.9 || targetLat < 42.1 ||
                       targetLat > 45.9 || targetLon < 33.112 || targetLon > 43.9;
  if (outside) FUZZ_CHECK(count == -1 && visible);
}

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
  static const std::vector<std::unique_ptr<geo::ElevationGrid>> terrains = MakeTerrains();
  fuzz::FuzzInput input(data, size);
  const std::uint8_t shape = input.Byte();
  // The loader builds a whole grid even when it fails: kept behind a marker
  // the search has to find, so that it does not swamp the queries.
  if (shape == 0xE5 && input.Byte() == 0x17) {
    const std::uint8_t form = input.Byte();
    const std::uint16_t extra = input.Word();
    LoadFile(form, extra, input.Rest());
    return 0;
  }
  const geo::ElevationGrid& grid = *terrains[shape % terrains.size()];
  for (int i = 0; i < 16 && !input.Empty(); ++i) Query(grid, input);
  return 0;
}
