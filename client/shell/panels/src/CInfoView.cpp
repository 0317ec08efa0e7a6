#include "vantor/shell/CInfoView.h"

#include <QPainter>

#include "vantor/shell/ConsoleStyle.h"

namespace vantor::shell {

CInfoView::CInfoView(const ShellContext& context, scope::CRivakView* scope, const CButtonView* channels,
                     QWidget* parent)
    : QWidget(parent), context_(context), scope_(scope), channels_(channels) {
  setObjectName(QStringLiteral("infoView"));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CInfoView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintConsolePanel(painter, rect());
  PaintConsoleScreen(painter, rect().adjusted(8, 8, -8, -8));
}

}  // namespace vantor::shell
