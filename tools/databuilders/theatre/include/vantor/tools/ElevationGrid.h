#pragma once
// The theatre's terrain grid as the radar client reads it from
// "elevation.dat": 1204 rows (north to south) by 3311 columns (west to east)
// of little-endian signed 16-bit heights in metres.

#include "vantor/tools/GeoMath.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantor::tools {

inline constexpr int kGridRows = 1204;
inline constexpr int kGridColumns = 3311;
inline constexpr double kSamplesPerDegree = 301.65912518853696;
inline constexpr double kGridWestLon = 33.0;
inline constexpr double kGridSouthLat = 42.0;
inline constexpr std::size_t kElevationFileBytes = std::size_t{kGridRows} * kGridColumns * 2;
static_assert(kElevationFileBytes == 7972888);

struct GridCell {
  int row = 0;
  int column = 0;
};

// The sample holding a position, by the client's rule (truncation), or
// nothing outside the grid.
std::optional<GridCell> CellOf(LatLon position);
// The centre of a sample.
LatLon CellCentre(int row, int column);

class ElevationGrid {
 public:
  ElevationGrid();  // all zero (sea level)

  std::int16_t At(int row, int column) const { return heights_[Index(row, column)]; }
  void Set(int row, int column, std::int16_t metres) { heights_[Index(row, column)] = metres; }
  // Height of the sample holding `position`; 0 outside the grid.
  std::int16_t HeightAt(LatLon position) const;

  const std::vector<std::int16_t>& Heights() const { return heights_; }

  // File image: row-major, little-endian, exactly kElevationFileBytes.
  std::vector<std::uint8_t> ToBytes() const;
  static std::optional<ElevationGrid> FromBytes(const std::vector<std::uint8_t>& bytes, std::string* error);

  bool Save(const std::string& path, std::string* error) const;
  static std::optional<ElevationGrid> Load(const std::string& path, std::string* error);

 private:
  static std::size_t Index(int row, int column) {
    return static_cast<std::size_t>(row) * kGridColumns + static_cast<std::size_t>(column);
  }
  std::vector<std::int16_t> heights_;
};

// Reads a whole file; nothing (and `error` set) when it cannot be read.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path, std::string* error);
// Writes a whole file through a temporary name, so a failed run never leaves
// a truncated file behind.
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* error);

}  // namespace vantor::tools
