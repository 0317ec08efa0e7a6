#include "vantor/scope/ScopeMapData.h"

namespace vantor::scope {

std::unique_ptr<ScopeMapData> ScopeMapData::Load(std::span<const std::filesystem::path> folders) {
  auto data = std::make_unique<ScopeMapData>();
  data->coastline = geo::CoastlineTable::Load(geo::LocateDataFile(geo::kCoastlineFileName, folders));
  // The drawing is saved where it was found, or in the first folder.
  data->drawingFile = geo::LocateDataFile(geo::kDrawingFileName, folders);
  data->drawing.LoadDrawing(data->drawingFile);
  data->airfieldOutlines = geo::LoadAirfieldOutlines(geo::LocateDataFile(geo::kAirfieldOutlineFileName, folders));
  geo::ElevationGrid::LoadResult elevation =
      geo::ElevationGrid::Load(geo::LocateDataFile(geo::kElevationFileName, folders));
  data->elevationStatus = elevation.status;
  data->elevation = std::make_unique<const geo::ElevationGrid>(std::move(elevation.grid));
  return data;
}

const geo::ElevationGrid& ScopeMapData::Terrain() const {
  if (elevation) return *elevation;
  // Shared by every scope without a grid; built once, never changed.
  static const geo::ElevationGrid kFlat;
  return kFlat;
}

}  // namespace vantor::scope
