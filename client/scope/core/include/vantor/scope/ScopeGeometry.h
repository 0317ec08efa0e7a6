#pragma once
// The scope's centre, range step and window geometry, with the navigation
// rules: the wheel's range steps, the centring commands of the Airports and
// Radars menus and the carrier, and the right double-click. The view owns
// one and carries out what the results ask for (menu check marks, panel
// notifications, repaints).

#include <array>
#include <optional>

#include "vantor/scope/ScopeProjection.h"

namespace vantor::scope {

// Window rectangles as left, top, right (exclusive), bottom (exclusive).
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const PixelRect&) const = default;
};

inline constexpr std::array<unsigned, 9> kRangeStepsKm{2, 5, 10, 20, 50, 100, 200, 300, 400};
inline constexpr unsigned kDefaultRangeKm = 50;
inline constexpr unsigned kNarrowScopeMaxRangeKm = 300;
inline constexpr GeoPoint kDefaultCentre{45.081666, 38.95};

// Command ids of the two centring menus.
inline constexpr int kFirstAirfieldCommand = 32700;
inline constexpr int kLastFixedAirfieldCommand = 32720;
inline constexpr int kCarrierCommand = 32721;
inline constexpr int kHomeAirfieldCommand = 32710;  // Krasnodar center, the first centre
inline constexpr int kFirstRadarCommand = 32800;
inline constexpr int kRadarCommandCount = 10;
// The private message that makes the button panel redraw its range picture.
inline constexpr int kPanelRangeMessage = 1126;

// The scale legend the button panel shows for a range step: 1033 ... 1040
// metric, 900 less with nautical units; 0 for a range that is no step.
int RangeLegendBitmap(unsigned rangeKm, bool nauticalUnits);

// Fixed centre of an airfield command 32700 ... 32720.
std::optional<GeoPoint> AirfieldCommandCentre(int command);

// Where the carrier and the radar sites are, asked at the moment of a
// centring command.
class CentringSources {
 public:
  virtual ~CentringSources() = default;
  virtual std::optional<GeoPoint> CarrierPosition() const = 0;
  // The coalition's radar site with this radar number, if there is one.
  virtual std::optional<GeoPoint> RadarSitePosition(int radarNumber) const = 0;
};

struct WheelResult {
  bool rangeChanged = false;
  bool notifyPanel = false;  // post kPanelRangeMessage to the button panel
  int legendBitmap = 0;      // the panel's new range picture when the range changed
};

struct CentringResult {
  bool handled = false;  // false: the command changed nothing
  std::optional<int> uncheckAirfieldCommand;
  std::optional<int> checkAirfieldCommand;
  std::optional<int> uncheckRadarMenuPosition;  // positions in the Radars menu
  std::optional<int> checkRadarMenuPosition;
  bool clearRadarOutOfOrder = false;
  bool updateAllViews = false;
};

class ScopeGeometry {
 public:
  ScopeGeometry();

  // --- State -----------------------------------------------------------
  const GeoPoint& Centre() const { return projection_.Centre(); }
  unsigned RangeKm() const { return rangeKm_; }
  int PixelsPerKm() const { return projection_.PixelsPerKm(); }
  const ScopeScreen& Screen() const { return projection_.Screen(); }
  // Valid until the next change of centre, range or window.
  const ScopeProjection& Projection() const { return projection_; }
  ScreenPoint GeoToScreen(double latitude, double longitude) const {
    return projection_.GeoToScreen(latitude, longitude);
  }
  std::optional<GeoPoint> ScreenToGeo(int x, int y) const { return projection_.ScreenToGeo(x, y); }

  int CentringCommand() const { return centringCommand_; }
  std::optional<int> CheckedAirfieldCommand() const { return checkedAirfieldCommand_; }
  std::optional<int> CheckedRadarMenuPosition() const { return checkedRadarMenuPosition_; }
  bool AirfieldMode() const { return airfieldMode_; }
  bool WideScope() const { return wideScope_; }

  // --- Window ----------------------------------------------------------
  // Recomputes the screen from the window's outer rectangle and returns the
  // drawing area: the client rectangle less 42 pixels left, top and right
  // and 39 at the bottom (none at the bottom in airfield mode). Runs on
  // every geometry tick and after every resize; a changed screen makes the
  // coastline cache stale.
  PixelRect UpdateGeometry(const PixelRect& outerRect, const PixelRect& clientRect);
  static PixelRect DrawingArea(const PixelRect& clientRect, bool airfieldMode);

  // --- Range -----------------------------------------------------------
  // Wheel turned: negative delta zooms out one step, positive zooms in.
  WheelResult OnWheel(int delta, bool nauticalUnits);
  // The button panel's range selector and the main frame's limits.
  void SetRangeKm(unsigned rangeKm);
  void SetAirfieldMode(bool on) { airfieldMode_ = on; }
  // The main frame hides (wide scope, 400 km allowed) or shows the side
  // panel again (range limited to 300 km); either way the window changes.
  void SetSidePanelHidden(bool hidden);

  // --- Centre ----------------------------------------------------------
  // The first showing: range 50 km, centred on Krasnodar center.
  CentringResult FirstShow(const CentringSources& sources);
  // Commands 32700 ... 32721 and 32800 ... 32809; others are not handled.
  CentringResult OnCentringCommand(int command, const CentringSources& sources);
  // Re-centres on the clicked position when it lies inside the theatre
  // (latitude 42 ... 46, longitude 33 ... 43, exclusive); not in airfield
  // mode, not while the scale is 0. True when the centre moved.
  bool OnRightDoubleClick(int x, int y);

  // --- Frame bookkeeping ----------------------------------------------
  // The coastline screen cache must be rebuilt: the window, the centre, the
  // range or the centring command changed since the last paint.
  bool CoastlineCacheStale() const;
  void CoastlineCacheRebuilt() { coastlineStale_ = false; }
  void MarkCoastlineStale() { coastlineStale_ = true; }
  // The end of a frame: the current command and range become the previous.
  void FramePrepared();
  int PreviousCentringCommand() const { return previousCentringCommand_; }
  int PreviousRangeKm() const { return previousRangeKm_; }

 private:
  void SetCentre(const GeoPoint& centre);
  void RefreshProjection();
  CentringResult CheckAirfieldItem(int command);

  ScopeProjection projection_;
  GeoPoint centre_ = kDefaultCentre;
  ScopeScreen screen_;
  unsigned rangeKm_ = kDefaultRangeKm;
  int centringCommand_ = 0;
  std::optional<int> checkedAirfieldCommand_;
  std::optional<int> checkedRadarMenuPosition_;
  int previousCentringCommand_ = -1;
  int previousRangeKm_ = 0;
  bool coastlineStale_ = true;
  bool airfieldMode_ = false;
  bool wideScope_ = false;
};

}  // namespace vantor::scope
