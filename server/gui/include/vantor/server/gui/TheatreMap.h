#pragma once
// The map page's picture: the theatre drawn from the project's map data
// (land told from sea by the terrain grid "elevation.dat", coastlines and
// borders from "borderline.dat", a graticule every degree), and over it the
// airfield radar coverages, the static AWACS coverages and the legend of
// the configuration being edited.

#include <QImage>

#include <filesystem>
#include <span>

#include "vantor/geo/ElevationGrid.h"
#include "vantor/geo/MapFiles.h"
#include "vantor/server/ServerConfig.h"
#include "vantor/texts/Language.h"

namespace vantor::server::gui {

struct TheatreMapBase {
  QImage picture;  // kMapWidth x kMapHeight
  bool coastlineFound = false;
  bool terrainFound = false;
};

// The background alone. Without a terrain grid all is drawn as sea; without
// a coastline no line is drawn.
QImage RenderTheatreMap(const geo::CoastlineTable& coastline, const geo::ElevationGrid* terrain);
// Reads both files from the first of `folders` holding each, then renders.
TheatreMapBase LoadTheatreMap(std::span<const std::filesystem::path> folders);
// Beside the program, then the current folder.
std::vector<std::filesystem::path> DefaultDataFolders();

// Paints the configuration over a picture of the map's size: one yellow
// ellipse for an airfield both sides have in service at the same range,
// otherwise a blue one and a red one; the hatched coverage of each static
// AWACS; the legend.
void PaintCoverage(QImage& picture, const ServerConfig& config, Language language);

}  // namespace vantor::server::gui
