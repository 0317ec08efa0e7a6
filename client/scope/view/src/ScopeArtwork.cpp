#include "vantor/scope/ScopeArtwork.h"

#include "vantor/scope/BezelShading.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vantor::scope {
namespace {

// The frame is shaded once as a whole console bezel of this size and cut
// into pieces. Every edge piece is cut where the bezel's profile no longer
// changes along the edge, so the pieces tile seamlessly at any window size.
constexpr int kMasterWidth = 1330;
constexpr int kMasterHeight = 770;
constexpr int kMasterPad = 16;  // pieces at the right and bottom reach past the window edge
constexpr double kOpeningRadius = 16.0;

struct PieceCut {
  QSize size;
  QPoint origin;  // in the master, from its top-left (negative: from the far edges)
  bool fromRight;
  bool fromBottom;
};

PieceCut CutOf(FramePiece piece) {
  switch (piece) {
    case FramePiece::TopLeft:
      return {{65, 65}, {0, 0}, false, false};
    case FramePiece::BottomRight:
      return {{65, 66}, {62, 58}, true, true};
    case FramePiece::BottomLeft:
      return {{67, 66}, {0, 58}, false, true};
    case FramePiece::BottomEdge:
      return {{604, 47}, {65, 39}, false, true};
    case FramePiece::RightEdge:
      return {{48, 320}, {42, 65}, true, false};
    case FramePiece::LeftEdge:
      return {{44, 320}, {0, 65}, false, false};
    case FramePiece::TopEdge:
      return {{604, 44}, {64, 0}, false, false};
    case FramePiece::TopRight:
      return {{65, 65}, {58, 0}, true, false};
  }
  return {};
}

// The bezel's opening, the glass, in the master.
bezel::Opening GlassOpening() {
  const double left = kFrameSide, top = kFrameSide;
  const double right = kMasterWidth - kFrameSide, bottom = kMasterHeight - kFrameBottom;
  const double cx = (left + right) / 2, cy = (top + bottom) / 2;
  const double hx = (right - left) / 2 - kOpeningRadius, hy = (bottom - top) / 2 - kOpeningRadius;
  return {cx, cy, hx, hy, kOpeningRadius};
}

QImage ShadeBezel() {
  QImage master(kMasterWidth + kMasterPad, kMasterHeight + kMasterPad, QImage::Format_ARGB32_Premultiplied);
  master.fill(Qt::transparent);
  // Light falls from the top left.
  const double lightX = -0.6, lightY = -0.8;
  const bezel::Opening glass = GlassOpening();
  for (int y = 0; y < kMasterHeight; ++y) {
    auto* line = reinterpret_cast<QRgb*>(master.scanLine(y));
    for (int x = 0; x < kMasterWidth; ++x) {
      double nx = 0.0, ny = 0.0;
      const double inner = bezel::OpeningDistance(glass, x + 0.5, y + 0.5, nx, ny);
      if (inner <= 0.0) continue;
      const bezel::OuterEdge edge = bezel::NearestOuterEdge(x, y, kMasterWidth, kMasterHeight);
      const int outer = edge.distance;
      const double ex = edge.normalX, ey = edge.normalY;
      const int grain = bezel::Grain(x, y, 7);
      QRgb colour;
      if (inner <= 1.5) {
        colour = qRgba(46, 150, 70, 255);  // phosphor rim around the glass
      } else if (inner <= 3.5) {
        colour = qRgba(12, 14, 16, 255);  // groove
      } else if (inner <= 9.0) {
        // Bevel sloping down into the opening.
        const double facing = -(nx * lightX + ny * lightY);
        colour = bezel::Shade(70 + grain, 75 + grain, 82 + grain, 1.0 + 0.45 * facing);
      } else if (outer < 2) {
        colour = qRgba(14, 15, 17, 255);
      } else if (outer < 6) {
        // Rounded outer lip.
        const double facing = ex * lightX + ey * lightY;
        colour = bezel::Shade(78, 83, 91, 1.0 + 0.5 * facing);
      } else if (outer == 13 || outer == 14) {
        // Engraved line following the bezel.
        colour = outer == 13 ? qRgba(28, 30, 34, 255) : qRgba(92, 97, 105, 255);
      } else {
        // Brushed body, a little darker towards the glass.
        const double depth = std::clamp((inner - 9.0) / 30.0, 0.0, 1.0);
        colour = bezel::Shade(56 + grain, 60 + grain, 67 + grain, 0.88 + 0.12 * depth);
      }
      line[x] = colour;
    }
  }

  // Four screws in the corners.
  QPainter painter(&master);
  painter.setRenderHint(QPainter::Antialiasing, true);
  const QPointF screws[] = {{21.5, 21.5},
                            {kMasterWidth - 20.5, 21.5},
                            {21.5, kMasterHeight - 19.5},
                            {kMasterWidth - 20.5, kMasterHeight - 19.5}};
  for (const QPointF& centre : screws) {
    QRadialGradient head(centre - QPointF(2, 2), 7.0);
    head.setColorAt(0.0, QColor(150, 156, 165));
    head.setColorAt(1.0, QColor(45, 48, 54));
    painter.setPen(QPen(QColor(15, 16, 18), 1.0));
    painter.setBrush(head);
    painter.drawEllipse(centre, 5.5, 5.5);
    painter.setPen(QPen(QColor(25, 27, 30), 1.6));
    painter.drawLine(centre + QPointF(-3.5, 3.5), centre + QPointF(3.5, -3.5));
  }
  return master;
}

QImage CutPiece(const QImage& master, FramePiece piece) {
  const PieceCut cut = CutOf(piece);
  const int x = cut.fromRight ? kMasterWidth - cut.origin.x() : cut.origin.x();
  const int y = cut.fromBottom ? kMasterHeight - cut.origin.y() : cut.origin.y();
  return master.copy(x, y, cut.size.width(), cut.size.height());
}

QImage DrawArrow(TrendArrow kind, int size) {
  QImage image(size, size, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(245, 255, 64));
  const double s = size;
  const double m = s * 0.12;  // margin
  QPolygonF shape;
  switch (kind) {
    case TrendArrow::Climb:
      shape << QPointF(s / 2, m) << QPointF(s - m, s * 0.55) << QPointF(s * 0.64, s * 0.55) << QPointF(s * 0.64, s - m)
            << QPointF(s * 0.36, s - m) << QPointF(s * 0.36, s * 0.55) << QPointF(m, s * 0.55);
      break;
    case TrendArrow::Descend:
      shape << QPointF(s / 2, s - m) << QPointF(s - m, s * 0.45) << QPointF(s * 0.64, s * 0.45) << QPointF(s * 0.64, m)
            << QPointF(s * 0.36, m) << QPointF(s * 0.36, s * 0.45) << QPointF(m, s * 0.45);
      break;
    case TrendArrow::Level:
      shape << QPointF(s - m, s / 2) << QPointF(s * 0.55, m) << QPointF(s * 0.55, s * 0.36) << QPointF(m, s * 0.36)
            << QPointF(m, s * 0.64) << QPointF(s * 0.55, s * 0.64) << QPointF(s * 0.55, s - m);
      break;
  }
  painter.drawPolygon(shape);
  return image;
}

}  // namespace

QSize FramePieceSize(FramePiece piece) { return CutOf(piece).size; }

ScopeArtwork::ScopeArtwork() {
  const QImage master = ShadeBezel();
  for (int i = 0; i < kFramePieceCount; ++i)
    frame_[static_cast<std::size_t>(i)] = CutPiece(master, static_cast<FramePiece>(i));
  for (int i = 0; i < 3; ++i) {
    largeArrows_[static_cast<std::size_t>(i)] = DrawArrow(static_cast<TrendArrow>(i), 15);
    smallArrows_[static_cast<std::size_t>(i)] = DrawArrow(static_cast<TrendArrow>(i), 12);
  }
}

std::shared_ptr<const ScopeArtwork> ScopeArtwork::Shared() {
  // Built on first use on the user-interface thread, kept for the program.
  static const std::shared_ptr<const ScopeArtwork> kArtwork = std::make_shared<const ScopeArtwork>();
  return kArtwork;
}

const QImage& ScopeArtwork::Arrow(TrendArrow kind, int fontSize) const {
  const auto index = static_cast<std::size_t>(kind);
  return fontSize > 12 ? largeArrows_[index] : smallArrows_[index];
}

}  // namespace vantor::scope
