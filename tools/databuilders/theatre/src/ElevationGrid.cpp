#include "vantor/tools/ElevationGrid.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace vantor::tools {

std::optional<GridCell> CellOf(LatLon position) {
  const double x = (position.lon - kGridWestLon) * kSamplesPerDegree;
  const double y = kGridRows - (position.lat - kGridSouthLat) * kSamplesPerDegree;
  if (!(x >= 0.0 && x < kGridColumns && y >= 0.0 && y < kGridRows)) return std::nullopt;
  return GridCell{static_cast<int>(y), static_cast<int>(x)};
}

LatLon CellCentre(int row, int column) {
  return {kGridSouthLat + (kGridRows - row - 0.5) / kSamplesPerDegree,
          kGridWestLon + (column + 0.5) / kSamplesPerDegree};
}

ElevationGrid::ElevationGrid() : heights_(std::size_t{kGridRows} * kGridColumns, 0) {}

std::int16_t ElevationGrid::HeightAt(LatLon position) const {
  const auto cell = CellOf(position);
  return cell ? At(cell->row, cell->column) : std::int16_t{0};
}

std::vector<std::uint8_t> ElevationGrid::ToBytes() const {
  std::vector<std::uint8_t> bytes(kElevationFileBytes);
  for (std::size_t i = 0; i < heights_.size(); ++i) {
    const auto value = static_cast<std::uint16_t>(heights_[i]);
    bytes[2 * i] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  return bytes;
}

std::optional<ElevationGrid> ElevationGrid::FromBytes(const std::vector<std::uint8_t>& bytes, std::string* error) {
  if (bytes.size() != kElevationFileBytes) {
    if (error)
      *error = "an elevation grid has " + std::to_string(kElevationFileBytes) + " bytes, this one " +
               std::to_string(bytes.size());
    return std::nullopt;
  }
  ElevationGrid grid;
  for (std::size_t i = 0; i < grid.heights_.size(); ++i)
    grid.heights_[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
  return grid;
}

bool ElevationGrid::Save(const std::string& path, std::string* error) const {
  return WriteFileBytes(path, ToBytes(), error);
}

std::optional<ElevationGrid> ElevationGrid::Load(const std::string& path, std::string* error) {
  const auto bytes = ReadFileBytes(path, error);
  if (!bytes) return std::nullopt;
  return FromBytes(*bytes, error);
}

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = "cannot open " + path;
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    if (error) *error = "cannot read " + path;
    return std::nullopt;
  }
  return bytes;
}

bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* error) {
  const std::string temporary = path + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (out) out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out || !out.flush()) {
      if (error) *error = "cannot write " + temporary;
      std::remove(temporary.c_str());
      return false;
    }
  }
  std::error_code renameError;
  std::filesystem::rename(temporary, path, renameError);  // replaces an existing file
  if (renameError) {
    if (error) *error = "cannot rename " + temporary + " to " + path + ": " + renameError.message();
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace vantor::tools
