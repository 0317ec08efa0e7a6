#include "vantor/scope/ScopeLabels.h"

#include <QLatin1Char>

#include <algorithm>

#include "vantor/geo/Geodesy.h"
#include "vantor/model/CContact.h"
#include "vantor/model/ContactLabels.h"
#include "vantor/texts/Texts.h"

namespace vantor::scope {
namespace {

constexpr double kTrendThresholdM = 20.0;

}  // namespace

int LabelFontSize(int storedFontSize) {
  if (storedFontSize <= 0) return kDefaultLabelFontSize;
  return std::min(storedFontSize, kLargestLabelFontSize);
}

LabelPlacement PlaceLabel(int crowding, QPoint at, int fontSize, int referenceWidth) {
  const int x = at.x(), y = at.y(), f = fontSize, w0 = referenceWidth;
  switch (crowding) {
    case 1:
      return {{x - 5, y + 5}, {x - 20, y + 20}, {x - 10, y + 3 * f + 10}};
    case 2:
      return {{x + 5, y - 5}, {x + 15, y - 15}, {x + w0 + 10, y - 20}};
    case 3:
      return {{x + 5, y + 5}, {x + 15, y + 15}, {x + w0 + 10, y + 3 * f + 10}};
    case 4:
      return {{x - 5, y}, {x - 20, y}, {x - 20, y + 15}};
    case 5:
      return {{x + 5, y}, {x + 20, y}, {x + w0 + 20, y + 15}};
    default:
      return {{x - 5, y - 5}, {x - 15, y - 15}, {x - 10, y - 10}};
  }
}

TrendArrow TrendOf(double altitude, double previousAltitude) {
  const double climb = altitude - previousAltitude;
  if (climb > kTrendThresholdM) return TrendArrow::Climb;
  if (climb < -kTrendThresholdM) return TrendArrow::Descend;
  return TrendArrow::Level;
}

QString LabelAltitudeText(double altitudeM, bool nauticalUnits) {
  return QString::asprintf("%03.0f", nauticalUnits ? altitudeM * 3.28 * 0.01 : altitudeM * 0.1);
}

QString LabelSpeedText(double speedKmh, bool nauticalUnits) {
  return QString::asprintf("%03.0f", nauticalUnits ? speedKmh * geo::kKmToNm * 0.1 : speedKmh * 0.1);
}

ContactLabel LabelContact(const model::CContact& contact, QPoint at, const std::optional<QString>& callsign,
                          int crowding, const LabelStyle& style) {
  ContactLabel label;
  label.place = PlaceLabel(crowding, at, style.metrics.fontSize, style.metrics.referenceWidth);
  if (contact.friendly != 0) {
    label.firstLine = callsign ? *callsign : model::FriendlyLabelName(contact.name, style.invertCallsign);
    label.firstLine.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
  } else {
    label.firstLine = callsign ? *callsign : model::HostileIdLabel(contact.id);
    label.underlined = contact.carrier == 0;
  }
  label.altitude = LabelAltitudeText(contact.altitude, style.nauticalUnits);
  if (!style.hideSpeed) label.speed = LabelSpeedText(contact.speed, style.nauticalUnits);
  label.trend = TrendOf(contact.altitude, contact.previousAltitude);
  return label;
}

int LabelTextWidth(const TextWidthFunction& measure, const LabelMetrics& metrics, const QString& text) {
  if (measure) return measure(text);
  // "9999WW9999" has ten characters.
  return (metrics.referenceWidth * static_cast<int>(text.size()) + 9) / 10;
}

int ContactLabel::Width(const TextWidthFunction& measure, const LabelMetrics& metrics) const {
  auto width = [&](const QString& text) { return LabelTextWidth(measure, metrics, text); };
  // The second line is measured as if "WW" stood between its two values.
  int widest = std::max(width(firstLine), width(altitude + QStringLiteral("WW") + speed));
  if (!bullseyeLine.isEmpty()) widest = std::max(widest, width(bullseyeLine));
  if (!braaLine.isEmpty()) widest = std::max(widest, width(braaLine));
  return widest;
}

QString MeasureText(int rangeKm, double bearingDeg, bool nauticalUnits) {
  if (nauticalUnits)
    return QString::asprintf(Text(TextId::ScopeMeasureNm, Language::English), rangeKm * geo::kKmToNm, bearingDeg);
  return QString::asprintf(Text(TextId::ScopeMeasureKm, Language::English), rangeKm, bearingDeg);
}

QString MeasureText(const MeasureLine& line, const ScopeProjection& projection, bool nauticalUnits) {
  const ScopeScreen& screen = projection.Screen();
  const int range = geo::ScopeRangeKm(line.anchor.x(), line.anchor.y(), line.cursor.x(), line.cursor.y(),
                                      projection.PixelsPerKm(), screen.centreX, screen.centreY);
  const double bearing = geo::ScopeBearing(line.anchor.x(), line.anchor.y(), line.cursor.x(), line.cursor.y());
  return MeasureText(range, bearing, nauticalUnits);
}

double AirfieldCodeOffsetFactor(unsigned rangeKm) {
  switch (rangeKm) {
    case 2:
    case 5:
    case 10:
    case 20:
    case 50:
    case 100:
      return 1.0;
    case 200:
      return 0.5;
    case 300:
      return 0.3;
    case 400:
      return 0.2;
    default:
      return 0.0;
  }
}

}  // namespace vantor::scope
