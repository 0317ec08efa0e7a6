#pragma once
// The button panel's pictures, drawn by code so they stay sharp at any
// screen scale: a dark console in the scope frame's grey (90, 93, 99) with
// backlit keys, lamps and switches. Pictures are transparent where nothing
// is drawn; the background (156) covers its whole size.

#include <QColor>
#include <QImage>
#include <QSize>

#include <map>
#include <utility>

#include "vantor/texts/Language.h"

namespace vantor::shell::panel {

// The panel's colour, that of the scope's frame.
inline constexpr QColor kPanelColour{90, 93, 99};
// Pixels of this light grey in a picture take the panel's colour.
inline constexpr QColor kMaskGrey{192, 192, 192};

// Every fully opaque light-grey pixel replaced by `face`.
QImage MaskLightGrey(QImage image, const QColor& face);

class PanelArtwork {
 public:
  explicit PanelArtwork(Language language) : language_(language) {}

  // The size of a picture in logical pixels; empty for an unknown number.
  static QSize PictureSize(int picture);
  static bool Known(int picture) { return !PictureSize(picture).isEmpty(); }

  // The picture at `scale` device pixels per logical pixel, masked to the
  // panel's colour; a null image for an unknown number. Kept once drawn.
  const QImage& Picture(int picture, qreal scale) const;
  // The background (156) over `size`, with the captions of the controls.
  QImage Background(QSize size, qreal scale) const;

 private:
  QImage Draw(int picture, qreal scale) const;

  Language language_;
  mutable std::map<std::pair<int, qreal>, QImage> cache_;
};

}  // namespace vantor::shell::panel
