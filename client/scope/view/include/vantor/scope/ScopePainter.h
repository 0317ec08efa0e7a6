#pragma once
// The scope's paint pass: one picture, rebuilt from scratch from the
// contact table, the reference data, the map data and the view's options,
// step by step in a fixed order, into an off-screen image.

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QPolygon>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

#include "vantor/geo/Geodesy.h"
#include "vantor/scope/CoastlineScreenCache.h"
#include "vantor/scope/ScopeArtwork.h"
#include "vantor/scope/ScopeGeometry.h"
#include "vantor/scope/ScopeStatus.h"

class QPainter;

namespace vantor::model {
class CRivakDoc;
struct CContact;
struct CAirfield;
struct ClientSettings;
}  // namespace vantor::model

namespace vantor::scope {

struct ScopeMapData;
class SensorVisibility;
namespace detail {
class SafeDrawing;
class TextSprites;
class LabelCrowding;
}  // namespace detail

// The range-and-bearing line, from where the right button went down to the
// cursor.
struct MeasureLine {
  QPoint anchor;
  QPoint cursor;
};

// Everything one paint reads. The paint writes back only what the rest of
// the client reads from it: each contact's screen point, each runway's
// active end, and the geometry's paint bookkeeping.
struct ScopeScene {
  model::CRivakDoc& document;
  const model::ClientSettings& settings;
  ScopeGeometry& geometry;
  const ScopeOptions& options;
  const ScopeStatus& status;
  const ScopeMapData& map;
  const std::vector<geo::GeoPoint>& markers;
  std::optional<MeasureLine> measure;
};

// The scope's "Arial" of a given cell height: the largest size whose
// ascent and descent together fit in `cellHeight` pixels, as the label
// layout spaces its lines by the font height.
QFont ScopeFont(int cellHeight);

// The measuring text for a range in km and a bearing in degrees.
QString MeasureText(int rangeKm, double bearingDeg, bool nauticalUnits);
// The two label lines' unit texts: altitude in tens of metres or hundreds
// of feet, speed in tens of km/h or tens of knots ("%03.0f").
QString LabelAltitudeText(double altitudeM, bool nauticalUnits);
QString LabelSpeedText(double speedKmh, bool nauticalUnits);
// The airfield code's offset factor at a range step (0 off the steps).
double AirfieldCodeOffsetFactor(unsigned rangeKm);

// Which runway end the approach aids use, from the wind.
struct ApproachEnd {
  bool atFirstEnd = true;
  std::optional<bool> flipped;  // the new activeEndFlipped, when the wind decides it
};
ApproachEnd ChooseApproachEnd(const model::CAirfield& runway, unsigned windDirectionDeg);

// Leader line and anchor of a contact's label, from how many contacts
// earlier in the table crowd its screen point.
struct LabelPlacement {
  QPoint leaderStart;
  QPoint leaderEnd;
  QPoint anchor;
};
LabelPlacement PlaceLabel(int crowding, QPoint at, int fontSize, int referenceWidth);

class ScopePainter {
 public:
  explicit ScopePainter(std::shared_ptr<const ScopeArtwork> artwork = ScopeArtwork::Shared());
  ~ScopePainter();
  ScopePainter(const ScopePainter&) = delete;
  ScopePainter& operator=(const ScopePainter&) = delete;

  // The whole pass into `image` (the scope's client area, black first).
  void Paint(QImage& image, ScopeScene& scene);

  // The approach area of the centred airfield in airfield mode, kept for
  // the approach (ILS) view.
  const std::optional<QPolygon>& approachRegion() const { return approachRegion_; }
  // How often the coastline has been projected (it is only when the view
  // changes).
  int coastlineProjections() const { return coastlineProjections_; }
  // Contacts that passed the visibility test in the last paint.
  int contactsShown() const { return contactsShown_; }

 private:
  struct Pass;

  void PaintOutOfOrder(Pass& pass);
  void DrawCoastline(Pass& pass);
  void DrawUserDrawing(Pass& pass);
  void DrawAirfieldOutlines(Pass& pass);
  void DrawMarkers(Pass& pass);
  void DrawRangeRings(Pass& pass);
  void DrawCompassLabels(Pass& pass, const QRect& outerRing);
  void DrawAirfields(Pass& pass);
  void DrawAirfield(Pass& pass, model::CAirfield& runway);
  void DrawApproachAids(Pass& pass, model::CAirfield& runway, QPoint end1, QPoint end2);
  void DrawAirfieldRadarCircle(Pass& pass, const model::CAirfield& runway);
  void DrawContacts(Pass& pass);
  void DrawContact(Pass& pass, const model::CContact& contact, QPoint at);
  void DrawRadarSite(Pass& pass, const model::CContact& contact, QPoint at);
  void DrawCoverage(Pass& pass, const model::CContact& contact, QPoint at, int radius);
  void DrawSymbolShape(Pass& pass, bool friendly, QPoint at, int halfSize);
  void DrawHeadingLine(Pass& pass, const model::CContact& contact, QPoint at);
  void DrawHistory(Pass& pass, const model::CContact& contact);
  void DrawContactLabel(Pass& pass, const model::CContact& contact, QPoint at);
  void DrawMeasuring(Pass& pass);
  void DrawAwacs(Pass& pass);
  void DrawFrame(Pass& pass);
  void DrawText(Pass& pass, int left, int top, const QString& text);
  void RebuildCoastlineIfStale(Pass& pass);

  std::shared_ptr<const ScopeArtwork> artwork_;
  std::unique_ptr<CoastlineScreenCache> coastlineCache_;
  // What the coastline cache was projected for.
  std::optional<ScopeScreen> coastlineScreen_;
  GeoPoint coastlineCentre_;
  int coastlinePixelsPerKm_ = -1;
  int coastlineProjections_ = 0;
  int contactsShown_ = 0;
  std::optional<QPolygon> approachRegion_;
  // Fonts and measures, kept while the label size stays.
  int fontSize_ = -1;
  QFont labelFont_;
  QFont compassFont_;
  QFont statusFont_;
  QFont awacsFont_;
  int labelReferenceWidth_ = 0;
  std::unique_ptr<detail::TextSprites> labelTexts_;
  std::unique_ptr<detail::LabelCrowding> crowding_;
};

}  // namespace vantor::scope
