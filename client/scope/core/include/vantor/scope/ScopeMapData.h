#pragma once
// The map data the scope loads when it is first shown: the coastline, the
// controller's drawing, the airfield outlines and the terrain grid.

#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "vantor/geo/DrawingList.h"
#include "vantor/geo/ElevationGrid.h"
#include "vantor/geo/MapFiles.h"

namespace vantor::scope {

struct ScopeMapData {
  geo::CoastlineTable coastline;
  geo::DrawingList drawing;
  std::filesystem::path drawingFile;  // where the drawing is saved; empty: never saved
  std::vector<geo::GeoPoint> airfieldOutlines;
  std::unique_ptr<const geo::ElevationGrid> elevation;  // none: flat terrain
  geo::ElevationLoadStatus elevationStatus = geo::ElevationLoadStatus::Missing;

  bool ElevationLoaded() const { return elevationStatus == geo::ElevationLoadStatus::Loaded; }
  // The grid the line of sight walks: the loaded one, or flat terrain.
  const geo::ElevationGrid& Terrain() const;

  // Reads the files in the order of the first showing (coastline, drawing,
  // airfield outlines, elevation), each from the first folder that holds
  // it. Missing map files leave their layer empty; a missing or short
  // elevation grid leaves flat terrain and ElevationLoaded() false, which
  // the program treats as a broken installation.
  static std::unique_ptr<ScopeMapData> Load(std::span<const std::filesystem::path> folders);
};

}  // namespace vantor::scope
