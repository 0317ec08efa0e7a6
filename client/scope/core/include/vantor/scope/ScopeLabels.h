#pragma once
// What a contact's label says and where it goes, and the scope's other
// short texts. The painter only measures and draws them.

#include <QPoint>
#include <QString>

#include <functional>
#include <optional>

#include "vantor/scope/MeasureLine.h"
#include "vantor/scope/ScopeProjection.h"

namespace vantor::model {
struct CContact;
}

namespace vantor::scope {

inline constexpr int kDefaultLabelFontSize = 12;
inline constexpr int kLargestLabelFontSize = 96;

// The label font height F in pixels from the stored setting: a stored size
// without digits reads as 0 and gets the default; absurd sizes would swamp
// the picture.
int LabelFontSize(int storedFontSize);

// The label font as the picture sets it: F, and the width of "9999WW9999"
// that the placements to the right of a contact leave room for.
struct LabelMetrics {
  int fontSize = kDefaultLabelFontSize;
  int referenceWidth = 0;
};

// The width of a text in the label font, from the painter.
using TextWidthFunction = std::function<int(const QString&)>;
// The width by `measure`, or without one estimated from the reference width.
int LabelTextWidth(const TextWidthFunction& measure, const LabelMetrics& metrics, const QString& text);

// Leader line and anchor of a contact's label. Texts are right-aligned to
// anchor.x() - 10; the first line's top is anchor.y() - 2F, the second's
// anchor.y() - F.
struct LabelPlacement {
  QPoint leaderStart;
  QPoint leaderEnd;
  QPoint anchor;
};
// The placement for a contact at `at` with `crowding` contacts earlier in
// the table around it (CountContactsNear): five places, then the default.
LabelPlacement PlaceLabel(int crowding, QPoint at, int fontSize, int referenceWidth);

enum class TrendArrow { Climb, Descend, Level };
// Climb above +20 m since the last report, descend below -20 m.
TrendArrow TrendOf(double altitude, double previousAltitude);

// The two label lines' unit texts: altitude in tens of metres or hundreds
// of feet, speed in tens of km/h or tens of knots ("%03.0f").
QString LabelAltitudeText(double altitudeM, bool nauticalUnits);
QString LabelSpeedText(double speedKmh, bool nauticalUnits);

struct LabelStyle {
  LabelMetrics metrics;
  bool invertCallsign = false;  // friendly names from their first "("
  bool nauticalUnits = false;
  bool hideSpeed = false;
};

struct ContactLabel {
  LabelPlacement place;
  // Callsign; or the friendly name cut to ten characters without
  // parentheses; or characters 5 to 8 of the hostile id.
  QString firstLine;
  bool underlined = false;  // hostile contacts other than the carrier
  QString altitude;
  QString speed;  // empty while speeds are hidden
  TrendArrow trend = TrendArrow::Level;
  // Lines below the second, empty when not asked for: bearing and range from
  // the bullseye, and the BRAA call from the selected friendly.
  QString bullseyeLine;
  QString braaLine;
  int LineCount() const { return 2 + (bullseyeLine.isEmpty() ? 0 : 1) + (braaLine.isEmpty() ? 0 : 1); }
  // The widest line as the painter lays them out.
  int Width(const TextWidthFunction& measure, const LabelMetrics& metrics) const;
};
// The label of a contact (not a radar site, not an alternate-symbol
// contact) drawn at `at`, with its callsign if it has one.
ContactLabel LabelContact(const model::CContact& contact, QPoint at, const std::optional<QString>& callsign,
                          int crowding, const LabelStyle& style);

// The measuring text for a range in km and a bearing in degrees.
QString MeasureText(int rangeKm, double bearingDeg, bool nauticalUnits);
// The range and bearing of a line on the scope, as its text.
QString MeasureText(const MeasureLine& line, const ScopeProjection& projection, bool nauticalUnits);

// The airfield code's offset factor at a range step (0 off the steps).
double AirfieldCodeOffsetFactor(unsigned rangeKm);

}  // namespace vantor::scope
