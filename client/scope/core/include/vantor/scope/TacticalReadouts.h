#pragma once
// The controller's reference readouts: bearing and range from the bullseye,
// BRAA calls from a selected friendly (bearing, range, altitude, aspect) and
// the cursor's position in degrees and minutes and on the UTM grid.
// Bearings are true: no magnetic variation is applied.

#include <QString>
#include <QStringList>

#include <optional>

#include "vantor/geo/GeoPoint.h"

namespace vantor::scope {

// Bearing in whole degrees (001 ... 360, north as 360) and range in km or
// nautical miles, rounded, along the great circle.
struct BearingRange {
  int bearingDeg = 360;
  int range = 0;
  bool operator==(const BearingRange&) const = default;
};
BearingRange BearingRangeBetween(geo::GeoPoint from, geo::GeoPoint to, bool nauticalUnits);
// "045/32".
QString BearingRangeText(const BearingRange& value);

// The target's aspect: the angle between its heading and the line from it
// to the friendly. HOT up to 30 degrees, FLANK up to 70, BEAM up to 110,
// DRAG beyond.
enum class Aspect { Hot, Flank, Beam, Drag };
inline constexpr double kHotLimitDeg = 30.0;
inline constexpr double kFlankLimitDeg = 70.0;
inline constexpr double kBeamLimitDeg = 110.0;
// Aspect angle in degrees, 0 ... 180.
double AspectAngleDeg(geo::GeoPoint target, double targetHeadingRad, geo::GeoPoint friendly);
Aspect AspectOf(double aspectAngleDeg);
const char* AspectText(Aspect aspect);

struct BraaTarget {
  geo::GeoPoint position;
  double altitudeM = 0.0;
  double headingRad = 0.0;
};
// "045/32 250 HOT": from the friendly to the target, the altitude as the
// label's second line gives it.
QString BraaText(geo::GeoPoint friendly, const BraaTarget& target, bool nauticalUnits);

// "N45°04.90'" and "E038°57.00'": degrees and minutes to two decimals.
QString LatitudeText(double latitude);
QString LongitudeText(double longitude);
// The cursor readout's lines: position, UTM grid, and the bearing and range
// from the bullseye when one is set.
QStringList CursorReadoutLines(geo::GeoPoint at, const std::optional<geo::GeoPoint>& bullseye, bool nauticalUnits);

}  // namespace vantor::scope
