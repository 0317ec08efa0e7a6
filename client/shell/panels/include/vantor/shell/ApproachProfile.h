#pragma once
// The approach profile, worked out without a window: which runway threshold
// and field elevation the profile is measured from (following the scope's
// centring and its choice of approach end), and where each arriving contact
// stands on the profile with its label and altitude.

#include <QPoint>
#include <QString>

#include <optional>
#include <vector>

#include "vantor/geo/GeoPoint.h"

namespace vantor::model {
class CRivakDoc;
struct CAirfield;
struct CContact;
}  // namespace vantor::model
namespace vantor::scope {
class ApproachGeometry;
}

namespace vantor::shell {

inline constexpr int kApproachTimerMs = 500;

// Krasnodar Center's first runway end, until the scope centres elsewhere.
inline constexpr geo::GeoPoint kInitialThreshold{45.081389, 38.965833};
inline constexpr int kInitialFieldElevationM = 36;

struct ApproachReference {
  geo::GeoPoint threshold = kInitialThreshold;
  int fieldElevationM = kInitialFieldElevationM;
  bool approachAtFirstEnd = true;  // the record's usual end
  bool operator==(const ApproachReference&) const = default;
};

// What the approach view reads of the scope at each tick.
struct ScopeApproachState {
  int centringCommand = 0;
  unsigned windDirectionDeg = 0;
  // The approach of the last frame that built one, if any.
  const scope::ApproachGeometry* approach = nullptr;
};

// The runway end the scope uses as threshold for `runway`: the end of the
// scope's own approach when its last frame built one for this airfield,
// otherwise the end the scope's wind rule picks. (The record's
// activeEndFlipped is not consulted: it stays set when the wind returns to
// calm, while the scope is back on the usual end.)
bool ThresholdAtFirstEnd(const model::CAirfield& runway, const ScopeApproachState& scope);

// Follows the scope every tick: the runway record of its centring command
// gives threshold, field elevation and usual end; the carrier entry takes
// the carrier's current position as threshold. A command without a record
// (a radar) leaves the reference as it was.
class ApproachReferenceTracker {
 public:
  // Takes the contact lock (the carrier is a contact).
  void Tick(const model::CRivakDoc& document, const ScopeApproachState& scope);
  const ApproachReference& Reference() const { return reference_; }
  // The centring command seen at the last tick.
  int LastCentring() const { return lastCentring_; }

 private:
  ApproachReference reference_;
  int lastCentring_ = 0;
};

// --- Plotting --------------------------------------------------------------

// The profile's axes: the threshold at x = 100, 40 pixels per km out; the
// field at y = 180, one pixel per 9 metres above it.
inline constexpr int kProfileThresholdX = 100;
inline constexpr int kProfilePixelsPerKm = 40;
inline constexpr int kProfileFieldY = 180;
inline constexpr double kProfilePixelsPerMetre = 0.1111111111111111;
// Below this y there is room for the texts above the mark.
inline constexpr int kProfileTextsAboveFromY = 40;

struct ProfilePlot {
  int contactId = 0;
  int x = 0;
  int y = 0;
  QString label;
  QString altitudeText;  // "<feet>" or metres above, plain below
  bool textsAbove = true;
};

// Where the contact stands on the profile; nothing when it is not above the
// field. Hostile contacts are labelled with digits 5 to 8 of their id,
// friendly ones with their callsign or the first 10 characters of their name.
std::optional<ProfilePlot> PlotOnProfile(const model::CContact& contact, const ApproachReference& reference,
                                         const std::optional<QString>& callsign, bool nauticalUnits);

// Every contact outside the scope's approach region (there is nothing to
// plot without one), in table order. Takes the contact lock.
std::vector<ProfilePlot> PlotArrivals(const model::CRivakDoc& document, const ApproachReference& reference,
                                      const scope::ApproachGeometry* approach, bool nauticalUnits);

// Top-left corners of the label and the altitude text of a plot with texts
// of the given widths in a font `fontSize` pixels high: above the mark,
// both centred on it; otherwise the label ending 5 pixels left of it and
// the altitude centred under it.
struct ProfileTextPlacement {
  QPoint label;
  QPoint altitude;
  bool operator==(const ProfileTextPlacement&) const = default;
};
ProfileTextPlacement PlaceProfileTexts(const ProfilePlot& plot, int fontSize, int labelWidth, int altitudeWidth);

}  // namespace vantor::shell
