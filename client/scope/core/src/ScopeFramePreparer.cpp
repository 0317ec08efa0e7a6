#include "vantor/scope/ScopeFramePreparer.h"

#include <algorithm>
#include <mutex>

#include "vantor/geo/ElevationGrid.h"
#include "vantor/model/CRivakDoc.h"
#include "vantor/model/ClientSettings.h"
#include "vantor/model/ContactLabels.h"
#include "vantor/scope/CoastlineScreenCache.h"
#include "vantor/scope/DocumentSensors.h"
#include "vantor/scope/ScopeGeometry.h"
#include "vantor/scope/ScopeMapData.h"
#include "vantor/scope/ScopeStatus.h"
#include "vantor/scope/SensorVisibility.h"
#include "vantor/scope/TacticalReadouts.h"

namespace vantor::scope {
namespace {

// Points of a list whose (0, 0) entries separate strokes.
void ProjectStrokes(const ScopeProjection& projection, const std::vector<geo::GeoPoint>& points,
                    ScreenStrokes& strokes) {
  for (const geo::GeoPoint& point : points) {
    if (point.IsSeparator())
      strokes.Break();
    else
      strokes.Add(projection.GeoToScreen(point));
  }
}

// The scope's frame artwork covers this much of the picture's edges.
constexpr int kFrameBorderPx = 42;
constexpr int kFrameBottomPx = 39;

bool OnScope(ScreenPoint point) { return point.x != 0 && point.y != 0; }

}  // namespace

ScopeFramePreparer::ScopeFramePreparer() : coastlineCache_(std::make_unique<CoastlineScreenCache>()) {}

ScopeFramePreparer::~ScopeFramePreparer() = default;

const ScopeFrame& ScopeFramePreparer::Prepare(const FrameSources& sources) {
  const ScopeGeometry& geometry = sources.geometry;
  const ScopeProjection& projection = geometry.Projection();
  const model::ClientSettings& settings = sources.settings;
  const ScopeOptions& options = sources.options;

  ScopeFrame& frame = frame_;
  frame.width = sources.width;
  frame.height = sources.height;
  frame.rangeKm = geometry.RangeKm();
  frame.pixelsPerKm = geometry.PixelsPerKm();
  frame.radarOutOfOrder = sources.status.radarOutOfOrder;
  frame.awacsLost = sources.status.awacsLost;
  frame.coastline = nullptr;
  frame.coastlineGrey = std::clamp(options.coastlineIntensity, 0, 255);
  frame.drawing.Clear();
  frame.airfieldMode = geometry.AirfieldMode();
  frame.airfieldOutlines.Clear();
  frame.markers.clear();
  frame.rangeRingsShown = options.rangeRingsShown;
  frame.compassShown = options.rangeRingsShown && settings.showRose != 0;
  frame.fontSize = sources.labels.fontSize;
  frame.advancedSymbols = settings.displayMode != 0;
  frame.coverageShown = options.coverageShown;
  frame.runways.clear();
  frame.contacts.clear();
  frame.measure.reset();
  frame.awacsCoverage.reset();
  frame.bullseye.reset();
  frame.braaFriendly.reset();
  frame.conflicts.clear();
  frame.conflictTexts.clear();
  frame.conflictFlashOn = options.alertFlashOn;

  if (!frame.radarOutOfOrder) {
    if (options.coastlineShown) PrepareCoastline(sources, projection);
    ProjectStrokes(projection, sources.map.drawing.Points(), frame.drawing);
    if (frame.airfieldMode) ProjectStrokes(projection, sources.map.airfieldOutlines, frame.airfieldOutlines);
    for (const geo::GeoPoint& marker : sources.markers) frame.markers.push_back(projection.GeoToScreen(marker));
    std::lock_guard lock(sources.document.ContactTableLock());
    PrepareRunways(sources, projection);
    PrepareContacts(sources, projection);
    if (settings.declutter && options.labelsShown) DeclutterLabels(sources);
    if (settings.conflictAlert) PrepareConflicts();
    if (sources.measure)
      frame.measure = FrameMeasure{*sources.measure, MeasureText(*sources.measure, projection, settings.imperial != 0)};
    PrepareAwacs(sources, projection);
  }
  // The coastline cache goes by the command and range of the last frame.
  sources.geometry.FramePrepared();
  return frame;
}

void ScopeFramePreparer::PrepareCoastline(const FrameSources& sources, const ScopeProjection& projection) {
  const bool projectionChanged = !coastlineScreen_ || *coastlineScreen_ != projection.Screen() ||
                                 coastlineCentre_ != projection.Centre() ||
                                 coastlinePixelsPerKm_ != projection.PixelsPerKm();
  if (sources.geometry.CoastlineCacheStale() || projectionChanged) {
    coastlineCache_->Rebuild(sources.map.coastline, projection);
    coastlineScreen_ = projection.Screen();
    coastlineCentre_ = projection.Centre();
    coastlinePixelsPerKm_ = projection.PixelsPerKm();
    ++coastlineProjections_;
  }
  sources.geometry.CoastlineCacheRebuilt();
  frame_.coastline = coastlineCache_.get();
}

void ScopeFramePreparer::PrepareRunways(const FrameSources& sources, const ScopeProjection& projection) {
  for (model::CAirfield& runway : sources.document.Airfields()) PrepareRunway(sources, projection, runway);
}

void ScopeFramePreparer::PrepareRunway(const FrameSources& sources, const ScopeProjection& projection,
                                       model::CAirfield& runway) {
  FrameRunway prepared;
  prepared.end1 = projection.GeoToScreen(runway.end1Latitude, runway.end1Longitude);
  if (!OnScope(prepared.end1)) return;
  prepared.end2 = projection.GeoToScreen(runway.end2Latitude, runway.end2Longitude);
  prepared.runwayShown = OnScope(prepared.end2);
  if (prepared.runwayShown) {
    const double factor = AirfieldCodeOffsetFactor(frame_.rangeKm);
    prepared.code = runway.code;
    prepared.codeAt = {prepared.end1.x + static_cast<int>(runway.labelDx * factor),
                       prepared.end1.y + static_cast<int>(runway.labelDy * factor)};
    if (frame_.airfieldMode && runway.primary == 1) {
      const ApproachEnd approach = ChooseApproachEnd(runway, sources.options.windDirectionDeg);
      if (approach.flipped) runway.activeEndFlipped = *approach.flipped ? 1 : 0;
      prepared.centreline = ExtendedCentreline(approach.atFirstEnd, prepared.end1, prepared.end2);
      // Rebuilt for every frame, so it always matches the picture the
      // approach view compares contacts with.
      if (runway.menuId == sources.geometry.CentringCommand())
        approach_.emplace(runway, approach.atFirstEnd, prepared.end1, prepared.end2);
    }
  }
  prepared.radarCircle = AirfieldRadarCircle(sources, projection, runway);
  frame_.runways.push_back(std::move(prepared));
}

std::optional<ScreenCircle> ScopeFramePreparer::AirfieldRadarCircle(const FrameSources& sources,
                                                                    const ScopeProjection& projection,
                                                                    const model::CAirfield& runway) const {
  if (runway.menuId == 0 || !frame_.coverageShown) return std::nullopt;
  const int index = runway.menuId - kFirstAirfieldCommand;
  if (index < 0 || index >= protocol::kAirfieldCount) return std::nullopt;
  const protocol::ConfigBlock& config = sources.document.State().configBlock;
  const auto s = static_cast<std::size_t>(sources.document.State().SideIndex());
  const auto i = static_cast<std::size_t>(index);
  if (config.airfieldRadarOn[s][i] == 0) return std::nullopt;
  double latitude = runway.refLatitude, longitude = runway.refLongitude;
  if (runway.menuId == kCarrierCommand) {
    latitude = 0.0;
    longitude = 0.0;
    sources.document.FindCarrierPosition(latitude, longitude);
    if (latitude == 0.0 || longitude == 0.0) return std::nullopt;
  }
  return ScreenCircle{projection.GeoToScreen(latitude, longitude),
                      std::int64_t{frame_.pixelsPerKm} * config.airfieldRadarRangeKm[s][i]};
}

void ScopeFramePreparer::PrepareContacts(const FrameSources& sources, const ScopeProjection& projection) {
  model::CRivakDoc& document = sources.document;
  const model::ClientSettings& settings = sources.settings;
  const SensorVisibility visibility(sources.map.Terrain(), projection,
                                    CollectSensors(document, document.State().SideIndex()));
  const bool trails = !frame_.airfieldMode && settings.showOldPositions != 0;
  const LabelStyle labelStyle{sources.labels, settings.invertCallsign != 0, settings.imperial != 0,
                              settings.hideSpeed != 0};
  const bool nautical = settings.imperial != 0;
  // The aids' reference points: the bullseye, and the friendly BRAA calls
  // are given from while it is still in the table.
  std::optional<geo::GeoPoint> bullseye;
  if (settings.bullseye && settings.BullseyeSet()) {
    bullseye = geo::GeoPoint{settings.bullseyeLatitude, settings.bullseyeLongitude};
    frame_.bullseye = projection.GeoToScreen(*bullseye);
  }
  std::optional<geo::GeoPoint> braaFrom;
  if (settings.showBraa && sources.options.braaFriendly) {
    const model::CContact* friendly = document.FindContact(*sources.options.braaFriendly);
    if (friendly != nullptr && friendly->friendly) {
      braaFrom = geo::GeoPoint{friendly->latitude, friendly->longitude};
      frame_.braaFriendly = projection.GeoToScreen(*braaFrom);
    }
  }
  conflictTracks_.clear();
  conflictContacts_.clear();
  crowding_.Clear();
  for (model::CContact& contact : document.Contacts()) {
    const ScreenPoint at = projection.GeoToScreen(contact.latitude, contact.longitude);
    contact.screenX = at.x;
    contact.screenY = at.y;
    if (visibility.IsContactVisible(contact)) {
      FrameContact& shown = frame_.contacts.emplace_back();
      shown.id = contact.id;
      shown.at = at;
      shown.friendly = contact.friendly != 0;
      shown.carrier = contact.carrier != 0;
      shown.radarSite = contact.radarSite != 0;
      shown.altSymbol = contact.altSymbol != 0;
      shown.radarDataSet = contact.radarDataSet != 0;
      shown.heading = contact.heading;
      shown.speed = contact.speed;
      shown.sectorDeg = contact.sectorDeg;
      shown.detectionRangeKm = contact.detectionRangeKm;
      shown.weaponRangeKm = contact.weaponRangeKm;
      const bool plain = !shown.radarSite && !shown.altSymbol;
      if (trails && plain) {
        for (const model::HistoryPoint& point : contact.history)
          shown.history[shown.historyCount++] = projection.GeoToScreen(point.latitude, point.longitude);
      }
      const bool alerted = settings.conflictAlert && IsAirborneFriendly(contact, sources.map.Terrain());
      std::optional<QString> assigned;
      if ((sources.options.labelsShown && plain && NearPicture(frame_, at, kContactReachPx)) || alerted) {
        QString callsign;
        if (document.LookupCallsign(contact.id, callsign)) assigned = std::move(callsign);
      }
      if (sources.options.labelsShown && plain && NearPicture(frame_, at, kContactReachPx)) {
        shown.label = LabelContact(contact, QPoint(at.x, at.y), assigned, crowding_.Count(at.x, at.y), labelStyle);
        if (!shown.friendly) {
          const geo::GeoPoint position{contact.latitude, contact.longitude};
          if (bullseye)
            shown.label->bullseyeLine = BearingRangeText(BearingRangeBetween(*bullseye, position, nautical));
          if (braaFrom)
            shown.label->braaLine = BraaText(*braaFrom, {position, contact.altitude, contact.heading}, nautical);
        }
      }
      if (alerted) {
        conflictTracks_.push_back(
            {contact.id, {contact.latitude, contact.longitude}, contact.altitude, contact.heading, contact.speed});
        conflictContacts_.push_back({at, ConflictName(contact, assigned, settings.invertCallsign != 0)});
      }
    }
    // Labels further down the table make room for this one.
    if (contact.radarSite == 0) crowding_.Add(at.x, at.y);
  }
}

bool ScopeFramePreparer::IsAirborneFriendly(const model::CContact& contact, const geo::ElevationGrid& terrain) {
  if (!contact.friendly || contact.radarSite || contact.altSymbol || contact.carrier) return false;
  if (contact.speed < kAirborneSpeedKmh) return false;
  return contact.altitude - terrain.HeightAt({contact.latitude, contact.longitude}) >= kAlertFloorAboveGroundM;
}

QString ScopeFramePreparer::ConflictName(const model::CContact& contact, const std::optional<QString>& callsign,
                                         bool invertCallsign) {
  QString name = callsign ? *callsign : model::FriendlyLabelName(contact.name, invertCallsign);
  return name.remove(QLatin1Char('(')).remove(QLatin1Char(')')).trimmed();
}

void ScopeFramePreparer::DeclutterLabels(const FrameSources& sources) {
  const int fontSize = sources.labels.fontSize;
  // Labels go where the frame's border does not cover them.
  const QRect picture(kFrameBorderPx, kFrameBorderPx, frame_.width - 2 * kFrameBorderPx,
                      frame_.height - kFrameBorderPx - kFrameBottomPx);
  declutterRequests_.clear();
  declutterSymbols_.clear();
  declutterOwners_.clear();
  for (std::size_t i = 0; i < frame_.contacts.size(); ++i) {
    const FrameContact& contact = frame_.contacts[i];
    const QPoint at(contact.at.x, contact.at.y);
    if (!picture.contains(at)) continue;  // labels off the picture keep their place
    declutterSymbols_.push_back(at);
    if (!contact.label) continue;
    const ContactLabel& label = *contact.label;
    declutterRequests_.push_back(
        {contact.id, at, QSize(label.Width(textWidth_, sources.labels), label.LineCount() * fontSize)});
    declutterOwners_.push_back(i);
  }
  const auto& placements = declutter_.Place(declutterRequests_, declutterSymbols_, picture, fontSize);
  for (std::size_t k = 0; k < placements.size(); ++k)
    frame_.contacts[declutterOwners_[k]].label->place = placements[k].place;
}

void ScopeFramePreparer::PrepareConflicts() {
  for (const Conflict& conflict : conflictDetector_.Find(conflictTracks_)) {
    const ConflictContact& first = conflictContacts_[static_cast<std::size_t>(conflict.first)];
    const ConflictContact& second = conflictContacts_[static_cast<std::size_t>(conflict.second)];
    frame_.conflicts.push_back({first.at, second.at});
    frame_.conflictTexts.push_back(ConflictText(first.name, second.name, conflict.secondsToConflict));
  }
}

void ScopeFramePreparer::PrepareAwacs(const FrameSources& sources, const ScopeProjection& projection) {
  const protocol::ConfigBlock& config = sources.document.State().configBlock;
  const model::AwacsSlot slot = model::GetAwacsSlot(config, sources.document.State().SideIndex());
  if (slot.mode == 0 || !frame_.coverageShown) return;
  frame_.awacsCoverage = ScreenCircle{projection.GeoToScreen(slot.latitude, slot.longitude),
                                      std::int64_t{frame_.pixelsPerKm} * config.awacsRangeKm};
}

}  // namespace vantor::scope
