#include "vantor/tools/FileBytes.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace vantor::tools {

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

std::optional<geo::ElevationGrid> LoadElevationFile(const std::string& path, std::string* error) {
  const auto bytes = ReadFileBytes(path, error);
  if (!bytes) return std::nullopt;
  return geo::ElevationGrid::FromBytes(*bytes, error);
}

bool SaveElevationFile(const geo::ElevationGrid& grid, const std::string& path, std::string* error) {
  return WriteFileBytes(path, grid.ToBytes(), error);
}

}  // namespace vantor::tools
