#include "vantor/shell/DialogUnits.h"

#include <QFontMetricsF>

#include <cmath>

namespace vantor::shell {
namespace {

struct BaseUnits {
  double x;
  double y;
};

BaseUnits BaseOf(const QFont& font) {
  const QFontMetricsF metrics(font);
  // The average over the letters, as the platform that defined the units
  // measures it.
  static const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return {metrics.horizontalAdvance(kLetters) / kLetters.size(), metrics.height()};
}

int Scaled(int units, double base, int divisor) { return static_cast<int>(std::lround(units * base / divisor)); }

}  // namespace

QSize DialogUnitsToPixels(const QFont& font, QSize units) {
  const BaseUnits base = BaseOf(font);
  return {Scaled(units.width(), base.x, 4), Scaled(units.height(), base.y, 8)};
}

QRect DialogUnitsToPixels(const QFont& font, QRect units) {
  const BaseUnits base = BaseOf(font);
  return {Scaled(units.x(), base.x, 4), Scaled(units.y(), base.y, 8), Scaled(units.width(), base.x, 4),
          Scaled(units.height(), base.y, 8)};
}

}  // namespace vantor::shell
