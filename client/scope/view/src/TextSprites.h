#pragma once
// Label texts drawn once and reused: a scope repaints twice a second and
// most of its labels read the same as in the last paint, so each text is
// shaped and rasterised once, then copied. Texts unused for a while are
// dropped.

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QRgb>
#include <QString>

#include <map>

class QPainter;

namespace vantor::scope::detail {

class TextSprites {
 public:
  TextSprites();
  // A new font drops everything drawn with the old one.
  void SetFont(const QFont& font);
  const QFont& Font() const { return font_; }
  int Ascent() const { return ascent_; }
  int Height() const { return height_; }

  int Width(const QString& text);
  // The text with its top-left at (left, top), on an opaque black box as
  // wide as the text and as high as the font.
  void Draw(QPainter& painter, int left, int top, const QString& text, QRgb colour);
  // Ends one paint: texts unused for kKeepPaints paints go.
  void EndPaint();

  std::size_t Size() const;
  static constexpr unsigned kKeepPaints = 20;
  static constexpr std::size_t kMostTexts = 20000;

 private:
  struct Sprite {
    QImage image;
    unsigned lastUsed = 0;
  };
  struct Measure {
    int width = 0;
    unsigned lastUsed = 0;
  };

  QFont font_;
  QFontMetrics metrics_;
  int ascent_ = 0;
  int height_ = 0;
  unsigned paint_ = 1;
  std::map<QRgb, QHash<QString, Sprite>> sprites_;
  QHash<QString, Measure> widths_;
};

}  // namespace vantor::scope::detail
