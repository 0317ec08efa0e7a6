#include "vantor/shell/CButtonView.h"

#include <QPainter>

#include "vantor/shell/ConsoleStyle.h"

namespace vantor::shell {

CButtonView::CButtonView(const ShellContext& context, scope::CRivakView* scope, QWidget* parent)
    : QWidget(parent), context_(context), scope_(scope) {
  setObjectName(QStringLiteral("buttonView"));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CButtonView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintConsolePanel(painter, rect());
  // Two rows of three unlit keys.
  painter.setRenderHint(QPainter::Antialiasing);
  const int keyWidth = std::max(8, (width() - 40) / 3);
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 3; ++column) {
      const QRectF key(10 + column * (keyWidth + 10), 14 + row * 52, keyWidth, 40);
      painter.setPen(QPen(QColor(20, 22, 25), 1.5));
      painter.setBrush(QColor(36, 39, 44));
      painter.drawRoundedRect(key, 4, 4);
      painter.setPen(QPen(QColor(kAccentColour.red(), kAccentColour.green(), kAccentColour.blue(), 50), 2));
      painter.drawLine(key.center() + QPointF(-keyWidth / 4.0, 12), key.center() + QPointF(keyWidth / 4.0, 12));
    }
  }
}

}  // namespace vantor::shell
