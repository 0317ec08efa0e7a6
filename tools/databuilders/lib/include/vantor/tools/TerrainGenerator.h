#pragma once
// A faithful stand-in for the theatre's terrain where no public elevation
// model can be had: sea at 0 from the GSHHG land mask, the Greater Caucasus
// and the Crimean Mountains along their real crest lines with their real
// summit heights, the ranges beside them, foothills, valleys cut by ridged
// noise, plains rising gently from the coasts, fractal detail. The same
// inputs always give the same grid.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "vantor/geo/ElevationGrid.h"
#include "vantor/tools/LandMask.h"

namespace vantor::tools {

// A mountain range: its crest line from end to end.
struct CrestPoint {
  geo::GeoPoint position;
  double crestM;       // typical crest height here
  double halfWidthKm;  // distance from the crest at which the range has fallen to about a third
};

struct Summit {
  const char* name;
  geo::GeoPoint position;
  double heightM;
  double radiusKm;  // the summit's cone falls to 1/e of its height at this distance
};

std::span<const Summit> TheatreSummits();

struct TerrainOptions {
  std::uint64_t seed = 20240601;
};

// Fails when the land mask does not have the grid's size.
std::optional<geo::ElevationGrid> GenerateTerrain(const LandMask& land, const TerrainOptions& options,
                                                  std::string* error);

}  // namespace vantor::tools
