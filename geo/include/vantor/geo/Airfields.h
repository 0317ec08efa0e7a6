#pragma once
// The theatre's airfields with their runways, as the radar client knows
// them: the mission generator flies along these runways and the outline
// builder draws them.

#include <span>
#include <string_view>

#include "vantor/geo/Sphere.h"

namespace vantor::geo {

struct Runway {
  std::string_view name;  // airfield name; an airfield with two runways has two records
  std::string_view code;  // four-letter code, empty on secondary runways
  int menuId = 0;         // 32700 + airfield index - 1, or 0
  int headingDeg = 0;     // close to the direction from end 1 to end 2
  int elevationM = 0;     // field elevation
  GeoPoint end1;
  GeoPoint end2;
  GeoPoint reference;  // the airfield's reference point

  double LengthKm() const { return DistanceKm(end1, end2); }
};

// The 25 land runways in the client's airfield table order (the carrier,
// whose position is live, is not among them).
std::span<const Runway> Runways();

// The first runway of the airfield with this name, or nullptr.
const Runway* FindRunway(std::string_view airfieldName);

}  // namespace vantor::geo
