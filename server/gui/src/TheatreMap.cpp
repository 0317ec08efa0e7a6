#include "vantor/server/gui/TheatreMap.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

#include "vantor/server/AirfieldSettings.h"
#include "vantor/server/MapPageGeometry.h"
#include "vantor/server/gui/ServerStyle.h"
#include "vantor/texts/QText.h"

namespace vantor::server::gui {
namespace {

// The map's pixels are blocks of 4 x 4 terrain samples.
constexpr int kSamplesPerPixel = 4;
static_assert(geo::ElevationGrid::kSamplesPerDegree == kMapPixelsPerDegree * kSamplesPerPixel);

const QColor kSeaColour(17, 38, 60);
const QColor kCoastColour(196, 208, 188);
const QColor kGraticuleColour(255, 255, 255, 26);
const QColor kGraticuleLabelColour(255, 255, 255, 110);

struct HeightTint {
  double metres;
  QColor colour;
};
constexpr std::array<HeightTint, 6> kHeightTints = {{{0, QColor(50, 66, 48)},
                                                     {200, QColor(62, 76, 52)},
                                                     {800, QColor(86, 88, 60)},
                                                     {1800, QColor(112, 100, 76)},
                                                     {3000, QColor(146, 138, 124)},
                                                     {4500, QColor(196, 194, 190)}}};

QColor Mix(const QColor& a, const QColor& b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                          static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                          static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QColor LandTint(double metres) {
  if (metres <= kHeightTints.front().metres) return kHeightTints.front().colour;
  for (std::size_t i = 1; i < kHeightTints.size(); ++i) {
    if (metres <= kHeightTints[i].metres) {
      const HeightTint& low = kHeightTints[i - 1];
      const HeightTint& high = kHeightTints[i];
      return Mix(low.colour, high.colour, (metres - low.metres) / (high.metres - low.metres));
    }
  }
  return kHeightTints.back().colour;
}

// Per map pixel: the share of land samples and their mean height.
struct PixelTerrain {
  float land = 0.0f;
  float metres = 0.0f;
};

std::vector<PixelTerrain> SampleTerrain(const geo::ElevationGrid& grid) {
  std::vector<PixelTerrain> pixels(static_cast<std::size_t>(kMapWidth) * kMapHeight);
  for (int y = 0; y < kMapHeight; ++y) {
    // Pixel row y covers the samples from the latitude of its top edge down.
    const double topLatitude = kMapSouthLatitude + (kMapHeight - y) / kMapPixelsPerDegree;
    const int firstRow = static_cast<int>(std::floor(geo::GridRowOf(topLatitude) + 1e-6));
    for (int x = 0; x < kMapWidth; ++x) {
      const int firstColumn = x * kSamplesPerPixel;
      int land = 0;
      double sum = 0.0;
      for (int dr = 0; dr < kSamplesPerPixel; ++dr) {
        // The picture reaches a little north of the grid: its edge row stands in.
        const int row = std::clamp(firstRow + dr, 0, geo::ElevationGrid::kRows - 1);
        for (int dc = 0; dc < kSamplesPerPixel; ++dc) {
          const int column = std::min(firstColumn + dc, geo::ElevationGrid::kColumns - 1);
          const std::int16_t metres = grid.At(row, column);
          if (metres != 0) {
            ++land;
            sum += metres;
          }
        }
      }
      PixelTerrain& pixel = pixels[static_cast<std::size_t>(y) * kMapWidth + x];
      pixel.land = static_cast<float>(land) / (kSamplesPerPixel * kSamplesPerPixel);
      pixel.metres = land > 0 ? static_cast<float>(sum / land) : 0.0f;
    }
  }
  return pixels;
}

void PaintTerrain(QImage& picture, const geo::ElevationGrid& grid) {
  const std::vector<PixelTerrain> pixels = SampleTerrain(grid);
  const auto at = [&pixels](int x, int y) -> const PixelTerrain& {
    x = std::clamp(x, 0, kMapWidth - 1);
    y = std::clamp(y, 0, kMapHeight - 1);
    return pixels[static_cast<std::size_t>(y) * kMapWidth + x];
  };
  for (int y = 0; y < kMapHeight; ++y) {
    auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < kMapWidth; ++x) {
      const PixelTerrain& pixel = at(x, y);
      if (pixel.land <= 0.0f) continue;
      // Light from the north-west: slopes facing it brighten.
      const double slope = (at(x - 1, y - 1).metres - at(x + 1, y + 1).metres) / 600.0;
      const double light = std::clamp(1.0 + slope, 0.72, 1.3);
      QColor land = LandTint(pixel.metres);
      land = QColor::fromRgbF(static_cast<float>(std::min(1.0, land.redF() * light)),
                              static_cast<float>(std::min(1.0, land.greenF() * light)),
                              static_cast<float>(std::min(1.0, land.blueF() * light)));
      line[x] = Mix(kSeaColour, land, pixel.land).rgb();
    }
  }
}

void PaintGraticule(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  QFont font = painter.font();
  font.setPixelSize(9);
  painter.setFont(font);
  for (int lon = 34; lon <= 42; ++lon) {
    const int x = static_cast<int>(MapPixelOf({kMapSouthLatitude, static_cast<double>(lon)}).x);
    painter.setPen(kGraticuleColour);
    painter.drawLine(x, 0, x, kMapHeight - 1);
    painter.setPen(kGraticuleLabelColour);
    painter.drawText(x + 2, 10, QStringLiteral("%1°E").arg(lon));
  }
  for (int lat = 43; lat <= 45; ++lat) {
    const int y = static_cast<int>(MapPixelOf({static_cast<double>(lat), kMapWestLongitude}).y);
    painter.setPen(kGraticuleColour);
    painter.drawLine(0, y, kMapWidth - 1, y);
    painter.setPen(kGraticuleLabelColour);
    painter.drawText(kMapWidth - 30, y - 2, QStringLiteral("%1°N").arg(lat));
  }
}

void PaintCoastline(QPainter& painter, const geo::CoastlineTable& coastline) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(QPen(kCoastColour, 1.0));
  QPainterPath path;
  bool open = false;
  for (const geo::GeoPoint& point : coastline.Entries()) {
    if (point.IsSeparator()) {
      open = false;
      continue;
    }
    const MapPoint pixel = MapPixelOf(point);
    const QPointF at(pixel.x, pixel.y);
    if (open) {
      path.lineTo(at);
    } else {
      path.moveTo(at);
      open = true;
    }
  }
  painter.drawPath(path);
}

QPoint PixelOf(const geo::GeoPoint& point) {
  const MapPoint pixel = MapPixelOf(point);
  // Whole pixels, cut toward zero as the picture has always placed them.
  return {static_cast<int>(pixel.x), static_cast<int>(pixel.y)};
}

QRect CoverageRect(const QPoint& centre, int rangeKm) {
  const CoverageAxes axes = CoverageAxesOf(rangeKm);
  return QRect(QPoint(centre.x() - axes.halfWidth, centre.y() - axes.halfHeight),
               QPoint(centre.x() + axes.halfWidth, centre.y() + axes.halfHeight));
}

void DrawCoverage(QPainter& painter, const QPoint& centre, int rangeKm, const QColor& colour) {
  painter.setPen(QPen(colour, 0));
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(CoverageRect(centre, rangeKm));
}

void DrawAwacs(QPainter& painter, const QRect& area, const QColor& colour, Qt::BrushStyle hatch) {
  painter.setPen(QPen(colour, 0));
  painter.setBrush(QBrush(colour, hatch));
  painter.drawEllipse(area);
}

Qt::BrushStyle AwacsHatch(int side) { return side == 0 ? Qt::FDiagPattern : Qt::BDiagPattern; }
const QColor& SideColour(int side) { return side == 0 ? kBlueColour : kRedColour; }

void PaintLegend(QPainter& painter, Language language) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  // A dark backing keeps the legend readable over land and coverage alike.
  painter.fillRect(QRect(0, 234, 240, kMapHeight - 234), QColor(10, 12, 14, 170));
  QFont font = painter.font();
  font.setPixelSize(13);
  painter.setFont(font);
  const auto text = [&painter](int x, int y, const QColor& colour, const QString& label) {
    painter.setPen(colour);
    painter.drawText(QRect(x, y, 95, 20), Qt::AlignLeft | Qt::AlignTop, label);
  };
  text(5, 240, kBlueColour, QText(TextId::SrvLegendBlueTeam, language));
  text(5, 260, kRedColour, QText(TextId::SrvLegendRedTeam, language));
  text(5, 280, kBothColour, QText(TextId::SrvLegendBothTeam, language));
  text(100, 240, kBlueColour, QText(TextId::SrvLegendBlueAwacs, language));
  text(100, 260, kRedColour, QText(TextId::SrvLegendRedAwacs, language));
  DrawAwacs(painter, QRect(QPoint(200, 240), QPoint(230, 260)), kBlueColour, AwacsHatch(0));
  DrawAwacs(painter, QRect(QPoint(200, 260), QPoint(230, 280)), kRedColour, AwacsHatch(1));
}

}  // namespace

QImage RenderTheatreMap(const geo::CoastlineTable& coastline, const geo::ElevationGrid* terrain) {
  QImage picture(kMapWidth, kMapHeight, QImage::Format_RGB32);
  picture.fill(kSeaColour);
  if (terrain != nullptr) PaintTerrain(picture, *terrain);
  QPainter painter(&picture);
  PaintGraticule(painter);
  PaintCoastline(painter, coastline);
  return picture;
}

std::vector<std::filesystem::path> DefaultDataFolders() {
  std::vector<std::filesystem::path> folders;
  if (QCoreApplication::instance() != nullptr) {
    folders.emplace_back(QCoreApplication::applicationDirPath().toStdString());
  }
  folders.emplace_back(QDir::currentPath().toStdString());
  return folders;
}

TheatreMapBase LoadTheatreMap(std::span<const std::filesystem::path> folders) {
  TheatreMapBase base;
  const geo::CoastlineTable coastline = geo::LoadCoastline(geo::LocateDataFile(geo::kCoastlineFileName, folders));
  base.coastlineFound = coastline.Loaded();
  const geo::ElevationGrid::LoadResult terrain =
      geo::LoadElevation(geo::LocateDataFile(geo::kElevationFileName, folders));
  base.terrainFound = terrain.Ok();
  base.picture = RenderTheatreMap(coastline, terrain.Ok() ? &terrain.grid : nullptr);
  return base;
}

void PaintCoverage(QImage& picture, const ServerConfig& config, Language language) {
  const protocol::ConfigBlock& block = config.block;
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (std::size_t i = 0; i < kAirfieldSites.size(); ++i) {
    const AirfieldSite& site = kAirfieldSites[i];
    if (!site.mapPoint) continue;  // the carrier has no place on the map
    const QPoint centre = PixelOf(*site.mapPoint);
    painter.fillRect(QRect(centre.x() - 1, centre.y() - 1, 3, 3), QColor(225, 228, 232));
    const bool blueOn = block.airfieldRadarOn[0][i] != 0;
    const bool redOn = block.airfieldRadarOn[1][i] != 0;
    const int blueRange = block.airfieldRadarRangeKm[0][i];
    const int redRange = block.airfieldRadarRangeKm[1][i];
    if (blueOn && redOn && blueRange == redRange) {
      DrawCoverage(painter, centre, blueRange, kBothColour);
      continue;
    }
    if (blueOn) DrawCoverage(painter, centre, blueRange, kBlueColour);
    if (redOn) DrawCoverage(painter, centre, redRange, kRedColour);
  }
  for (int side = 0; side < 2; ++side) {
    if (block.awacsMode[side] == 0) continue;  // the simulator's AWACS: nothing to place
    const QPoint centre = PixelOf({block.awacsLatitude[side], block.awacsLongitude[side]});
    DrawAwacs(painter, CoverageRect(centre, block.awacsRangeKm), SideColour(side), AwacsHatch(side));
  }
  PaintLegend(painter, language);
}

}  // namespace vantor::server::gui
