#include "vantor/geo/MapFiles.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <string>
#include <system_error>

namespace vantor::geo {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// One "%lf": leading white space, an optional sign, a decimal number.
std::optional<double> ReadNumber(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  std::size_t start = pos;
  if (start < text.size() && text[start] == '+') {  // from_chars takes '-' only
    ++start;
    if (start < text.size() && text[start] == '-') return std::nullopt;
  }
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data() + start, text.data() + text.size(), value);
  if (error != std::errc()) return std::nullopt;
  if (!std::isfinite(value)) return std::nullopt;
  pos = static_cast<std::size_t>(end - text.data());
  return value;
}

}  // namespace

std::optional<std::pair<double, double>> ParseNumberPair(std::string_view line) {
  std::size_t pos = 0;
  const auto first = ReadNumber(line, pos);
  if (!first) return std::nullopt;
  const auto second = ReadNumber(line, pos);
  if (!second) return std::nullopt;
  return std::pair{*first, *second};
}

std::filesystem::path LocateDataFile(std::string_view name, std::span<const std::filesystem::path> folders) {
  for (const auto& folder : folders) {
    std::error_code error;
    const auto candidate = folder / name;
    if (std::filesystem::is_regular_file(candidate, error)) return candidate;
  }
  return folders.empty() ? std::filesystem::path(name) : folders.front() / name;
}

CoastlineTable CoastlineTable::Load(const std::filesystem::path& file) {
  CoastlineTable table;
  std::ifstream in(file, std::ios::binary);
  if (!in) return table;
  table.loaded_ = true;
  std::string line;
  for (std::size_t i = 0; i < kEntryCount && std::getline(in, line); ++i) {
    if (!line.empty() && line.front() == '#') continue;  // separator, already (0, 0)
    if (const auto pair = ParseNumberPair(line)) table.entries_[i] = GeoPoint{pair->second, pair->first};
  }
  return table;
}

bool AppendPointFile(const std::filesystem::path& file, std::vector<GeoPoint>& points) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.front() == '#') continue;
    const auto pair = ParseNumberPair(line);
    points.push_back(pair ? GeoPoint{pair->first, pair->second} : GeoPoint{});
  }
  return true;
}

AirfieldOutlineList LoadAirfieldOutlines(const std::filesystem::path& file) {
  AirfieldOutlineList points;
  AppendPointFile(file, points);
  return points;
}

}  // namespace vantor::geo
