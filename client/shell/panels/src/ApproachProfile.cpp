#include "vantor/shell/ApproachProfile.h"

#include <mutex>

#include "vantor/geo/Geodesy.h"
#include "vantor/model/CRivakDoc.h"
#include "vantor/model/ContactLabels.h"
#include "vantor/scope/ApproachGeometry.h"
#include "vantor/scope/ScopeGeometry.h"
#include "vantor/scope/SensorVisibility.h"
#include "vantor/texts/Texts.h"

namespace vantor::shell {
namespace {

constexpr qsizetype kFriendlyLabelLength = 10;
constexpr double kMetresToFeet = 3.28;
constexpr int kTextGap = 20;         // between the mark and the texts above it
constexpr int kTextDrop = 10;        // from the mark down to the texts below it
constexpr int kLabelLeftOfMark = 5;  // the label below ends this far left of the mark

}  // namespace

bool ThresholdAtFirstEnd(const model::CAirfield& runway, const ScopeApproachState& scope) {
  if (scope.approach != nullptr && scope.approach->MenuId() == runway.menuId) return scope.approach->AtFirstEnd();
  return scope::ChooseApproachEnd(runway, scope.windDirectionDeg).atFirstEnd;
}

void ApproachReferenceTracker::Tick(const model::CRivakDoc& document, const ScopeApproachState& scope) {
  std::lock_guard lock(document.ContactTableLock());
  const int command = scope.centringCommand;
  lastCentring_ = command;
  // Read at every tick, not only when the command changes: the wind may
  // move the scope's approach to the other end while it stays centred.
  if (const model::CAirfield* runway = document.FindAirfieldRecord(command)) {
    const bool atFirstEnd = ThresholdAtFirstEnd(*runway, scope);
    reference_.threshold = atFirstEnd ? geo::GeoPoint{runway->end1Latitude, runway->end1Longitude}
                                      : geo::GeoPoint{runway->end2Latitude, runway->end2Longitude};
    reference_.fieldElevationM = runway->elevationM;
    reference_.approachAtFirstEnd = runway->approachAtFirstEnd;
  }
  if (command == scope::kCarrierCommand) {
    double latitude = 0.0, longitude = 0.0;
    if (document.FindCarrierPosition(latitude, longitude)) reference_.threshold = {latitude, longitude};
  }
}

std::optional<ProfilePlot> PlotOnProfile(const model::CContact& contact, const ApproachReference& reference,
                                         const std::optional<QString>& callsign, bool nauticalUnits) {
  const int altitude = geo::TruncToInt(contact.altitude);
  if (altitude <= reference.fieldElevationM) return std::nullopt;
  const double distanceKm = scope::ChordDistanceKm(reference.threshold.latitude, reference.threshold.longitude,
                                                   contact.latitude, contact.longitude);
  ProfilePlot plot;
  plot.contactId = contact.id;
  plot.x = geo::TruncToInt(kProfileThresholdX + kProfilePixelsPerKm * distanceKm);
  const double aboveField = static_cast<double>(altitude) - reference.fieldElevationM;
  plot.y = geo::TruncToInt(kProfileFieldY - aboveField * kProfilePixelsPerMetre);
  if (contact.friendly)
    plot.label = callsign ? *callsign : contact.name.left(kFriendlyLabelLength);
  else
    plot.label = model::HostileIdLabel(contact.id);
  plot.textsAbove = plot.y >= kProfileTextsAboveFromY;
  const int shown = nauticalUnits ? geo::TruncToInt(contact.altitude * kMetresToFeet) : altitude;
  const TextId format = nauticalUnits && plot.textsAbove ? TextId::IlsAltitudeAboveNautical : TextId::IlsAltitude;
  plot.altitudeText = QString::asprintf(Text(format, Language::English), shown);
  return plot;
}

std::vector<ProfilePlot> PlotArrivals(const model::CRivakDoc& document, const ApproachReference& reference,
                                      const scope::ApproachGeometry* approach, bool nauticalUnits) {
  std::vector<ProfilePlot> plots;
  if (approach == nullptr) return plots;
  std::lock_guard lock(document.ContactTableLock());
  for (const model::CContact& contact : document.Contacts()) {
    // Inside the region the aircraft is over the runway or past it.
    if (approach->InRegion({contact.screenX, contact.screenY})) continue;
    QString callsign;
    const bool hasCallsign = document.LookupCallsign(contact.id, callsign);
    if (auto plot =
            PlotOnProfile(contact, reference, hasCallsign ? std::optional(callsign) : std::nullopt, nauticalUnits))
      plots.push_back(std::move(*plot));
  }
  return plots;
}

ProfileTextPlacement PlaceProfileTexts(const ProfilePlot& plot, int fontSize, int labelWidth, int altitudeWidth) {
  if (plot.textsAbove)
    return {{plot.x - labelWidth / 2, plot.y - fontSize - kTextGap}, {plot.x - altitudeWidth / 2, plot.y - kTextGap}};
  return {{plot.x - kLabelLeftOfMark - labelWidth, plot.y + kTextDrop},
          {plot.x - altitudeWidth / 2, plot.y + fontSize + kTextDrop}};
}

}  // namespace vantor::shell
