#include "vantor/shell/ConsoleStyle.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPalette>
#include <QStyleFactory>

namespace vantor::shell {

QPalette ConsolePalette() {
  QPalette palette;
  const QColor button(62, 66, 72);
  const QColor base(22, 24, 27);
  palette.setColor(QPalette::Window, kPanelColour);
  palette.setColor(QPalette::WindowText, kTextColour);
  palette.setColor(QPalette::Base, base);
  palette.setColor(QPalette::AlternateBase, QColor(30, 33, 37));
  palette.setColor(QPalette::ToolTipBase, kPanelLightColour);
  palette.setColor(QPalette::ToolTipText, kTextColour);
  palette.setColor(QPalette::PlaceholderText, kDimTextColour);
  palette.setColor(QPalette::Text, kTextColour);
  palette.setColor(QPalette::Button, button);
  palette.setColor(QPalette::ButtonText, kTextColour);
  palette.setColor(QPalette::BrightText, QColor(255, 90, 80));
  palette.setColor(QPalette::Light, QColor(96, 100, 108));
  palette.setColor(QPalette::Midlight, QColor(76, 80, 87));
  palette.setColor(QPalette::Mid, QColor(40, 43, 47));
  palette.setColor(QPalette::Dark, QColor(24, 26, 29));
  palette.setColor(QPalette::Shadow, QColor(8, 9, 10));
  palette.setColor(QPalette::Highlight, QColor(36, 128, 76));
  palette.setColor(QPalette::HighlightedText, QColor(240, 255, 244));
  palette.setColor(QPalette::Link, kAccentColour);
  for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    palette.setColor(QPalette::Disabled, role, QColor(104, 108, 114));
  palette.setColor(QPalette::Disabled, QPalette::Button, QColor(50, 53, 58));
  palette.setColor(QPalette::Disabled, QPalette::Base, QColor(34, 36, 40));
  return palette;
}

void ApplyConsoleStyle(QApplication& application) {
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
  QApplication::setPalette(ConsolePalette());
  // The menu bar reads as part of the console's top rail.
  application.setStyleSheet(
      QStringLiteral("QMenuBar { background: rgb(34, 37, 41); border-bottom: 1px solid rgb(90, 93, 99); }"
                     "QMenuBar::item { padding: 3px 10px; background: transparent; }"
                     "QMenuBar::item:selected { background: rgb(36, 128, 76); }"
                     "QMenu { background: rgb(40, 43, 48); border: 1px solid rgb(90, 93, 99); }"
                     "QMenu::item:selected { background: rgb(36, 128, 76); }"
                     "QMenu::item:disabled { color: rgb(104, 108, 114); }"));
}

void PaintConsolePanel(QPainter& painter, const QRect& area) {
  if (area.isEmpty()) return;
  QLinearGradient metal(area.topLeft(), area.bottomLeft());
  metal.setColorAt(0.0, kPanelLightColour);
  metal.setColorAt(0.12, kPanelColour);
  metal.setColorAt(1.0, kPanelColour.darker(118));
  painter.fillRect(area, metal);
  // Fine horizontal brushing.
  painter.setPen(QColor(255, 255, 255, 7));
  for (int y = area.top() + 2; y < area.bottom(); y += 3) painter.drawLine(area.left(), y, area.right(), y);
  // Bevel: lit top and left, shaded bottom and right.
  painter.setPen(QColor(110, 115, 123));
  painter.drawLine(area.topLeft(), area.topRight());
  painter.drawLine(area.topLeft(), area.bottomLeft());
  painter.setPen(QColor(20, 22, 25));
  painter.drawLine(area.bottomLeft(), area.bottomRight());
  painter.drawLine(area.topRight(), area.bottomRight());
}

void PaintConsoleScreen(QPainter& painter, const QRect& area) {
  if (area.isEmpty()) return;
  painter.fillRect(area, kScreenColour);
  painter.setPen(QColor(20, 22, 25));
  painter.drawRect(area.adjusted(0, 0, -1, -1));
  painter.setPen(QColor(kAccentColour.red(), kAccentColour.green(), kAccentColour.blue(), 70));
  painter.drawRect(area.adjusted(1, 1, -2, -2));
}

}  // namespace vantor::shell
