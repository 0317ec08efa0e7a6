#pragma once
// The airfield outlines the radar client draws in airfield mode
// ("airport.dat"): every runway as a closed polyline around its two ends,
// a parallel taxiway on the right of the line from end 1 to end 2 (where the
// mission generator's aircraft taxi and park) and the links between them.
// Text lines "latitude<TAB>longitude"; a line "0<TAB>0" ends each polyline.

#include <span>
#include <string>
#include <vector>

#include "vantor/geo/Airfields.h"

namespace vantor::tools {

using Polyline = std::vector<geo::GeoPoint>;

inline constexpr double kTaxiwayOffsetKm = 0.18;  // centreline to centreline
inline constexpr double kTaxiwayWidthKm = 0.023;

// Runway width by length: 45 m for short runways, 50 m, 60 m for the long ones.
double RunwayWidthKm(const geo::Runway& runway);

// The closed polylines of one runway: runway, taxiway, links.
std::vector<Polyline> RunwayOutlines(const geo::Runway& runway);

// The whole file's text for these runways.
std::string AirportFileText(std::span<const geo::Runway> runways);

}  // namespace vantor::tools
