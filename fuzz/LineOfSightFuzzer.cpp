// The terrain line of sight over terrains built once at start (flat,
// ridges, spikes): counts stay within their limit, the verdict follows the
// count, and an end outside the tested box is never masked.
#include <cmath>
#include <cstdint>
#include <memory>
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<std::unique_ptr<geo::ElevationGrid>> kTerrains = MakeTerrains();
  fuzz::FuzzInput input(data, size);
  const geo::ElevationGrid& grid = *kTerrains[input.Byte() % kTerrains.size()];
  for (int i = 0; i < 16 && !input.Empty(); ++i) Query(grid, input);
  return 0;
}
