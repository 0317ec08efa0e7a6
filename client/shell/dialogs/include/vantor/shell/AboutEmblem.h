#pragma once
// The about box's picture: the program's emblem, a radar scope with its
// sweep and a chevron, drawn as vectors so it stays sharp at any zoom.

#include <QRectF>
#include <QSizeF>

class QPainter;

namespace vantor::shell {

// The emblem's own size, in pixels at 100 %.
inline constexpr QSizeF kAboutEmblemSize{96.0, 96.0};

void PaintAboutEmblem(QPainter& painter, const QRectF& target);

}  // namespace vantor::shell
