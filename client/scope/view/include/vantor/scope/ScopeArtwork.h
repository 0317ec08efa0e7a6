#pragma once
// The scope's artwork, drawn by the program once: the console frame pieces
// laid around the picture and the label's climb, descend and level arrows.

#include <QImage>
#include <QSize>

#include <array>
#include <memory>

#include "vantor/scope/ScopeLabels.h"

namespace vantor::scope {

enum class FramePiece {
  TopLeft,      // 65 x 65
  BottomRight,  // 65 x 66
  BottomLeft,   // 67 x 66
  BottomEdge,   // 604 x 47
  RightEdge,    // 48 x 320
  LeftEdge,     // 44 x 320
  TopEdge,      // 604 x 44
  TopRight,     // 65 x 65
};
inline constexpr int kFramePieceCount = 8;

// Margins of the picture that the frame covers.
inline constexpr int kFrameSide = 42;
inline constexpr int kFrameBottom = 39;

QSize FramePieceSize(FramePiece piece);

class ScopeArtwork {
 public:
  ScopeArtwork();

  // The one set of the program, built on first use.
  static std::shared_ptr<const ScopeArtwork> Shared();

  // Pieces are transparent where the picture shows through.
  const QImage& Frame(FramePiece piece) const { return frame_[static_cast<std::size_t>(piece)]; }
  // 15 x 15 arrows for label fonts above 12 pixels, 12 x 12 otherwise.
  const QImage& Arrow(TrendArrow arrow, int fontSize) const;

 private:
  std::array<QImage, kFramePieceCount> frame_;
  std::array<QImage, 3> largeArrows_;
  std::array<QImage, 3> smallArrows_;
};

}  // namespace vantor::scope
