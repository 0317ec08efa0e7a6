#pragma once
// A prepared scope for paint and tool tests: a document, its settings and
// the scope's geometry over a stretch of sea (no airfield near), with the
// coalition's AWACS overhead so that moving aircraft are seen.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "vantor/model/CRivakDoc.h"
#include "vantor/model/ClientSettings.h"
#include "vantor/scope/ScopeFramePreparer.h"
#include "vantor/scope/ScopeGeometry.h"
#include "vantor/scope/ScopeMapData.h"
#include "vantor/scope/ScopePainter.h"
#include "vantor/scope/ScopeStatus.h"

namespace vantor::scope::test {

// Open sea, well inside UTM zone 37 and clear of every airfield at close ranges.
inline constexpr geo::GeoPoint kSeaCentre{44.0, 37.5};

// Centres through the carrier command on any position.
class FixedCentre final : public CentringSources {
 public:
  explicit FixedCentre(geo::GeoPoint centre, std::optional<geo::GeoPoint> radar = std::nullopt)
      : centre_(centre), radar_(radar) {}
  std::optional<geo::GeoPoint> CarrierPosition() const override { return centre_; }
  std::optional<geo::GeoPoint> RadarSitePosition(int) const override { return radar_; }

 private:
  geo::GeoPoint centre_;
  std::optional<geo::GeoPoint> radar_;
};

struct ContactReport {
  int id = 0;
  std::string name = "F-16C (Viper)";
  int friendly = 1;
  char kind = 'B';
  double altitude = 3000.0;
  int headingDeg = 0;  // whole degrees as the scope reads them
  double speed = 300.0;
};

// Radians that the scope reads back as `degrees` whole degrees.
double HeadingRadians(int degrees);

class PaintScene {
 public:
  explicit PaintScene(int width = 800, int height = 600, unsigned rangeKm = 50, geo::GeoPoint centre = kSeaCentre);

  void Resize(int width, int height);
  void CentreOn(geo::GeoPoint centre);
  // Prepares a frame and paints it, as the view does for every paint.
  QImage Paint();
  // Prepares a frame only.
  const ScopeFrame& Prepare();
  // Contacts that passed the visibility test in the last frame.
  int ContactsShown() const { return static_cast<int>(preparer.Frame().contacts.size()); }

  QPoint At(const geo::GeoPoint& position) const;
  geo::GeoPoint GeoAt(int x, int y) const;
  // A position whose screen point is exactly `pixel`.
  geo::GeoPoint ExactlyAt(QPoint pixel) const;
  // Creates (or refreshes) a contact whose screen point is `pixel`.
  void Report(QPoint pixel, const ContactReport& report);
  void Report(const geo::GeoPoint& position, const ContactReport& report);
  model::CContact& Contact(int id);
  // Moves the clock on, so the next report adds a history point.
  void Later(int seconds = 6) { now += seconds; }

  model::ClientState state;
  std::int64_t now = 1'000'000;
  model::CRivakDoc document{state, [this] { return now; }};
  model::ClientSettings settings;
  ScopeGeometry geometry;
  ScopeOptions options;
  ScopeStatus status;
  ScopeMapData map;
  std::vector<geo::GeoPoint> markers;
  std::optional<MeasureLine> measure;
  ScopeFramePreparer preparer;
  ScopePainter painter;
  int width;
  int height;
};

inline ScreenPoint ToScreen(QPoint point) { return {point.x(), point.y()}; }

// --- Pixels -----------------------------------------------------------
QColor PixelAt(const QImage& image, int x, int y);
bool IsColour(const QImage& image, int x, int y, const QColor& colour);
bool IsColour(const QImage& image, QPoint at, const QColor& colour);
// Some pixel of exactly `colour` within `reach` pixels of `at`.
bool ColourNear(const QImage& image, QPoint at, const QColor& colour, int reach = 1);
int CountColour(const QImage& image, const QRect& area, const QColor& colour);
// Pixels within `tolerance` of `colour` on every channel (antialiased text).
int CountNearColour(const QImage& image, const QRect& area, const QColor& colour, int tolerance);
// Every pixel of `area` is black.
bool AllBlack(const QImage& image, const QRect& area);

}  // namespace vantor::scope::test
