#pragma once
// What the configuration pages and the map page know of the 22 airfield
// indexes and the 23 radar types: names, the map's reference points, the
// two groups of the coalition pages, the range items and the radar types'
// nominal ranges. Plain C++.

#include <array>
#include <optional>
#include <string_view>

#include "vantor/geo/Geodesy.h"
#include "vantor/protocol/Constants.h"

namespace vantor::server {

struct AirfieldSite {
  std::string_view name;
  std::optional<geo::GeoPoint> mapPoint;  // none for the carrier
};

// Index 0 is airfield 1 (Adler) ... index 21 airfield 22 (the carrier).
extern const std::array<AirfieldSite, protocol::kAirfieldCount> kAirfieldSites;

// The airfield numbers (1 ... 22) of the coalition pages' two groups, in
// the order the pages show them.
extern const std::array<int, 11> kUkraineGroup;
extern const std::array<int, 11> kRussiaGroup;

// The items of a range list, km.
inline constexpr std::array<int, 8> kRangeItemsKm = {2, 5, 10, 20, 50, 100, 200, 300};
// A range that no item is selected for is stored as this.
inline constexpr int kUnselectedRangeKm = 50;
// The item a stored range selects: the first whose text begins with the
// range's digits (30 selects 300, 1 selects 10); nullopt when none does.
std::optional<std::size_t> RangeItemFor(int rangeKm);

struct RadarTypeNominal {
  std::string_view range;  // km, as the page shows it
  bool radar = false;      // a radar (marked with an asterisk), not only a gun or missile sight
};
// By index in RadarTypeNames.
extern const std::array<RadarTypeNominal, protocol::kRadarTypeCount> kRadarTypeNominals;

}  // namespace vantor::server
