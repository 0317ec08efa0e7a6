#pragma once
// The frame pictures of the side panels (information panel and approach
// view), drawn by the program once in the look of the scope's console
// bezel: four corners and four edge tiles, laid over the edges of a panel's
// picture.

#include <QImage>
#include <QSize>

#include <array>
#include <memory>

class QPainter;

namespace vantor::shell {

enum class PanelFramePiece {
  TopLeft,      // 30 x 30
  TopRight,     // 30 x 30
  BottomLeft,   // 30 x 30
  BottomRight,  // 30 x 30, with the collapse mark of the side column
  LeftEdge,     // 10 x 165
  RightEdge,    // 10 x 161
  TopEdge,      // 219 x 10
  BottomEdge,   // 212 x 10
};
inline constexpr int kPanelFramePieceCount = 8;
// The corners' size, and the band along every side the edges cover.
inline constexpr int kPanelCorner = 30;
inline constexpr int kPanelBezel = 10;
// The metal of the bezel (the console's grey).
inline constexpr int kPanelBezelRed = 90;
inline constexpr int kPanelBezelGreen = 93;
inline constexpr int kPanelBezelBlue = 99;

QSize PanelFramePieceSize(PanelFramePiece piece);

class PanelFrameArt {
 public:
  PanelFrameArt();
  // The one set of the program, built on first use.
  static std::shared_ptr<const PanelFrameArt> Shared();

  // Transparent where the panel's picture shows through.
  const QImage& Piece(PanelFramePiece piece) const { return pieces_[static_cast<std::size_t>(piece)]; }

  // Lays the frame over a picture of `size`: the side edges tiled downwards
  // from y = 30, the top and bottom edges tiled rightwards from x = 30, the
  // corners last.
  void DrawFrame(QPainter& painter, QSize size) const;

 private:
  std::array<QImage, kPanelFramePieceCount> pieces_;
};

}  // namespace vantor::shell
