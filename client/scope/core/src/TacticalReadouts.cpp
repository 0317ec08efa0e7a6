#include "vantor/scope/TacticalReadouts.h"

#include <cmath>
#include <cstdlib>

#include "vantor/geo/Geodesy.h"
#include "vantor/geo/Sphere.h"
#include "vantor/scope/ScopeLabels.h"

namespace vantor::scope {
namespace {

// Degrees and minutes to hundredths, rounded as a whole so 59.996' carries
// into the next degree instead of showing 60.00'.
QString DegreesMinutes(double value, char positive, char negative, int degreeDigits) {
  const long long hundredths = std::llround(std::fabs(value) * 6000.0);
  const long long degrees = hundredths / 6000;
  const long long minuteHundredths = hundredths % 6000;
  return QStringLiteral("%1%2\u00B0%3.%4'")
      .arg(QChar(value < 0 ? negative : positive))
      .arg(degrees, degreeDigits, 10, QChar('0'))
      .arg(minuteHundredths / 100, 2, 10, QChar('0'))
      .arg(minuteHundredths % 100, 2, 10, QChar('0'));
}

}  // namespace

BearingRange BearingRangeBetween(geo::GeoPoint from, geo::GeoPoint to, bool nauticalUnits) {
  const double km = geo::DistanceKm(from, to);
  int bearing = static_cast<int>(std::lround(geo::Degrees(geo::BearingRad(from, to))));
  if (bearing <= 0) bearing += 360;
  return {bearing, static_cast<int>(std::lround(nauticalUnits ? geo::KmToNauticalMiles(km) : km))};
}

QString BearingRangeText(const BearingRange& value) {
  return QStringLiteral("%1/%2").arg(value.bearingDeg, 3, 10, QChar('0')).arg(value.range);
}

double AspectAngleDeg(geo::GeoPoint target, double targetHeadingRad, geo::GeoPoint friendly) {
  const double lineOfSight = geo::BearingRad(target, friendly);
  return std::fabs(geo::Degrees(geo::AngleDifference(targetHeadingRad, lineOfSight)));
}

Aspect AspectOf(double aspectAngleDeg) {
  if (aspectAngleDeg <= kHotLimitDeg) return Aspect::Hot;
  if (aspectAngleDeg <= kFlankLimitDeg) return Aspect::Flank;
  if (aspectAngleDeg <= kBeamLimitDeg) return Aspect::Beam;
  return Aspect::Drag;
}

const char* AspectText(Aspect aspect) {
  switch (aspect) {
    case Aspect::Hot:
      return "HOT";
    case Aspect::Flank:
      return "FLANK";
    case Aspect::Beam:
      return "BEAM";
    case Aspect::Drag:
      return "DRAG";
  }
  return "";
}

QString BraaText(geo::GeoPoint friendly, const BraaTarget& target, bool nauticalUnits) {
  const BearingRange braa = BearingRangeBetween(friendly, target.position, nauticalUnits);
  const Aspect aspect = AspectOf(AspectAngleDeg(target.position, target.headingRad, friendly));
  return QStringLiteral("%1 %2 %3")
      .arg(BearingRangeText(braa), LabelAltitudeText(target.altitudeM, nauticalUnits),
           QLatin1String(AspectText(aspect)));
}

QString LatitudeText(double latitude) { return DegreesMinutes(latitude, 'N', 'S', 2); }
QString LongitudeText(double longitude) { return DegreesMinutes(longitude, 'E', 'W', 3); }

QStringList CursorReadoutLines(geo::GeoPoint at, const std::optional<geo::GeoPoint>& bullseye, bool nauticalUnits) {
  QStringList lines;
  lines << LatitudeText(at.latitude) + QLatin1Char(' ') + LongitudeText(at.longitude);
  const geo::UtmPoint utm = geo::LatLongToUtm(at.latitude, at.longitude);
  lines << QStringLiteral("UTM %1 %2E %3N")
               .arg(QString::fromStdString(geo::FormatZone(utm.zone)))
               .arg(std::llround(utm.easting), 6, 10, QChar('0'))
               .arg(std::llround(utm.northing), 7, 10, QChar('0'));
  if (bullseye) {
    lines << QStringLiteral("BE %1 %2")
                 .arg(BearingRangeText(BearingRangeBetween(*bullseye, at, nauticalUnits)),
                      nauticalUnits ? QStringLiteral("NM") : QStringLiteral("km"));
  }
  return lines;
}

}  // namespace vantor::scope
