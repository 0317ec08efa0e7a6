#include "vantor/shell/PanelFrameArt.h"

#include "vantor/scope/BezelShading.h"

#include <QColor>
#include <QPainter>
#include <QPolygonF>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vantor::shell {
namespace {

// The bezel is shaded once as a whole and cut into pieces; every edge
// piece is cut where the profile no longer changes along the edge, so the
// tiles meet without seams at any panel size.
constexpr int kMasterWidth = 300;
constexpr int kMasterHeight = 240;
constexpr double kOpeningRadius = 12.0;

struct PieceCut {
  QSize size;
  QPoint origin;  // top-left in the master; negative values count from the far edges
};

PieceCut CutOf(PanelFramePiece piece) {
  switch (piece) {
    case PanelFramePiece::TopLeft:
      return {{kPanelCorner, kPanelCorner}, {0, 0}};
    case PanelFramePiece::TopRight:
      return {{kPanelCorner, kPanelCorner}, {-kPanelCorner, 0}};
    case PanelFramePiece::BottomLeft:
      return {{kPanelCorner, kPanelCorner}, {0, -kPanelCorner}};
    case PanelFramePiece::BottomRight:
      return {{kPanelCorner, kPanelCorner}, {-kPanelCorner, -kPanelCorner}};
    case PanelFramePiece::LeftEdge:
      return {{kPanelBezel, 165}, {0, kPanelCorner}};
    case PanelFramePiece::RightEdge:
      return {{kPanelBezel, 161}, {-kPanelBezel, kPanelCorner}};
    case PanelFramePiece::TopEdge:
      return {{219, kPanelBezel}, {kPanelCorner, 0}};
    case PanelFramePiece::BottomEdge:
      return {{212, kPanelBezel}, {kPanelCorner, -kPanelBezel}};
  }
  return {};
}

// The opening, a rounded rectangle inside the bezel.
scope::bezel::Opening PanelOpening() {
  const double inset = kPanelBezel;
  const double cx = kMasterWidth / 2.0, cy = kMasterHeight / 2.0;
  const double hx = cx - inset - kOpeningRadius, hy = cy - inset - kOpeningRadius;
  return {cx, cy, hx, hy, kOpeningRadius};
}

QImage ShadeBezel() {
  QImage master(kMasterWidth, kMasterHeight, QImage::Format_ARGB32_Premultiplied);
  master.fill(Qt::transparent);
  const double lightX = -0.6, lightY = -0.8;  // light from the top left
  const scope::bezel::Opening opening = PanelOpening();
  for (int y = 0; y < kMasterHeight; ++y) {
    auto* line = reinterpret_cast<QRgb*>(master.scanLine(y));
    for (int x = 0; x < kMasterWidth; ++x) {
      double nx = 0.0, ny = 0.0;
      const double inner = scope::bezel::OpeningDistance(opening, x + 0.5, y + 0.5, nx, ny);
      if (inner <= 0.0) continue;
      const scope::bezel::OuterEdge edge = scope::bezel::NearestOuterEdge(x, y, kMasterWidth, kMasterHeight);
      const int outer = edge.distance;
      const double ex = edge.normalX, ey = edge.normalY;
      const int grain = scope::bezel::Grain(x, y, 5);
      QRgb colour;
      if (inner <= 1.0) {
        colour = qRgba(46, 150, 70, 255);  // phosphor rim, as around the scope's glass
      } else if (inner <= 2.5) {
        colour = qRgba(12, 14, 16, 255);  // groove
      } else if (outer < 1) {
        colour = qRgba(20, 21, 24, 255);
      } else if (outer < 3) {
        const double facing = ex * lightX + ey * lightY;  // rounded outer lip
        colour = scope::bezel::Shade(kPanelBezelRed, kPanelBezelGreen, kPanelBezelBlue, 1.0 + 0.35 * facing);
      } else if (inner <= 5.0) {
        const double facing = -(nx * lightX + ny * lightY);  // bevel down into the opening
        colour = scope::bezel::Shade(78 + grain, 82 + grain, 88 + grain, 1.0 + 0.4 * facing);
      } else {
        colour = scope::bezel::Shade(kPanelBezelRed + grain, kPanelBezelGreen + grain, kPanelBezelBlue + grain, 1.0);
      }
      line[x] = colour;
    }
  }
  return master;
}

// A screw head in a corner, where the bezel is widest.
void DrawScrew(QPainter& painter, QPointF centre) {
  QRadialGradient head(centre - QPointF(1.2, 1.2), 4.0);
  head.setColorAt(0.0, QColor(165, 170, 178));
  head.setColorAt(1.0, QColor(48, 51, 57));
  painter.setPen(QPen(QColor(18, 19, 22), 0.8));
  painter.setBrush(head);
  painter.drawEllipse(centre, 3.2, 3.2);
  painter.setPen(QPen(QColor(28, 30, 33), 1.0));
  painter.drawLine(centre + QPointF(-2.0, 2.0), centre + QPointF(2.0, -2.0));
}

// The collapse mark in the bottom-right corner: a click there folds the
// side column away.
void DrawCollapseMark(QPainter& painter) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(46, 150, 70));
  QPolygonF arrow;
  const double right = kMasterWidth - 3.5, bottom = kMasterHeight - 3.5;
  arrow << QPointF(right - 1, bottom - 12) << QPointF(right - 1, bottom - 1) << QPointF(right - 12, bottom - 1);
  painter.drawPolygon(arrow);
}

QImage CutPiece(const QImage& master, PanelFramePiece piece) {
  const PieceCut cut = CutOf(piece);
  const int x = cut.origin.x() < 0 ? kMasterWidth + cut.origin.x() : cut.origin.x();
  const int y = cut.origin.y() < 0 ? kMasterHeight + cut.origin.y() : cut.origin.y();
  return master.copy(x, y, cut.size.width(), cut.size.height());
}

}  // namespace

QSize PanelFramePieceSize(PanelFramePiece piece) { return CutOf(piece).size; }

PanelFrameArt::PanelFrameArt() {
  QImage master = ShadeBezel();
  {
    QPainter painter(&master);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const QPointF centre :
         {QPointF(6.5, 6.5), QPointF(kMasterWidth - 6.5, 6.5), QPointF(6.5, kMasterHeight - 6.5)})
      DrawScrew(painter, centre);
    DrawCollapseMark(painter);
  }
  for (int i = 0; i < kPanelFramePieceCount; ++i)
    pieces_[static_cast<std::size_t>(i)] = CutPiece(master, static_cast<PanelFramePiece>(i));
}

std::shared_ptr<const PanelFrameArt> PanelFrameArt::Shared() {
  // Built on first use on the user-interface thread, kept for the program.
  static const std::shared_ptr<const PanelFrameArt> kArtwork = std::make_shared<const PanelFrameArt>();
  return kArtwork;
}

void PanelFrameArt::DrawFrame(QPainter& painter, QSize size) const {
  const int width = size.width(), height = size.height();
  auto draw = [&painter, this](PanelFramePiece piece, int x, int y) { painter.drawImage(x, y, Piece(piece)); };
  const QImage& left = Piece(PanelFramePiece::LeftEdge);
  const QImage& right = Piece(PanelFramePiece::RightEdge);
  const QImage& top = Piece(PanelFramePiece::TopEdge);
  const QImage& bottom = Piece(PanelFramePiece::BottomEdge);
  for (int y = kPanelCorner; y < height - kPanelCorner; y += left.height()) draw(PanelFramePiece::LeftEdge, 0, y);
  for (int y = kPanelCorner; y < height - kPanelCorner; y += right.height())
    draw(PanelFramePiece::RightEdge, width - right.width(), y);
  for (int x = kPanelCorner; x < width - kPanelCorner; x += top.width()) draw(PanelFramePiece::TopEdge, x, 0);
  for (int x = kPanelCorner; x < width - kPanelCorner; x += bottom.width())
    draw(PanelFramePiece::BottomEdge, x, height - bottom.height());
  // The corners cover where the last tiles ran over.
  draw(PanelFramePiece::TopLeft, 0, 0);
  draw(PanelFramePiece::TopRight, width - kPanelCorner, 0);
  draw(PanelFramePiece::BottomLeft, 0, height - kPanelCorner);
  draw(PanelFramePiece::BottomRight, width - kPanelCorner, height - kPanelCorner);
}

}  // namespace vantor::shell
