#pragma once
// The client's main window. Its panes (scope, panels) are added by the
// frame's owners; until then it is a black, caption-less window.

#include <QMainWindow>

namespace vantor::shell {

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  explicit CMainFrame(QWidget* parent = nullptr);
};

}  // namespace vantor::shell
