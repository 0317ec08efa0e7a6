#pragma once
// Whole files in and out for the data builders, and the terrain grid file as
// the builders read and write it (exactly one grid, nothing more or less).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vantor/geo/ElevationGrid.h"

namespace vantor::tools {

// Reads a whole file; nothing (and `error` set) when it cannot be read.
std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path, std::string* error);
// Writes a whole file through a temporary name, so a failed run never leaves
// a truncated file behind.
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* error);

// "elevation.dat" of exactly one grid; nothing (and `error` set) otherwise.
std::optional<geo::ElevationGrid> LoadElevationFile(const std::string& path, std::string* error);
bool SaveElevationFile(const geo::ElevationGrid& grid, const std::string& path, std::string* error);

}  // namespace vantor::tools
