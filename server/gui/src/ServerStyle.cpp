#include "vantor/server/gui/ServerStyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QWidget>

namespace vantor::server::gui {
namespace {

const QColor kWindowColour(32, 34, 38);
const QColor kBaseColour(20, 22, 25);
const QColor kButtonColour(48, 51, 57);
const QColor kTextColour(222, 226, 230);
const QColor kDimTextColour(140, 146, 152);
const QColor kHighlightColour(51, 110, 60);
const QColor kScopeGreen(51, 160, 40);

}  // namespace

QPalette ServerPalette() {
  QPalette palette;
  palette.setColor(QPalette::Window, kWindowColour);
  palette.setColor(QPalette::WindowText, kTextColour);
  palette.setColor(QPalette::Base, kBaseColour);
  palette.setColor(QPalette::AlternateBase, QColor(27, 29, 33));
  palette.setColor(QPalette::Text, kTextColour);
  palette.setColor(QPalette::Button, kButtonColour);
  palette.setColor(QPalette::ButtonText, kTextColour);
  palette.setColor(QPalette::BrightText, Qt::white);
  palette.setColor(QPalette::Highlight, kHighlightColour);
  palette.setColor(QPalette::HighlightedText, Qt::white);
  palette.setColor(QPalette::ToolTipBase, kButtonColour);
  palette.setColor(QPalette::ToolTipText, kTextColour);
  palette.setColor(QPalette::PlaceholderText, kDimTextColour);
  palette.setColor(QPalette::Light, QColor(70, 73, 79));
  palette.setColor(QPalette::Midlight, QColor(60, 63, 69));
  palette.setColor(QPalette::Mid, kFrameColour);
  palette.setColor(QPalette::Dark, QColor(16, 17, 19));
  palette.setColor(QPalette::Shadow, Qt::black);
  for (const QPalette::ColorRole role :
       {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::PlaceholderText}) {
    palette.setColor(QPalette::Disabled, role, QColor(105, 109, 115));
  }
  palette.setColor(QPalette::Disabled, QPalette::Base, kWindowColour);
  palette.setColor(QPalette::Disabled, QPalette::Button, QColor(38, 40, 45));
  return palette;
}

QString ServerStyleSheet() {
  // Colours live here rather than in a palette alone: a style sheet takes
  // its colours from the application's palette for every widget it styles,
  // whatever palette the window was given.
  return QStringLiteral(
      "QWidget { color: rgb(222, 226, 230); }"
      "QWidget:disabled { color: rgb(105, 109, 115); }"
      "QDialog { background: rgb(32, 34, 38); }"
      "QGroupBox { border: 1px solid rgb(90, 93, 99); border-radius: 3px; margin-top: 1.1em; padding: 6px 6px 4px 6px; "
      "}"
      "QGroupBox::title { subcontrol-origin: margin; left: 9px; padding: 0 4px; color: rgb(170, 178, 186); }"
      "QCheckBox::indicator, QRadioButton::indicator { width: 11px; height: 11px; border: 1px solid rgb(130, 134, 140);"
      "  background: rgb(20, 22, 25); padding: 2px; background-clip: content; }"
      "QRadioButton::indicator { border-radius: 7px; }"
      "QCheckBox::indicator:checked, QRadioButton::indicator:checked { background: rgb(110, 210, 100); }"
      "QCheckBox::indicator:hover, QRadioButton::indicator:hover { border-color: rgb(190, 196, 202); }"
      "QCheckBox::indicator:disabled, QRadioButton::indicator:disabled { border-color: rgb(70, 73, 79); }"
      "QCheckBox::indicator:checked:disabled, QRadioButton::indicator:checked:disabled { background: rgb(70, 110, 66); "
      "}"
      "QTabWidget::pane { border: 1px solid rgb(90, 93, 99); top: -1px; }"
      "QTabBar::tab { background: rgb(40, 43, 48); border: 1px solid rgb(90, 93, 99); padding: 5px 14px;"
      "  margin-right: 2px; color: rgb(170, 178, 186); }"
      "QTabBar::tab:selected { background: rgb(32, 34, 38); border-bottom-color: rgb(32, 34, 38);"
      "  color: rgb(235, 238, 241); }"
      "QPushButton { background: rgb(48, 51, 57); border: 1px solid rgb(90, 93, 99); border-radius: 3px;"
      "  padding: 4px 16px; min-width: 64px; }"
      "QPushButton:hover { background: rgb(58, 62, 69); }"
      "QPushButton:pressed { background: rgb(38, 40, 45); }"
      "QPushButton:default { border: 1px solid rgb(110, 210, 100); }"
      "QPushButton:disabled { border-color: rgb(62, 65, 70); }"
      "QLineEdit, QSpinBox, QComboBox { background: rgb(20, 22, 25); border: 1px solid rgb(90, 93, 99);"
      "  border-radius: 2px; padding: 2px 4px; selection-background-color: rgb(51, 110, 60); }"
      "QLineEdit:disabled, QSpinBox:disabled, QComboBox:disabled { border-color: rgb(62, 65, 70); }"
      "QComboBox QAbstractItemView { background: rgb(20, 22, 25); border: 1px solid rgb(90, 93, 99);"
      "  selection-background-color: rgb(51, 110, 60); }"
      "QTableWidget, QListWidget { background: rgb(20, 22, 25); alternate-background-color: rgb(27, 29, 33);"
      "  border: 1px solid rgb(90, 93, 99); gridline-color: rgb(48, 51, 57); }"
      "QHeaderView::section { background: rgb(40, 43, 48); color: rgb(170, 178, 186); border: none;"
      "  border-right: 1px solid rgb(62, 65, 70); border-bottom: 1px solid rgb(90, 93, 99); padding: 3px 6px; }"
      "QMenu { background: rgb(40, 43, 48); border: 1px solid rgb(90, 93, 99); padding: 2px; }"
      "QMenu::item { padding: 4px 18px; }"
      "QMenu::item:selected { background: rgb(51, 110, 60); }"
      "QLabel#statusText { font-size: 17px; font-weight: bold; padding: 4px; }"
      "QLabel[role=\"caption\"] { color: rgb(150, 156, 162); }"
      "QLabel[role=\"notice\"] { color: rgb(190, 196, 202); border: 1px solid rgb(62, 65, 70);"
      "  border-radius: 3px; padding: 6px; background: rgb(27, 29, 33); }");
}

void ApplyServerStyle(QWidget& window) {
  window.setPalette(ServerPalette());
  window.setStyleSheet(ServerStyleSheet());
  window.setWindowIcon(QIcon(ServerIcon(64)));
}

QPixmap ServerIcon(int size) {
  QPixmap icon(size, size);
  icon.fill(Qt::transparent);
  QPainter painter(&icon);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF disc(1, 1, size - 2, size - 2);
  QRadialGradient fill(disc.center(), size / 2.0);
  fill.setColorAt(0.0, QColor(24, 60, 28));
  fill.setColorAt(1.0, QColor(10, 22, 12));
  painter.setBrush(fill);
  painter.setPen(QPen(kFrameColour, std::max(1.0, size / 32.0)));
  painter.drawEllipse(disc);
  const QPointF centre = disc.center();
  const double radius = disc.width() / 2.0;
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(kScopeGreen, std::max(1.0, size / 48.0)));
  painter.drawEllipse(centre, radius * 0.62, radius * 0.62);
  painter.drawEllipse(centre, radius * 0.3, radius * 0.3);
  QConicalGradient sweep(centre, 45);
  sweep.setColorAt(0.0, QColor(110, 230, 90, 200));
  sweep.setColorAt(0.18, QColor(110, 230, 90, 0));
  sweep.setColorAt(1.0, QColor(110, 230, 90, 0));
  painter.setBrush(sweep);
  painter.setPen(Qt::NoPen);
  painter.drawPie(disc.adjusted(2, 2, -2, -2), 45 * 16, -70 * 16);
  painter.setPen(QPen(QColor(150, 240, 130), std::max(1.0, size / 32.0)));
  painter.drawLine(centre, centre + QPointF(radius * 0.68, -radius * 0.68));
  painter.setBrush(QColor(240, 240, 0));
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(centre + QPointF(-radius * 0.35, radius * 0.2), size / 22.0, size / 22.0);
  painter.setBrush(kBlueColour);
  painter.drawEllipse(centre + QPointF(radius * 0.25, -radius * 0.45), size / 22.0, size / 22.0);
  return icon;
}

QPixmap ServerBanner(int width, int height, const QString& subtitle) {
  QPixmap banner(width, height);
  QPainter painter(&banner);
  QLinearGradient fill(0, 0, 0, height);
  fill.setColorAt(0.0, kFrameColour);
  fill.setColorAt(1.0, QColor(20, 22, 26));
  painter.fillRect(banner.rect(), fill);
  painter.setRenderHint(QPainter::Antialiasing);
  const int iconSize = height - 10;
  painter.drawPixmap(6, 5, ServerIcon(iconSize));
  QFont title(QStringLiteral("Sans Serif"));
  title.setPixelSize(height * 2 / 5);
  title.setBold(true);
  painter.setFont(title);
  painter.setPen(QColor(200, 230, 200));
  const QRect textArea(iconSize + 16, 0, width - iconSize - 22, height);
  painter.drawText(textArea.adjusted(0, 4, 0, -height / 2), Qt::AlignLeft | Qt::AlignBottom,
                   QStringLiteral("VANTORSRV"));
  QFont small(QStringLiteral("Sans Serif"));
  small.setPixelSize(std::max(9, height / 5));
  painter.setFont(small);
  painter.setPen(QColor(170, 178, 186));
  painter.drawText(textArea.adjusted(0, height / 2 + 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, subtitle);
  return banner;
}

}  // namespace vantor::server::gui
