#include "vantor/tools/SrtmConverter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "vantor/tools/FileBytes.h"

namespace vantor::tools {

using geo::ElevationGrid;
using geo::GeoPoint;

std::optional<SrtmTile> SrtmTile::FromBytes(const std::vector<std::uint8_t>& bytes, int southLat, int westLon,
                                            std::string* error) {
  int size = 0;
  if (bytes.size() == 1201u * 1201u * 2u)
    size = 1201;
  else if (bytes.size() == 3601u * 3601u * 2u)
    size = 3601;
  else {
    if (error)
      *error = "an SRTM tile has 1201 x 1201 or 3601 x 3601 samples (2,884,802 or 25,934,402 bytes), this one " +
               std::to_string(bytes.size()) + " bytes";
    return std::nullopt;
  }
  SrtmTile tile;
  tile.southLat_ = southLat;
  tile.westLon_ = westLon;
  tile.size_ = size;
  tile.samples_.resize(static_cast<std::size_t>(size) * size);
  for (std::size_t i = 0; i < tile.samples_.size(); ++i)
    tile.samples_[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>((bytes[2 * i] << 8) | bytes[2 * i + 1]));
  return tile;
}

std::optional<std::pair<int, int>> SrtmTile::CornerFromName(const std::string& fileName) {
  const std::string stem = std::filesystem::path(fileName).stem().string();
  if (stem.size() < 7) return std::nullopt;
  const char ns = static_cast<char>(std::toupper(static_cast<unsigned char>(stem[0])));
  const char ew = static_cast<char>(std::toupper(static_cast<unsigned char>(stem[3])));
  auto digits = [&](std::size_t from, std::size_t count) -> std::optional<int> {
    int value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
      if (!std::isdigit(static_cast<unsigned char>(stem[i]))) return std::nullopt;
      value = value * 10 + (stem[i] - '0');
    }
    return value;
  };
  const auto lat = digits(1, 2);
  const auto lon = digits(4, 3);
  if ((ns != 'N' && ns != 'S') || (ew != 'E' && ew != 'W') || !lat || !lon || *lat > 90 || *lon > 180)
    return std::nullopt;
  return std::make_pair(ns == 'N' ? *lat : -*lat, ew == 'E' ? *lon : -*lon);
}

std::optional<SrtmTile> SrtmTile::Load(const std::string& path, std::string* error) {
  const auto corner = CornerFromName(path);
  if (!corner) {
    if (error) *error = path + ": the name does not give the tile's corner (like N43E042.hgt)";
    return std::nullopt;
  }
  const auto bytes = ReadFileBytes(path, error);
  if (!bytes) return std::nullopt;
  std::string why;
  auto tile = FromBytes(*bytes, corner->first, corner->second, &why);
  if (!tile && error) *error = path + ": " + why;
  return tile;
}

bool SrtmTile::Covers(GeoPoint position) const {
  return position.latitude >= southLat_ && position.latitude <= southLat_ + 1 && position.longitude >= westLon_ &&
         position.longitude <= westLon_ + 1;
}

std::optional<double> SrtmTile::HeightAt(GeoPoint position) const {
  const double step = size_ - 1;
  const double y = (southLat_ + 1 - position.latitude) * step;  // rows run south
  const double x = (position.longitude - westLon_) * step;
  const int r0 = std::clamp(static_cast<int>(std::floor(y)), 0, size_ - 1);
  const int c0 = std::clamp(static_cast<int>(std::floor(x)), 0, size_ - 1);
  const int r1 = std::min(r0 + 1, size_ - 1), c1 = std::min(c0 + 1, size_ - 1);
  const double ty = std::clamp(y - r0, 0.0, 1.0), tx = std::clamp(x - c0, 0.0, 1.0);
  // Voids drop out and the other corners share their weight.
  const int rows[4] = {r0, r0, r1, r1}, columns[4] = {c0, c1, c0, c1};
  const double weights[4] = {(1 - ty) * (1 - tx), (1 - ty) * tx, ty * (1 - tx), ty * tx};
  double sum = 0, weight = 0;
  for (int k = 0; k < 4; ++k) {
    const std::int16_t h = Sample(rows[k], columns[k]);
    if (h == kSrtmVoid) continue;
    sum += weights[k] * h;
    weight += weights[k];
  }
  if (weight <= 1e-12) return std::nullopt;
  return sum / weight;
}

SrtmConversionReport ConvertSrtm(const std::vector<SrtmTile>& tiles, const LandMask* land,
                                 geo::ElevationSamples& samples) {
  SrtmConversionReport report;
  if (samples.size() < ElevationGrid::kSampleCount) samples.resize(ElevationGrid::kSampleCount, 0);
  const bool useMask =
      land != nullptr && land->Width() == ElevationGrid::kColumns && land->Height() == ElevationGrid::kRows;
  for (int row = 0; row < ElevationGrid::kRows; ++row) {
    for (int column = 0; column < ElevationGrid::kColumns; ++column) {
      std::int16_t& sample = samples[ElevationGrid::SampleIndex(row, column)];
      if (useMask && !land->IsLand(row, column)) {
        sample = 0;
        continue;
      }
      const GeoPoint centre = geo::CellCentre(row, column);
      std::optional<double> height;
      for (const SrtmTile& tile : tiles) {
        if (!tile.Covers(centre)) continue;
        height = tile.HeightAt(centre);
        if (height) break;
      }
      if (!height) {
        ++report.uncoveredSamples;
        continue;
      }
      sample = static_cast<std::int16_t>(std::clamp(std::lround(*height), -500L, 9000L));
      ++report.filledSamples;
    }
  }
  return report;
}

}  // namespace vantor::tools
