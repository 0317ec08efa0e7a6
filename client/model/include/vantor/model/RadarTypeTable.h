#pragma once
// The ground radar and air-defence types the client knows, with their
// coverage. Compiled in; the order is the search order.

#include <array>
#include <cstddef>
#include <string_view>

#include "vantor/protocol/Constants.h"

namespace vantor::model {

struct RadarTypeRow {
  std::string_view typeName;  // upper case; same order as protocol::RadarTypeNames
  double detectionRangeKm;
  double weaponRangeKm;    // 0: no engagement circle
  double altitudeLimitKm;  // the site only detects contacts below it
};

inline constexpr int kFullSectorDeg = 360;
inline constexpr int kPatriotSectorDeg = 120;
inline constexpr std::size_t kPatriotRow = 2;  // "PATRIOT STR", the only 120-degree sector

// Named as the documents of the system name it.
extern const std::array<RadarTypeRow, protocol::kRadarTypeCount>
    RadarTypeTable;  // NOLINT(readability-identifier-naming)

// Searches the rows in order for the first type name contained in the
// upper-cased contact name. On a match writes the sector (120 or 360) and the
// weapon range and altitude limit truncated to whole km, and returns the
// detection range; without a match returns 0.0 and writes nothing.
double LookupRadarType(std::string_view contactName, int& sectorDeg, int& weaponRangeKm, int& altitudeLimitKm);

// Index of the matching row, or -1.
int FindRadarTypeRow(std::string_view contactName);

}  // namespace vantor::model
