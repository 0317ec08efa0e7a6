#include "TextSprites.h"

#include <QPainter>

namespace vantor::scope::detail {

TextSprites::TextSprites() : metrics_(font_) {}

void TextSprites::SetFont(const QFont& font) {
  font_ = font;
  metrics_ = QFontMetrics(font_);
  ascent_ = metrics_.ascent();
  height_ = metrics_.height();
  sprites_.clear();
  widths_.clear();
}

int TextSprites::Width(const QString& text) {
  auto found = widths_.find(text);
  if (found == widths_.end()) found = widths_.insert(text, Measure{metrics_.horizontalAdvance(text), 0});
  found->lastUsed = paint_;
  return found->width;
}

void TextSprites::Draw(QPainter& painter, int left, int top, const QString& text, QRgb colour) {
  if (text.isEmpty()) return;
  QHash<QString, Sprite>& sprites = sprites_[colour];
  auto found = sprites.find(text);
  if (found == sprites.end()) {
    QImage image(std::max(Width(text), 1), std::max(height_, 1), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter sprite(&image);
    sprite.setFont(font_);
    sprite.setPen(QColor::fromRgb(colour));
    sprite.drawText(0, ascent_, text);
    sprite.end();
    found = sprites.insert(text, Sprite{std::move(image), 0});
  }
  found->lastUsed = paint_;
  painter.drawImage(QPoint(left, top), found->image);
}

void TextSprites::EndPaint() {
  const bool crowded = Size() > kMostTexts;
  if (crowded || paint_ % kKeepPaints == 0) {
    // When crowded, keep only what the last paint used.
    const unsigned keepFrom = crowded ? paint_ : (paint_ > kKeepPaints ? paint_ - kKeepPaints : 0);
    for (auto& [colour, sprites] : sprites_)
      sprites.removeIf([keepFrom](QHash<QString, Sprite>::iterator entry) { return entry->lastUsed < keepFrom; });
    widths_.removeIf([keepFrom](QHash<QString, Measure>::iterator entry) { return entry->lastUsed < keepFrom; });
  }
  ++paint_;
}

std::size_t TextSprites::Size() const {
  std::size_t count = static_cast<std::size_t>(widths_.size());
  for (const auto& [colour, sprites] : sprites_) count += static_cast<std::size_t>(sprites.size());
  return count;
}

}  // namespace vantor::scope::detail
