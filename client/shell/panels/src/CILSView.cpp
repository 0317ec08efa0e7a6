#include "vantor/shell/CILSView.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include "vantor/model/CRivakDoc.h"
#include "vantor/model/ClientSettings.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/scope/ScopeLabels.h"
#include "vantor/scope/ScopePainter.h"
#include "vantor/shell/PanelFrameArt.h"

namespace vantor::shell {
namespace {

const QColor kBandColour(kPanelBezelRed, kPanelBezelGreen, kPanelBezelBlue);
const QColor kRunwayColour(255, 255, 255);
const QColor kLimitColour(150, 200, 150);
const QColor kCentreLineColour(51, 120, 40);
const QColor kContactColour(245, 255, 64);

constexpr int kBandHeight = 10;
constexpr int kMarkRadius = 5;
// Marks farther than this outside the picture cannot show, nor their texts.
constexpr int kPlotMargin = 1000;

// The profile grid, in the view's pixels.
constexpr QPoint kRunwayStart(25, 180);
constexpr QPoint kTouchdown(110, 180);
constexpr QPoint kUpperLimitEnd(620, 50);
constexpr QPoint kLowerLimitEnd(620, 150);
constexpr QPoint kCentreLineEnd(620, 100);
constexpr QPoint kScaleStart(110, 200);
constexpr QPoint kScaleEnd(625, 200);
constexpr int kTickTop = 200;
constexpr int kTickBottom = 210;
constexpr int kFirstTickX = 160;
// Nautical: six ticks 85 pixels apart; metric: twelve ticks 42 apart.
constexpr int kNauticalTickStep = 85;
constexpr int kNauticalTickCount = 6;
constexpr int kMetricTickStep = 42;
constexpr int kMetricTickCount = 12;

QPen ThinPen(const QColor& colour) { return QPen(colour, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin); }

}  // namespace

CILSView::CILSView(const ShellContext& context, const scope::CRivakView* scope, QWidget* parent)
    : QWidget(parent), context_(context), scope_(scope), artwork_(PanelFrameArt::Shared()) {
  setObjectName(QStringLiteral("ilsView"));
  setAttribute(Qt::WA_OpaquePaintEvent);  // the picture covers everything; no background erase
  timer_.setInterval(kApproachTimerMs);
  connect(&timer_, &QTimer::timeout, this, &CILSView::Tick);
  timer_.start();
}

CILSView::~CILSView() = default;

void CILSView::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  update();
}

void CILSView::Tick() {
  if (scope_ != nullptr) {
    const ScopeApproachState state{scope_->CentringCommand(), scope_->Options().windDirectionDeg,
                                   scope_->Approach() ? &*scope_->Approach() : nullptr};
    tracker_.Tick(context_.doc, state);
  }
  update();
}

QImage CILSView::RenderImage() {
  QImage image(size(), QImage::Format_RGB32);
  if (!image.isNull()) PaintInto(image);
  return image;
}

void CILSView::paintEvent(QPaintEvent* event) {
  if (picture_.size() != size()) picture_ = QImage(size(), QImage::Format_RGB32);
  if (picture_.isNull()) return;
  PaintInto(picture_);
  QPainter window(this);
  window.drawImage(event->rect(), picture_, event->rect());
}

void CILSView::wheelEvent(QWheelEvent* event) {
  // Not the view's: the wheel goes on to whoever wants it.
  event->ignore();
}

void CILSView::PaintInto(QImage& image) {
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.fillRect(QRect(0, 0, image.width(), kBandHeight), kBandColour);
  if (active_) {
    DrawGrid(painter);
    DrawArrivals(painter);
  }
  artwork_->DrawFrame(painter, image.size());
}

void CILSView::DrawGrid(QPainter& painter) const {
  painter.setPen(QPen(kRunwayColour, 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
  painter.drawLine(kRunwayStart, kTouchdown);
  painter.setPen(ThinPen(kLimitColour));
  painter.drawLine(kTouchdown, kUpperLimitEnd);
  painter.drawLine(kTouchdown, kLowerLimitEnd);
  painter.setPen(ThinPen(kCentreLineColour));
  painter.drawLine(kTouchdown, kCentreLineEnd);
  painter.drawLine(kScaleStart, kScaleEnd);
  const bool nautical = context_.settings.imperial;
  const int step = nautical ? kNauticalTickStep : kMetricTickStep;
  const int count = nautical ? kNauticalTickCount : kMetricTickCount;
  for (int i = 0; i < count; ++i) {
    const int x = kFirstTickX + i * step;
    painter.drawLine(x, kTickTop, x, kTickBottom);
  }
}

void CILSView::DrawArrivals(QPainter& painter) const {
  if (scope_ == nullptr) return;
  const auto& approach = scope_->Approach();
  const std::vector<ProfilePlot> plots =
      PlotArrivals(context_.doc, tracker_.Reference(), approach ? &*approach : nullptr, context_.settings.imperial);
  if (plots.empty()) return;
  const int fontSize = scope::LabelFontSize(context_.settings.fontSize);
  const QFont font = scope::ScopeFont(fontSize);
  const QFontMetrics metrics(font);
  painter.setFont(font);
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(ThinPen(kContactColour));
  const QRect reach = rect().adjusted(-kPlotMargin, -kPlotMargin, kPlotMargin, kPlotMargin);
  for (const ProfilePlot& plot : plots) {
    if (!reach.contains(plot.x, plot.y)) continue;
    painter.drawEllipse(QPoint(plot.x, plot.y), kMarkRadius, kMarkRadius);
    const ProfileTextPlacement at = PlaceProfileTexts(plot, fontSize, metrics.horizontalAdvance(plot.label),
                                                      metrics.horizontalAdvance(plot.altitudeText));
    // Positions are the texts' top-left corners.
    if (!plot.label.isEmpty()) painter.drawText(at.label + QPoint(0, metrics.ascent()), plot.label);
    painter.drawText(at.altitude + QPoint(0, metrics.ascent()), plot.altitudeText);
  }
}

}  // namespace vantor::shell
