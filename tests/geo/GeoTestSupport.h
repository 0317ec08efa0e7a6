#pragma once
// Helpers of the geography tests: scratch folders, hand-made terrain, and a
// straightforward line-of-sight walk to check the optimised one against.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "vantor/geo/ElevationGrid.h"

namespace vantor::geo::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path File(const std::string& name) const { return path_ / name; }
  void Write(const std::string& name, const std::string& contents) const;
  std::string Read(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

// A terrain of zeros that tests raise sample by sample.
class TerrainBuilder {
 public:
  TerrainBuilder() : samples_(ElevationGrid::kSampleCount, 0) {}
  TerrainBuilder& Set(int row, int column, std::int16_t height) {
    samples_[static_cast<std::size_t>(row) * ElevationGrid::kColumns + static_cast<std::size_t>(column)] = height;
    return *this;
  }
  std::vector<std::int16_t>& Samples() { return samples_; }
  ElevationGrid Build() const { return ElevationGrid(samples_); }

 private:
  std::vector<std::int16_t> samples_;
};

// Degrees of a fractional grid position.
inline double LongitudeOfColumn(double column) { return 33.0 + column / ElevationGrid::kSamplesPerDegree; }
inline double LatitudeOfRow(double row) {
  return 42.0 + (ElevationGrid::kRows - row) / ElevationGrid::kSamplesPerDegree;
}

// The terrain walk exactly as described for the client, every sample read,
// no shortcut: the number of obstructing samples, or -1 outside the box.
int ReferenceObstructionCount(const ElevationGrid& grid, double radarLatitude, double radarLongitude,
                              double targetLatitude, double targetLongitude, double targetAltitude,
                              bool fromAltitudeMode, double heightParameter);

// Rolling hills with a few ridges, seeded: terrain where some lines are
// masked and some are not.
ElevationGrid HillyTerrain(unsigned seed);

}  // namespace vantor::geo::test
