#pragma once
// Builds the theatre's elevation grid from standard SRTM ".hgt" tiles, for an
// operator who has real elevation data: each tile is named after its
// south-west corner ("N43E042.hgt"), holds 1201 x 1201 (3 arc-second) or
// 3601 x 3601 (1 arc-second) big-endian int16 samples from its north-west
// corner, rows running south, with -32768 marking voids.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vantor/geo/ElevationGrid.h"
#include "vantor/tools/LandMask.h"

namespace vantor::tools {

inline constexpr std::int16_t kSrtmVoid = -32768;

class SrtmTile {
 public:
  // From a tile's bytes and its south-west corner.
  static std::optional<SrtmTile> FromBytes(const std::vector<std::uint8_t>& bytes, int southLat, int westLon,
                                           std::string* error);
  // Reads a tile file; its corner comes from its name.
  static std::optional<SrtmTile> Load(const std::string& path, std::string* error);
  // "N43E042" -> (43, 42); also "S" and "W".
  static std::optional<std::pair<int, int>> CornerFromName(const std::string& fileName);

  int SouthLat() const { return southLat_; }
  int WestLon() const { return westLon_; }
  int Size() const { return size_; }
  bool Covers(geo::GeoPoint position) const;
  // Bilinear height at a position inside the tile, or nothing when every
  // sample around it is void.
  std::optional<double> HeightAt(geo::GeoPoint position) const;

 private:
  std::int16_t Sample(int row, int column) const { return samples_[static_cast<std::size_t>(row) * size_ + column]; }
  int southLat_ = 0;
  int westLon_ = 0;
  int size_ = 0;
  std::vector<std::int16_t> samples_;
};

struct SrtmConversionReport {
  std::size_t filledSamples = 0;     // grid samples taken from the tiles
  std::size_t uncoveredSamples = 0;  // no tile, or only voids: left as the base grid has them
};

// Fills a grid's samples from the tiles (sample centres, bilinear); samples
// no tile covers keep the value they have in `samples` (for example from the
// generated terrain; a vector shorter than a grid is first padded with 0).
// Sea samples of `land`, when given, are set to 0, as SRTM has no bathymetry
// and its coastline is coarse.
SrtmConversionReport ConvertSrtm(const std::vector<SrtmTile>& tiles, const LandMask* land,
                                 geo::ElevationSamples& samples);

}  // namespace vantor::tools
