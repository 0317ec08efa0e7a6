#pragma once
// One prepared picture of the scope: everything the paint pass draws, in
// screen coordinates, decided beforehand from the contact table, the
// reference data, the map data, the settings and the view's options. The
// painter draws a frame and reads nothing else.

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "vantor/model/CContact.h"
#include "vantor/scope/ApproachGeometry.h"
#include "vantor/scope/MeasureLine.h"
#include "vantor/scope/ScopeLabels.h"
#include "vantor/scope/ScopeProjection.h"

namespace vantor::scope {

class CoastlineScreenCache;

// How far beyond the picture pens may start, so clipped lines end outside.
inline constexpr int kPictureMarginPx = 16;
// How far from the picture a contact's symbol, heading line and label can
// still reach into it.
inline constexpr int kContactReachPx = 400;

// Strokes of connected screen points: the user's drawing, the airfield
// outlines.
class ScreenStrokes {
 public:
  void Clear();
  // The next point starts a new stroke.
  void Break() { broken_ = true; }
  void Add(ScreenPoint point);
  std::size_t PointCount() const { return points_.size(); }

  // Calls visit(first, count) for every stroke in order, single points
  // included.
  template <typename Visit>
  void ForEachStroke(Visit&& visit) const {
    for (std::size_t i = 0; i < starts_.size(); ++i) {
      const std::size_t end = i + 1 < starts_.size() ? starts_[i + 1] : points_.size();
      visit(points_.data() + starts_[i], end - starts_[i]);
    }
  }

 private:
  std::vector<ScreenPoint> points_;
  std::vector<std::size_t> starts_;
  bool broken_ = true;
};

// A circle whose radius may exceed the int range (coverage at close ranges).
struct ScreenCircle {
  ScreenPoint centre;
  std::int64_t radius = 0;
};

struct FrameRunway {
  ScreenPoint end1;
  // End 2 is on the scope too: the runway, its code and its approach aids
  // are drawn; otherwise only the airfield radar circle.
  bool runwayShown = false;
  ScreenPoint end2;
  QString code;
  ScreenPoint codeAt;  // top-left of the code
  // In airfield mode on the record that carries the approach aids.
  std::optional<ScreenSegment> centreline;
  // The coalition's airfield radar, while coverage is shown.
  std::optional<ScreenCircle> radarCircle;
};

// A contact that its coalition sees, as drawn.
struct FrameContact {
  int id = 0;
  ScreenPoint at;
  bool friendly = false;
  bool carrier = false;
  bool radarSite = false;
  bool altSymbol = false;
  bool radarDataSet = false;
  double heading = 0.0;  // radians
  double speed = 0.0;    // km/h
  int sectorDeg = 360;
  double detectionRangeKm = 0.0;
  int weaponRangeKm = 0;
  // The trail, newest first; empty unless trails are drawn for it.
  std::array<ScreenPoint, model::TrackHistory::kCapacity> history{};
  std::size_t historyCount = 0;
  // While labels are shown, for contacts that carry one.
  std::optional<ContactLabel> label;
};

struct FrameMeasure {
  MeasureLine line;
  QString text;  // range and bearing
};

// Two friendly aircraft in conflict, joined by a line.
struct FrameConflict {
  ScreenPoint first;
  ScreenPoint second;
};

struct ScopeFrame {
  int width = 0;  // the picture
  int height = 0;
  unsigned rangeKm = 0;
  int pixelsPerKm = 0;

  // Only the status text and the frame while the centred radar is out of
  // order; nothing below is prepared then.
  bool radarOutOfOrder = false;
  bool awacsLost = false;

  // Valid until the next frame is prepared; none while the coastline is
  // hidden.
  const CoastlineScreenCache* coastline = nullptr;
  int coastlineGrey = 0;
  ScreenStrokes drawing;
  bool airfieldMode = false;
  ScreenStrokes airfieldOutlines;  // airfield mode only
  std::vector<ScreenPoint> markers;
  bool rangeRingsShown = false;
  bool compassShown = false;
  int fontSize = kDefaultLabelFontSize;
  bool advancedSymbols = false;
  bool coverageShown = false;

  std::vector<FrameRunway> runways;
  std::vector<FrameContact> contacts;  // the visible ones, in table order
  std::optional<FrameMeasure> measure;
  std::optional<ScreenCircle> awacsCoverage;

  // The controller's aids; all empty while their settings are off.
  std::optional<ScreenPoint> bullseye;
  std::optional<ScreenPoint> braaFriendly;  // the friendly BRAA calls are given from
  std::vector<FrameConflict> conflicts;
  std::vector<QString> conflictTexts;  // listed at the top, soonest first
  bool conflictFlashOn = false;        // the highlight's phase
};

// A point within `reach` pixels of the picture widened by its pen margin.
bool NearPicture(const ScopeFrame& frame, ScreenPoint point, int reach);

}  // namespace vantor::scope
