#pragma once
// The scope's paint pass: draws one prepared frame (ScopeFrame) from
// scratch, layer by layer in a fixed order, into an off-screen image. It
// reads nothing but the frame and writes nothing but the image.

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPoint>
#include <QString>

#include <array>
#include <memory>

#include "vantor/scope/ScopeArtwork.h"
#include "vantor/scope/ScopeFrame.h"
#include "vantor/scope/ScopeLabels.h"

class QPainter;

namespace vantor::scope {

namespace detail {
class SafeDrawing;
class TextSprites;
}  // namespace detail

// The scope's "Arial" of a given cell height: the largest size whose
// ascent and descent together fit in `cellHeight` pixels, as the label
// layout spaces its lines by the font height.
QFont ScopeFont(int cellHeight);

class ScopePainter {
 public:
  explicit ScopePainter(std::shared_ptr<const ScopeArtwork> artwork = ScopeArtwork::Shared());
  ~ScopePainter();
  ScopePainter(const ScopePainter&) = delete;
  ScopePainter& operator=(const ScopePainter&) = delete;

  // The label font at a size (LabelFontSize), as the frame's labels are
  // laid out for it.
  LabelMetrics MeasureLabels(int fontSize);
  // Measures texts in the label font of the last MeasureLabels or Paint;
  // valid while the painter lives.
  TextWidthFunction TextWidth();

  // The whole pass into `image` (the scope's client area, black first),
  // which has the frame's size.
  void Paint(QImage& image, const ScopeFrame& frame);

 private:
  struct Pass;

  void UseLabelFont(int fontSize);
  void PaintOutOfOrder(Pass& pass);
  void DrawCoastline(Pass& pass);
  void DrawStrokes(Pass& pass, const ScreenStrokes& strokes);
  void DrawMarkers(Pass& pass);
  void DrawRangeRings(Pass& pass);
  void DrawCompassLabels(Pass& pass, const QRect& outerRing);
  void DrawRunway(Pass& pass, const FrameRunway& runway);
  void DrawContact(Pass& pass, const FrameContact& contact);
  void DrawRadarSite(Pass& pass, const FrameContact& contact);
  void DrawCoverage(Pass& pass, const FrameContact& contact, int radius);
  void DrawSymbolShape(Pass& pass, bool friendly, QPoint at, int halfSize);
  void DrawHeadingLine(Pass& pass, const FrameContact& contact);
  void DrawHistory(Pass& pass, const FrameContact& contact);
  void DrawContactLabel(Pass& pass, const ContactLabel& label);
  void DrawMeasuring(Pass& pass, const FrameMeasure& measure);
  void DrawBullseye(Pass& pass, const ScreenPoint& at);
  void DrawBraaFriendly(Pass& pass, const ScreenPoint& at);
  void DrawConflicts(Pass& pass);
  void DrawAwacs(Pass& pass);
  void DrawFrame(Pass& pass);
  void DrawText(Pass& pass, int left, int top, const QString& text);

  std::shared_ptr<const ScopeArtwork> artwork_;
  // Fonts and measures, kept while the label size stays.
  int fontSize_ = -1;
  QFont labelFont_;
  QFont compassFont_;
  QFont statusFont_;
  QFont awacsFont_;
  int labelReferenceWidth_ = 0;
  QFontMetrics labelMetrics_;
  std::array<int, 128> charWidths_{};  // advances of the ASCII characters
  std::unique_ptr<detail::TextSprites> labelTexts_;
};

}  // namespace vantor::scope
