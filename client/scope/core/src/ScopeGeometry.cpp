#include "vantor/scope/ScopeGeometry.h"

#include <algorithm>

namespace vantor::scope {
namespace {

constexpr int kFrameMargin = 42;
constexpr int kBottomMargin = 39;
constexpr int kFirstLegendBitmap = 1033;
constexpr int kNauticalLegendOffset = 900;

// The theatre a right double-click may centre on (exclusive bounds).
constexpr double kTheatreSouth = 42.0;
constexpr double kTheatreNorth = 46.0;
constexpr double kTheatreWest = 33.0;
constexpr double kTheatreEast = 43.0;

constexpr std::array<GeoPoint, kLastFixedAirfieldCommand - kFirstAirfieldCommand + 1> kAirfieldCentres{{
    {43.440833, 39.953611},  // 32700 Adler
    {44.998889, 37.355},     // 32701 Anapa
    {44.688056, 33.575556},  // 32702 Belbek
    {45.686111, 34.423333},  // 32703 Dzhakoy
    {44.569167, 38.019722},  // 32704 Gelendzhik
    {43.115, 40.584722},     // 32705 Gudauta
    {45.105833, 33.968611},  // 32706 Gvardeyskoye
    {45.397778, 36.25},      // 32707 Kerch
    {44.576667, 33.396389},  // 32708 Khersones
    {45.159167, 35.188889},  // 32709 Kirovskoye
    {45.081667, 38.95},      // 32710 Krasnodar center
    {45.032222, 39.178055},  // 32711 Krasnodar-Pashkovkiy
    {45.571667, 34.286944},  // 32712 Krasnogvardeyskoye
    {44.9625, 38.003056},    // 32713 Krymsk
    {44.678056, 40.048889},  // 32714 Maykop
    {44.663889, 37.786111},  // 32715 Novorossiysk
    {45.322222, 34.09},      // 32716 Oktyabrskoye
    {45.733333, 33.524722},  // 32717 Razdolnoye
    {45.0825, 33.599167},    // 32718 Saki
    {45.035555, 33.984166},  // 32719 Simferopol
    {42.861944, 41.141944},  // 32720 Sukhumi
}};

std::optional<std::size_t> StepIndex(unsigned rangeKm) {
  const auto found = std::find(kRangeStepsKm.begin(), kRangeStepsKm.end(), rangeKm);
  if (found == kRangeStepsKm.end()) return std::nullopt;
  return static_cast<std::size_t>(found - kRangeStepsKm.begin());
}

unsigned ZoomedOut(std::size_t step, bool wideScope) {
  const unsigned range = kRangeStepsKm[step];
  if (range == 300) return wideScope ? 400 : 2;
  if (range == 400) return 2;
  return kRangeStepsKm[step + 1];
}

unsigned ZoomedIn(std::size_t step, bool wideScope) {
  if (step == 0) return wideScope ? 400 : 300;
  return kRangeStepsKm[step - 1];
}

}  // namespace

int RangeLegendBitmap(unsigned rangeKm, bool nauticalUnits) {
  const auto step = StepIndex(rangeKm);
  if (!step) return 0;
  // 300 and 400 km share the last legend.
  const int metric = kFirstLegendBitmap + static_cast<int>(std::min<std::size_t>(*step, 7));
  return nauticalUnits ? metric - kNauticalLegendOffset : metric;
}

std::optional<GeoPoint> AirfieldCommandCentre(int command) {
  if (command < kFirstAirfieldCommand || command > kLastFixedAirfieldCommand) return std::nullopt;
  return kAirfieldCentres[static_cast<std::size_t>(command - kFirstAirfieldCommand)];
}

ScopeGeometry::ScopeGeometry() { RefreshProjection(); }

void ScopeGeometry::RefreshProjection() {
  projection_ = ScopeProjection(screen_, centre_, scope::PixelsPerKm(screen_, rangeKm_));
}

void ScopeGeometry::SetCentre(const GeoPoint& centre) {
  if (centre == centre_) return;
  centre_ = centre;
  // The coastline cache follows every move of the centre, also when the
  // same command centres again on a moved carrier or after a double-click.
  coastlineStale_ = true;
  RefreshProjection();
}

PixelRect ScopeGeometry::DrawingArea(const PixelRect& clientRect, bool airfieldMode) {
  return {clientRect.left + kFrameMargin, clientRect.top + kFrameMargin, clientRect.right - kFrameMargin,
          airfieldMode ? clientRect.bottom : clientRect.bottom - kBottomMargin};
}

PixelRect ScopeGeometry::UpdateGeometry(const PixelRect& outerRect, const PixelRect& clientRect) {
  ScopeScreen screen;
  screen.width = outerRect.Width();
  screen.widthForY = screen.width;
  screen.centreX = screen.width / 2;
  screen.centreY = outerRect.Height() / 2;
  if (screen != screen_) {
    screen_ = screen;
    coastlineStale_ = true;
    RefreshProjection();
  }
  return DrawingArea(clientRect, airfieldMode_);
}

WheelResult ScopeGeometry::OnWheel(int delta, bool nauticalUnits) {
  WheelResult result;
  if (delta == 0) return result;
  const auto step = StepIndex(rangeKm_);
  if (!step) return result;
  const bool zoomOut = delta < 0;
  if (airfieldMode_) {
    const bool allowed = zoomOut ? rangeKm_ < 50 : (rangeKm_ >= 3 && rangeKm_ <= 99);
    if (!allowed) {
      result.notifyPanel = true;
      return result;
    }
  }
  SetRangeKm(zoomOut ? ZoomedOut(*step, wideScope_) : ZoomedIn(*step, wideScope_));
  result.rangeChanged = true;
  result.notifyPanel = true;
  result.legendBitmap = RangeLegendBitmap(rangeKm_, nauticalUnits);
  return result;
}

void ScopeGeometry::SetRangeKm(unsigned rangeKm) {
  if (rangeKm == rangeKm_) return;
  rangeKm_ = rangeKm;
  RefreshProjection();
}

void ScopeGeometry::SetSidePanelHidden(bool hidden) {
  wideScope_ = hidden;
  coastlineStale_ = true;
  if (!hidden && rangeKm_ > kNarrowScopeMaxRangeKm) SetRangeKm(kNarrowScopeMaxRangeKm);
}

CentringResult ScopeGeometry::FirstShow(const CentringSources& sources) {
  SetRangeKm(kDefaultRangeKm);
  return OnCentringCommand(kHomeAirfieldCommand, sources);
}

CentringResult ScopeGeometry::CheckAirfieldItem(int command) {
  CentringResult result;
  result.handled = true;
  result.updateAllViews = true;
  if (checkedAirfieldCommand_ && *checkedAirfieldCommand_ != command)
    result.uncheckAirfieldCommand = checkedAirfieldCommand_;
  result.checkAirfieldCommand = command;
  // One check mark across both menus: the radar item loses its mark too.
  result.uncheckRadarMenuPosition = checkedRadarMenuPosition_;
  checkedRadarMenuPosition_.reset();
  checkedAirfieldCommand_ = command;
  centringCommand_ = command;
  return result;
}

CentringResult ScopeGeometry::OnCentringCommand(int command, const CentringSources& sources) {
  if (const auto centre = AirfieldCommandCentre(command)) {
    SetCentre(*centre);
    return CheckAirfieldItem(command);
  }
  if (command == kCarrierCommand) {
    // The carrier's position at this moment; the scope does not follow it.
    if (const auto carrier = sources.CarrierPosition()) SetCentre(*carrier);
    return CheckAirfieldItem(command);
  }
  if (command >= kFirstRadarCommand && command < kFirstRadarCommand + kRadarCommandCount) {
    const int radarNumber = command - kFirstRadarCommand;
    const auto site = sources.RadarSitePosition(radarNumber);
    if (!site) return {};
    CentringResult result;
    result.handled = true;
    result.uncheckAirfieldCommand = checkedAirfieldCommand_;
    checkedAirfieldCommand_.reset();
    const int position = radarNumber + 1;
    if (checkedRadarMenuPosition_ && *checkedRadarMenuPosition_ != position)
      result.uncheckRadarMenuPosition = checkedRadarMenuPosition_;
    result.checkRadarMenuPosition = position;
    checkedRadarMenuPosition_ = position;
    SetCentre(*site);
    centringCommand_ = command;
    result.clearRadarOutOfOrder = true;
    result.updateAllViews = true;
    return result;
  }
  return {};
}

bool ScopeGeometry::OnRightDoubleClick(int x, int y) {
  if (airfieldMode_) return false;
  const auto position = ScreenToGeo(x, y);
  if (!position) return false;
  if (!(position->latitude > kTheatreSouth && position->latitude < kTheatreNorth &&
        position->longitude > kTheatreWest && position->longitude < kTheatreEast))
    return false;
  SetCentre(*position);
  coastlineStale_ = true;
  return true;
}

bool ScopeGeometry::CoastlineCacheStale() const {
  return coastlineStale_ || centringCommand_ != previousCentringCommand_ ||
         static_cast<int>(rangeKm_) != previousRangeKm_;
}

void ScopeGeometry::FramePrepared() {
  previousCentringCommand_ = centringCommand_;
  previousRangeKm_ = static_cast<int>(rangeKm_);
}

}  // namespace vantor::scope
