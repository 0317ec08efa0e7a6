#pragma once
// The approach view above the scope: a vertical profile of the final
// approach to the airfield the scope is centred on, each arriving aircraft
// plotted by its distance from the runway threshold and its height above
// the field. It draws the profile only while the button panel is in ATC
// mode; otherwise just its frame.

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <memory>

#include "vantor/shell/ApproachProfile.h"
#include "vantor/shell/ShellContext.h"

namespace vantor::scope {
class CRivakView;
}

namespace vantor::shell {

class PanelFrameArt;

class CILSView : public QWidget {
  Q_OBJECT
 public:
  // `scope` gives the centring command, the wind and the approach region;
  // without one the reference stays put and nothing is plotted.
  CILSView(const ShellContext& context, const scope::CRivakView* scope, QWidget* parent = nullptr);
  ~CILSView() override;

  bool IsActive() const { return active_; }
  const ApproachReference& Reference() const { return tracker_.Reference(); }
  // One tick of the 500 ms timer: follow the scope, then repaint.
  void Tick();
  // The picture as the screen shows it, at the view's size.
  QImage RenderImage();

 public Q_SLOTS:
  // The button panel's ATC mode.
  void SetActive(bool active);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void PaintInto(QImage& image);
  void DrawGrid(QPainter& painter) const;
  void DrawArrivals(QPainter& painter) const;

  ShellContext context_;
  const scope::CRivakView* scope_;
  std::shared_ptr<const PanelFrameArt> artwork_;
  ApproachReferenceTracker tracker_;
  bool active_ = false;
  QImage picture_;  // the off-screen picture, reused between paints
  QTimer timer_;
};

}  // namespace vantor::shell
