#pragma once
// Drawing primitives that accept any integer coordinates. Points far
// outside the picture (the projection does not clip) are clipped here in
// floating point, so the graphics layer only ever sees coordinates near the
// picture, and shapes that cannot touch it cost nothing.

#include <QLine>
#include <QPoint>
#include <QRect>
#include <QVector>

#include <cstdint>
#include <optional>

class QPainter;

namespace vantor::scope::detail {

// The segment (x0, y0)-(x1, y1) clipped to `bounds` (edges inclusive), or
// nothing when it misses them.
std::optional<QLine> ClipSegment(double x0, double y0, double x1, double y1, const QRect& bounds);

// A radius in pixels from a product that may exceed the int range.
int SaturatedRadius(std::int64_t radius);

class SafeDrawing {
 public:
  // `bounds`: the picture, widened by a margin for pens.
  SafeDrawing(QPainter& painter, const QRect& bounds) : painter_(painter), bounds_(bounds) {}

  void Line(QPoint a, QPoint b);
  // Segments collected and drawn together with the current pen.
  void AddSegment(QPoint a, QPoint b) { AddSegment(a.x(), a.y(), b.x(), b.y()); }
  void AddSegment(double x0, double y0, double x1, double y1);
  void FlushSegments();
  // An unfilled circle around `centre`.
  void Circle(QPoint centre, int radius);
  // The outline of a radar wedge: from the centre to the arc's start, the
  // arc (angles in degrees, counter-clockwise from the positive x axis, as
  // the screen shows them), back to the centre.
  void Wedge(QPoint centre, int radius, double startDeg, double sweepDeg);
  bool NearPicture(QPoint point, int reach) const;
  const QRect& Bounds() const { return bounds_; }

 private:
  bool CircleMissesPicture(QPoint centre, int radius) const;
  // Large arcs as chords, only over the angles where the picture lies.
  void ChordArc(QPoint centre, int radius, double startRad, double sweepRad);

  QPainter& painter_;
  QRect bounds_;
  QVector<QLine> segments_;
};

}  // namespace vantor::scope::detail
