#pragma once
// The cursor readout: a small box in the scope's top right corner that
// shows the position under the mouse. It repaints alone as the mouse moves,
// so following the cursor never repaints the scope.

#include <QStringList>
#include <QWidget>

namespace vantor::scope {

class CursorReadoutWidget : public QWidget {
  Q_OBJECT
 public:
  explicit CursorReadoutWidget(QWidget* parent);

  // New lines, and the box resized and placed in the parent's corner;
  // unchanged lines repaint nothing.
  void ShowLines(const QStringList& lines);
  const QStringList& Lines() const { return lines_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Place();
  QStringList lines_;
};

}  // namespace vantor::scope
