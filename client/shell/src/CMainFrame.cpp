#include "vantor/shell/CMainFrame.h"

#include <QAction>
#include <QKeySequence>
#include <QPalette>

namespace vantor::shell {

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
  setObjectName("mainFrame");
  setWindowTitle("Vantor");
  auto* central = new QWidget(this);
  central->setObjectName("mainFrameCentral");
  central->setAutoFillBackground(true);
  QPalette black = central->palette();
  black.setColor(QPalette::Window, Qt::black);
  central->setPalette(black);
  setCentralWidget(central);

  // The window has no caption; the standard quit keys still close it.
  auto* quit = new QAction(this);
  quit->setShortcut(QKeySequence::Quit);
  quit->setShortcutContext(Qt::ApplicationShortcut);
  connect(quit, &QAction::triggered, this, &QWidget::close);
  addAction(quit);
}

}  // namespace vantor::shell
