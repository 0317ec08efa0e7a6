#include "vantor/shell/AboutEmblem.h"

#include <QConicalGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <numbers>

namespace vantor::shell {

void PaintAboutEmblem(QPainter& painter, const QRectF& target) {
  if (target.isEmpty()) return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  // Drawn in a 96 x 96 box, scaled to the target.
  painter.translate(target.topLeft());
  painter.scale(target.width() / kAboutEmblemSize.width(), target.height() / kAboutEmblemSize.height());
  const QPointF centre(48, 48);

  // Bezel: brushed metal ring.
  QRadialGradient metal(centre, 48, QPointF(36, 30));
  metal.setColorAt(0.0, QColor(150, 156, 164));
  metal.setColorAt(0.8, QColor(90, 93, 99));
  metal.setColorAt(1.0, QColor(40, 43, 47));
  painter.setPen(Qt::NoPen);
  painter.setBrush(metal);
  painter.drawEllipse(centre, 47, 47);

  // Screen.
  QRadialGradient glass(centre, 40);
  glass.setColorAt(0.0, QColor(10, 40, 22));
  glass.setColorAt(1.0, QColor(2, 10, 6));
  painter.setBrush(glass);
  painter.setPen(QPen(QColor(20, 22, 25), 1.5));
  painter.drawEllipse(centre, 40, 40);

  // Sweep: a fading wedge behind the beam.
  QConicalGradient sweep(centre, 45);
  sweep.setColorAt(0.0, QColor(60, 220, 110, 170));
  sweep.setColorAt(0.18, QColor(60, 220, 110, 0));
  sweep.setColorAt(1.0, QColor(60, 220, 110, 0));
  painter.setPen(Qt::NoPen);
  painter.setBrush(sweep);
  painter.drawEllipse(centre, 39, 39);

  // Range rings and cross.
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(60, 200, 110, 120), 0.8));
  for (const double radius : {13.0, 26.0, 39.0}) painter.drawEllipse(centre, radius, radius);
  painter.drawLine(QPointF(9, 48), QPointF(87, 48));
  painter.drawLine(QPointF(48, 9), QPointF(48, 87));

  // The beam.
  const double beam = 45.0 * std::numbers::pi / 180.0;
  painter.setPen(QPen(QColor(150, 255, 180), 1.4, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(centre, centre + QPointF(39 * std::cos(beam), -39 * std::sin(beam)));

  // Contacts: a friendly one just painted by the beam, older ones fading.
  struct Blip {
    QPointF at;
    int alpha;
  };
  constexpr std::array<Blip, 4> kBlips{{{{64, 28}, 255}, {{30, 36}, 120}, {{58, 66}, 160}, {{24, 62}, 90}}};
  for (const Blip& blip : kBlips) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(170, 255, 190, blip.alpha));
    painter.drawEllipse(blip.at, 2.2, 2.2);
  }

  // The chevron: an aircraft seen from above, heading north.
  QPainterPath chevron;
  chevron.moveTo(48, 30);
  chevron.lineTo(60, 58);
  chevron.lineTo(48, 51);
  chevron.lineTo(36, 58);
  chevron.closeSubpath();
  painter.setPen(QPen(QColor(245, 255, 64), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(QColor(245, 255, 64, 70));
  painter.drawPath(chevron);

  // Glass highlight.
  QRadialGradient shine(QPointF(36, 28), 30);
  shine.setColorAt(0.0, QColor(255, 255, 255, 40));
  shine.setColorAt(1.0, QColor(255, 255, 255, 0));
  painter.setPen(Qt::NoPen);
  painter.setBrush(shine);
  painter.drawEllipse(centre, 40, 40);
  painter.restore();
}

}  // namespace vantor::shell
