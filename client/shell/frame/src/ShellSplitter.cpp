#include "vantor/shell/ShellSplitter.h"

#include <QPainter>

#include <numeric>

#include "vantor/shell/ConsoleStyle.h"
#include "vantor/shell/FrameLayout.h"

namespace vantor::shell {

ShellSplitterHandle::ShellSplitterHandle(Qt::Orientation orientation, QSplitter* parent)
    : QSplitterHandle(orientation, parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ShellSplitterHandle::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kFrameBarColour);
}

ShellSplitter::ShellSplitter(Qt::Orientation orientation, QWidget* parent) : QSplitter(orientation, parent) {
  setHandleWidth(kSplitterBarWidth);
  setFrameStyle(QFrame::NoFrame);
  setChildrenCollapsible(true);
  setOpaqueResize(true);
  setAutoFillBackground(true);
  QPalette bars = palette();
  bars.setColor(QPalette::Window, kFrameBarColour);
  setPalette(bars);
}

QSplitterHandle* ShellSplitter::createHandle() { return new ShellSplitterHandle(orientation(), this); }

void ShellSplitter::paintEvent(QPaintEvent*) {
  // Whatever the panes leave free is border.
  QPainter painter(this);
  painter.fillRect(rect(), kFrameBarColour);
}

void ShellSplitter::SetPaneSize(int index, int size) {
  QList<int> panes = sizes();
  if (index < 0 || index >= panes.size()) return;
  const int total = std::accumulate(panes.begin(), panes.end(), 0);
  const int available = (orientation() == Qt::Horizontal ? width() : height()) - handleWidth() * (count() - 1);
  panes[index] = size;
  // The last pane takes what is left (the one before it when `index` is
  // the last pane).
  const int taker = index == panes.size() - 1 ? index - 1 : static_cast<int>(panes.size()) - 1;
  if (taker >= 0) {
    const int others = std::accumulate(panes.begin(), panes.end(), 0) - panes[taker];
    const int space = available > 0 ? available : total;
    panes[taker] = std::max(0, space - others);
  }
  setSizes(panes);
}

}  // namespace vantor::shell
