#include "vantor/scope/CursorReadoutWidget.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

#include "vantor/scope/ScopePainter.h"

namespace vantor::scope {
namespace {

constexpr int kFontHeight = 14;
constexpr int kPadding = 4;
// Clear of the frame's right edge and top corner pieces.
constexpr int kRightMargin = 62;
constexpr int kTopMargin = 48;
const QColor kReadoutText(245, 255, 64);
const QColor kReadoutBorder(51, 249, 40);

}  // namespace

CursorReadoutWidget::CursorReadoutWidget(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("cursorReadout"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The scope keeps the mouse: clicks and moves pass through the box.
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFont(ScopeFont(kFontHeight));
  hide();
}

void CursorReadoutWidget::ShowLines(const QStringList& lines) {
  if (lines == lines_ && isVisible()) return;
  lines_ = lines;
  Place();
  show();
  update();
}

void CursorReadoutWidget::Place() {
  const QFontMetrics metrics(font());
  int width = 0;
  for (const QString& line : lines_) width = std::max(width, metrics.horizontalAdvance(line));
  const QSize size(width + 2 * kPadding, static_cast<int>(lines_.size()) * metrics.height() + 2 * kPadding);
  const int parentWidth = parentWidget() != nullptr ? parentWidget()->width() : size.width();
  // The box only grows while its lines stay: one that shrank and grew with
  // every digit would flicker.
  const int boxWidth = isVisible() && height() == size.height() ? std::max(this->width(), size.width()) : size.width();
  setGeometry(std::max(0, parentWidth - kRightMargin - boxWidth), kTopMargin, boxWidth, size.height());
}

void CursorReadoutWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  painter.setPen(kReadoutBorder);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.setPen(kReadoutText);
  const QFontMetrics metrics(font());
  int top = kPadding;
  for (const QString& line : lines_) {
    painter.drawText(kPadding, top + metrics.ascent(), line);
    top += metrics.height();
  }
}

}  // namespace vantor::scope
