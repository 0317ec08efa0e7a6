#include "SafeDrawing.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace vantor::scope::detail {
namespace {

// Above this radius circles are drawn as clipped chords: the graphics
// layer's own curves would be flattened over their whole length.
constexpr int kLargeRadius = 2048;
constexpr int kRadiusLimit = 1 << 30;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

int RoundToInt(double value) { return static_cast<int>(std::lround(std::clamp(value, -2.0e9, 2.0e9))); }

}  // namespace

std::optional<QLine> ClipSegment(double x0, double y0, double x1, double y1, const QRect& bounds) {
  // Liang-Barsky.
  const double dx = x1 - x0, dy = y1 - y0;
  double t0 = 0.0, t1 = 1.0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - bounds.left(), bounds.right() - x0, y0 - bounds.top(), bounds.bottom() - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return std::nullopt;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0.0) {
      if (t > t1) return std::nullopt;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return std::nullopt;
      t1 = std::min(t1, t);
    }
  }
  return QLine(RoundToInt(x0 + t0 * dx), RoundToInt(y0 + t0 * dy), RoundToInt(x0 + t1 * dx), RoundToInt(y0 + t1 * dy));
}

int SaturatedRadius(std::int64_t radius) { return static_cast<int>(std::clamp<std::int64_t>(radius, 0, kRadiusLimit)); }

bool SafeDrawing::NearPicture(QPoint point, int reach) const {
  return point.x() >= bounds_.left() - reach && point.x() <= bounds_.right() + reach &&
         point.y() >= bounds_.top() - reach && point.y() <= bounds_.bottom() + reach;
}

void SafeDrawing::Line(QPoint a, QPoint b) {
  if (NearPicture(a, 0) && NearPicture(b, 0)) {
    painter_.drawLine(a, b);
    return;
  }
  if (const auto clipped = ClipSegment(a.x(), a.y(), b.x(), b.y(), bounds_)) painter_.drawLine(*clipped);
}

void SafeDrawing::AddSegment(double x0, double y0, double x1, double y1) {
  if (const auto clipped = ClipSegment(x0, y0, x1, y1, bounds_)) segments_.append(*clipped);
}

void SafeDrawing::FlushSegments() {
  if (!segments_.isEmpty()) painter_.drawLines(segments_);
  segments_.clear();
}

bool SafeDrawing::CircleMissesPicture(QPoint centre, int radius) const {
  const double cx = centre.x(), cy = centre.y();
  const double nearX = std::clamp(cx, double(bounds_.left()), double(bounds_.right()));
  const double nearY = std::clamp(cy, double(bounds_.top()), double(bounds_.bottom()));
  if (std::hypot(cx - nearX, cy - nearY) > radius + 1.0) return true;  // wholly outside the circle
  const double farX = std::max(std::fabs(cx - bounds_.left()), std::fabs(cx - bounds_.right()));
  const double farY = std::max(std::fabs(cy - bounds_.top()), std::fabs(cy - bounds_.bottom()));
  return std::hypot(farX, farY) < radius - 1.0;  // wholly inside it
}

void SafeDrawing::Circle(QPoint centre, int radius) {
  if (radius < 0 || CircleMissesPicture(centre, radius)) return;
  if (radius <= kLargeRadius) {
    painter_.drawEllipse(centre, radius, radius);
    return;
  }
  ChordArc(centre, radius, 0.0, kTwoPi);
  FlushSegments();
}

void SafeDrawing::Wedge(QPoint centre, int radius, double startDeg, double sweepDeg) {
  if (radius < 0) return;
  if (std::fabs(sweepDeg) >= 360.0) {
    Circle(centre, radius);
    return;
  }
  if (radius <= kLargeRadius) {
    const QRectF box(centre.x() - radius, centre.y() - radius, 2.0 * radius, 2.0 * radius);
    QPainterPath path(centre);
    path.arcTo(box, startDeg, sweepDeg);
    path.closeSubpath();
    painter_.drawPath(path);
    return;
  }
  const double start = startDeg * std::numbers::pi / 180.0;
  const double sweep = sweepDeg * std::numbers::pi / 180.0;
  const double cx = centre.x(), cy = centre.y();
  // Screen y grows downward: counter-clockwise on screen is negative y.
  AddSegment(cx, cy, cx + radius * std::cos(start), cy - radius * std::sin(start));
  AddSegment(cx + radius * std::cos(start + sweep), cy - radius * std::sin(start + sweep), cx, cy);
  if (!CircleMissesPicture(centre, radius)) ChordArc(centre, radius, start, sweep);
  FlushSegments();
}

void SafeDrawing::ChordArc(QPoint centre, int radius, double startRad, double sweepRad) {
  const double cx = centre.x(), cy = centre.y();
  if (sweepRad < 0.0) {
    startRad += sweepRad;
    sweepRad = -sweepRad;
  }
  // The angles under which the picture lies, seen from the centre.
  double low = 0.0, high = kTwoPi;
  const bool centreInside =
      cx >= bounds_.left() && cx <= bounds_.right() && cy >= bounds_.top() && cy <= bounds_.bottom();
  if (!centreInside) {
    const double corners[4][2] = {{double(bounds_.left()), double(bounds_.top())},
                                  {double(bounds_.right()), double(bounds_.top())},
                                  {double(bounds_.left()), double(bounds_.bottom())},
                                  {double(bounds_.right()), double(bounds_.bottom())}};
    const double first = std::atan2(cy - corners[0][1], corners[0][0] - cx);
    double lowOffset = 0.0, highOffset = 0.0;
    for (const auto& corner : corners) {
      const double angle = std::atan2(cy - corner[1], corner[0] - cx);
      const double offset = std::remainder(angle - first, kTwoPi);
      lowOffset = std::min(lowOffset, offset);
      highOffset = std::max(highOffset, offset);
    }
    low = first + lowOffset;
    high = first + highOffset;
  }
  // Chords short enough to stay within half a pixel of the arc.
  const double step = 2.0 * std::acos(1.0 - 0.5 / radius);
  for (int turn = -2; turn <= 2; ++turn) {
    const double from = std::max(startRad, low + turn * kTwoPi);
    const double to = std::min(startRad + sweepRad, high + turn * kTwoPi);
    if (to <= from) continue;
    const int count = std::max(1, static_cast<int>(std::ceil((to - from) / step)));
    double px = cx + radius * std::cos(from), py = cy - radius * std::sin(from);
    for (int i = 1; i <= count; ++i) {
      const double angle = from + (to - from) * i / count;
      const double nx = cx + radius * std::cos(angle), ny = cy - radius * std::sin(angle);
      AddSegment(px, py, nx, ny);
      px = nx;
      py = ny;
    }
  }
}

}  // namespace vantor::scope::detail
