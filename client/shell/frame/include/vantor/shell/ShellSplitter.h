#pragma once
// The main frame's splitter: bars and borders painted as one solid dark
// grey instead of the platform's three-dimensional look; dragging the bars
// is the usual splitter behaviour.

#include <QSplitter>
#include <QSplitterHandle>

namespace vantor::shell {

class ShellSplitterHandle : public QSplitterHandle {
  Q_OBJECT
 public:
  ShellSplitterHandle(Qt::Orientation orientation, QSplitter* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

class ShellSplitter : public QSplitter {
  Q_OBJECT
 public:
  explicit ShellSplitter(Qt::Orientation orientation, QWidget* parent = nullptr);

  // Sets pane `index` to `size` (width or height along the splitter) and
  // gives the difference to the last pane, as a static splitter's
  // re-layout does.
  void SetPaneSize(int index, int size);

 protected:
  QSplitterHandle* createHandle() override;
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace vantor::shell
