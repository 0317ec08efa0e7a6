#pragma once
// The theatre's map data files beside the client: the coastline
// ("borderline.dat") and the airfield outlines ("airport.dat"), and the
// line format they share with the drawing file.

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "vantor/geo/Geodesy.h"

namespace vantor::geo {

inline constexpr std::string_view kCoastlineFileName = "borderline.dat";
inline constexpr std::string_view kAirfieldOutlineFileName = "airport.dat";

// Two numbers separated by white space, as "%lf\t%lf" reads them, but
// independent of the C locale (a decimal point always). Values that are not
// finite count as unreadable. nullopt when fewer than two numbers are read.
std::optional<std::pair<double, double>> ParseNumberPair(std::string_view line);

// The first existing file called `name` in `folders`, tried in order; the
// path in the first folder when none exists (so the caller's error names it).
std::filesystem::path LocateDataFile(std::string_view name, std::span<const std::filesystem::path> folders);

// The coastline: exactly 14746 entries; (0, 0) ends a polyline.
class CoastlineTable {
 public:
  static constexpr std::size_t kEntryCount = 14746;

  // All separators: no coastline.
  CoastlineTable() = default;

  // A missing file gives an empty table (every entry a separator) and no
  // error. "#" lines, unreadable lines and entries past the end of a short
  // file are separators; lines beyond the 14746th are ignored. Each line is
  // longitude, then latitude.
  static CoastlineTable Load(const std::filesystem::path& file);

  bool Loaded() const { return loaded_; }
  const std::array<GeoPoint, kEntryCount>& Entries() const { return entries_; }
  const GeoPoint& operator[](std::size_t index) const { return entries_[index]; }
  std::size_t Size() const { return kEntryCount; }

 private:
  std::array<GeoPoint, kEntryCount> entries_{};
  bool loaded_ = false;
};

inline CoastlineTable LoadCoastline(const std::filesystem::path& file) { return CoastlineTable::Load(file); }

// Airfield outlines: points in file order, (0, 0) ends a polyline.
using AirfieldOutlineList = std::vector<GeoPoint>;

// A missing file gives an empty list. "#" lines are skipped (they do not end
// a polyline); an unreadable line counts as a separator. Each line is
// latitude, then longitude.
AirfieldOutlineList LoadAirfieldOutlines(const std::filesystem::path& file);

// The point-list reader shared with the drawing file: appends to `points`;
// false when the file cannot be opened.
bool AppendPointFile(const std::filesystem::path& file, std::vector<GeoPoint>& points);

}  // namespace vantor::geo
