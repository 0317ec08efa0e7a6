#include "vantor/shell/CILSView.h"

#include <QPainter>

#include "vantor/shell/ConsoleStyle.h"

namespace vantor::shell {

CILSView::CILSView(const ShellContext& context, const scope::CRivakView* scope, QWidget* parent)
    : QWidget(parent), context_(context), scope_(scope) {
  setObjectName(QStringLiteral("ilsView"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(0, 0);
}

void CILSView::SetActive(bool active) {
  active_ = active;
  update();
}

void CILSView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  painter.fillRect(QRect(0, 0, width(), 10), kFrameBarColour);
}

}  // namespace vantor::shell
