#pragma once
// The theatre's terrain heights ("elevation.dat"): the one grid layout that
// the data builders write and the client reads, and the terrain line of
// sight over it.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vantor/geo/GeoPoint.h"

namespace vantor::geo {

inline constexpr std::string_view kElevationFileName = "elevation.dat";

enum class ElevationLoadStatus {
  Loaded,
  Missing,  // the file does not open
  Short,    // fewer than the grid's 7972888 bytes
};

// Row-major samples in the grid's layout: what a grid is built from.
using ElevationSamples = std::vector<std::int16_t>;

struct GridCell {
  int row = 0;
  int column = 0;
};

// 1204 rows by 3311 columns of signed 16-bit heights in metres, row 0 at the
// northern edge, column 0 at 33 degrees east; in the file row-major and
// little-endian. Immutable once built; a pyramid of block maxima beside the
// samples lets the line of sight skip stretches of terrain that cannot mask
// anything.
class ElevationGrid {
 public:
  static constexpr int kRows = 1204;
  static constexpr int kColumns = 3311;
  static constexpr std::size_t kSampleCount = static_cast<std::size_t>(kRows) * kColumns;
  static constexpr std::size_t kRowBytes = static_cast<std::size_t>(kColumns) * 2;
  static constexpr std::size_t kFileBytes = kSampleCount * 2;
  static_assert(kRowBytes == 6622);
  static_assert(kFileBytes == 7972888);
  static constexpr double kSamplesPerDegree = 301.65912518853696;
  static constexpr double kWestLongitude = 33.0;
  static constexpr double kSouthLatitude = 42.0;

  struct LoadResult;

  // Flat terrain at 0 m.
  ElevationGrid();
  // Row-major samples; a vector of any other size than kSampleCount is
  // resized (missing samples 0), so a grid always has its full extent.
  explicit ElevationGrid(ElevationSamples samples);

  // Reads the file as the client does: a file that is missing or shorter
  // than a full grid fails (bytes past the grid are ignored).
  static LoadResult Load(const std::filesystem::path& file);
  // The file image, exactly kFileBytes.
  std::vector<std::uint8_t> ToBytes() const;
  // A grid from a file image of exactly kFileBytes, as the builders insist
  // on; nothing (and `error` set) for any other size.
  static std::optional<ElevationGrid> FromBytes(std::span<const std::uint8_t> bytes, std::string* error);

  static std::size_t SampleIndex(int row, int column) {
    return static_cast<std::size_t>(row) * kColumns + static_cast<std::size_t>(column);
  }
  std::int16_t At(int row, int column) const { return samples_[SampleIndex(row, column)]; }
  static bool Contains(int row, int column) { return row >= 0 && row < kRows && column >= 0 && column < kColumns; }
  const ElevationSamples& Samples() const { return samples_; }
  // Height of the sample holding `position`; 0 outside the grid.
  std::int16_t HeightAt(GeoPoint position) const;

  // The highest sample of a block that contains rows r0..r1 and columns
  // c0..c1 (inclusive, clipped to the grid): never below the true maximum of
  // that range, possibly above it.
  std::int16_t MaxAtLeastOver(int r0, int c0, int r1, int c1) const;

 private:
  struct Level {
    int rows = 0;
    int columns = 0;
    std::vector<std::int16_t> maxima;
  };
  void BuildPyramid();

  ElevationSamples samples_;
  std::vector<Level> levels_;  // levels_[k] holds maxima of 2^(k+1)-sized blocks
};

struct ElevationGrid::LoadResult {
  ElevationLoadStatus status = ElevationLoadStatus::Missing;
  ElevationGrid grid;  // flat unless status is Loaded
  bool Ok() const { return status == ElevationLoadStatus::Loaded; }
};

// At the scope's first showing: a result that is not Ok() means the
// installation is broken; the client shows TextId::GeoElevationMissing
// ("Install corrupt. File elevation.dat not found!") and ends with code 0.
inline ElevationGrid::LoadResult LoadElevation(const std::filesystem::path& file) { return ElevationGrid::Load(file); }

// Fractional grid coordinates of a position.
inline double GridColumnOf(double longitude) {
  return (longitude - ElevationGrid::kWestLongitude) * ElevationGrid::kSamplesPerDegree;
}
inline double GridRowOf(double latitude) {
  return ElevationGrid::kRows - (latitude - ElevationGrid::kSouthLatitude) * ElevationGrid::kSamplesPerDegree;
}
// The sample holding a position (the fractional coordinates truncated), or
// nothing outside the grid.
std::optional<GridCell> CellOf(GeoPoint position);
// The centre of a sample.
GeoPoint CellCentre(int row, int column);

// True when the terrain leaves the target visible from the radar. Ground
// radars (fromAltitudeMode false) pass their antenna height; the AWACS passes
// its altitude and looks down a sight line that falls to 0 at the target.
// Positions outside the tested box are never masked. The target is masked by
// 6 or more obstructing samples along the two walks.
bool TerrainLineOfSight(const ElevationGrid& grid, double radarLatitude, double radarLongitude, double targetLatitude,
                        double targetLongitude, double targetAltitude, bool fromAltitudeMode, double heightParameter);

// The number of obstructing samples, counted up to `limit` (the walks stop
// there); -1 when an end lies outside the tested box.
int CountTerrainObstructions(const ElevationGrid& grid, double radarLatitude, double radarLongitude,
                             double targetLatitude, double targetLongitude, double targetAltitude,
                             bool fromAltitudeMode, double heightParameter, int limit);

inline constexpr int kMaskingObstructions = 6;

}  // namespace vantor::geo
