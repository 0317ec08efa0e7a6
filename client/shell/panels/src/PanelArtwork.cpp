#include "vantor/shell/PanelArtwork.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>

#include "vantor/shell/PanelLayout.h"
#include "vantor/texts/QText.h"

namespace vantor::shell::panel {
namespace {

// Console colours around the panel's grey.
constexpr QColor kRecess{48, 50, 55};
constexpr QColor kRecessEdgeDark{30, 31, 35};
constexpr QColor kBevelLight{128, 132, 140};
constexpr QColor kKeyTop{78, 81, 88};
constexpr QColor kKeyBottom{60, 62, 68};
constexpr QColor kKeyText{196, 200, 207};
constexpr QColor kDimText{150, 155, 163};
constexpr QColor kEngraved{212, 216, 222};
constexpr QColor kEngravedShadow{55, 57, 62};
constexpr QColor kAmber{255, 186, 64};
constexpr QColor kAmberText{52, 34, 6};
constexpr QColor kGreen{96, 224, 120};
constexpr QColor kGreenTrack{44, 150, 78};
constexpr QColor kGreenText{14, 44, 22};
constexpr QColor kRed{232, 62, 48};
constexpr QColor kDarkLamp{38, 40, 44};

constexpr std::array<const char*, 8> kMetricLabels{"2", "5", "10", "20", "50", "100", "200", "300"};
// The same ranges in nautical miles, rounded.
constexpr std::array<const char*, 8> kNauticalLabels{"1", "3", "5", "11", "27", "54", "108", "162"};

QFont PanelFont(qreal pixelSize, bool bold = false) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
  font.setBold(bold);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

// A rounded well cut into the console.
void DrawRecess(QPainter& p, const QRectF& r, qreal radius) {
  p.setPen(Qt::NoPen);
  p.setBrush(kBevelLight);
  p.drawRoundedRect(r.adjusted(0, 1, 0, 1), radius, radius);
  p.setBrush(kRecessEdgeDark);
  p.drawRoundedRect(r, radius, radius);
  p.setBrush(kRecess);
  p.drawRoundedRect(r.adjusted(1, 1.5, -0.5, -0.5), radius - 1, radius - 1);
}

// A key standing out of the console, optionally backlit in `light`.
void DrawKey(QPainter& p, const QRectF& r, const QColor* light, bool pressed = false) {
  const qreal radius = 3;
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(20, 21, 24, 160));
  p.drawRoundedRect(r.adjusted(0, pressed ? 0.5 : 1, 0, pressed ? 0.5 : 1), radius, radius);
  QLinearGradient face(r.topLeft(), r.bottomLeft());
  if (light != nullptr) {
    face.setColorAt(0, light->lighter(118));
    face.setColorAt(1, light->darker(pressed ? 125 : 112));
  } else {
    face.setColorAt(0, pressed ? kKeyBottom : kKeyTop);
    face.setColorAt(1, pressed ? kKeyTop.darker(110) : kKeyBottom);
  }
  p.setBrush(face);
  p.setPen(QPen(light != nullptr ? light->darker(160) : kRecessEdgeDark, 1));
  p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  // Top highlight.
  p.setPen(QPen(QColor(255, 255, 255, light != nullptr ? 110 : 40), 1));
  p.drawLine(QPointF(r.left() + radius, r.top() + 1.5), QPointF(r.right() - radius, r.top() + 1.5));
}

void DrawCentredText(QPainter& p, const QRectF& r, const QString& text, const QFont& font, const QColor& colour) {
  p.setFont(font);
  p.setPen(colour);
  p.drawText(r, Qt::AlignCenter, text);
}

void DrawEngraved(QPainter& p, const QRectF& r, const QString& text, qreal size, Qt::Alignment align) {
  const QFont font = PanelFont(size, true);
  p.setFont(font);
  p.setPen(kEngravedShadow);
  p.drawText(r.translated(0, 1), align | Qt::AlignVCenter, text);
  p.setPen(kEngraved);
  p.drawText(r, align | Qt::AlignVCenter, text);
}

void DrawRange(QPainter& p, int litBand, bool nautical) {
  const QRectF whole(0, 0, kRangeRect.width(), kRangeRect.height());
  DrawRecess(p, whole.adjusted(0, 0, 0, -1), 4);
  const auto& labels = nautical ? kNauticalLabels : kMetricLabels;
  const QString unit = nautical ? QStringLiteral("NM") : QStringLiteral("km");
  for (int i = 0; i < 8; ++i) {
    const QRectF key(4, i * kRangeBandHeight + 3, whole.width() - 8, kRangeBandHeight - 5);
    const bool lit = i == litBand;
    DrawKey(p, key, lit ? &kAmber : nullptr);
    const QColor text = lit ? kAmberText : kKeyText;
    DrawCentredText(p, QRectF(key.left(), key.top(), key.width() * 0.62, key.height()), QString::fromLatin1(labels[i]),
                    PanelFont(13, true), text);
    DrawCentredText(p, QRectF(key.left() + key.width() * 0.58, key.top() + 1, key.width() * 0.40, key.height()), unit,
                    PanelFont(8.5, lit), lit ? kAmberText : kDimText);
  }
}

void DrawSwitch(QPainter& p, bool on) {
  const QRectF track(1, 2, kAtcRect.width() - 2, kAtcRect.height() - 4);
  const qreal radius = track.height() / 2;
  p.setPen(Qt::NoPen);
  p.setBrush(kBevelLight);
  p.drawRoundedRect(track.adjusted(0, 1, 0, 1), radius, radius);
  p.setBrush(on ? kGreenTrack : kRecess);
  p.setPen(QPen(kRecessEdgeDark, 1));
  p.drawRoundedRect(track.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
  if (on) {
    // The lit side glows.
    QRadialGradient glow(track.center(), track.width() / 2);
    glow.setColorAt(0, QColor(kGreen.red(), kGreen.green(), kGreen.blue(), 150));
    glow.setColorAt(1, QColor(kGreen.red(), kGreen.green(), kGreen.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRoundedRect(track.adjusted(1, 1, -1, -1), radius, radius);
  }
  const qreal knobDiameter = track.height() + 2;
  const qreal knobX = on ? track.right() - knobDiameter + 1 : track.left() - 1;
  const QRectF knob(knobX, track.top() - 1, knobDiameter, knobDiameter);
  QLinearGradient knobFace(knob.topLeft(), knob.bottomLeft());
  knobFace.setColorAt(0, QColor(236, 238, 241));
  knobFace.setColorAt(1, QColor(170, 174, 181));
  p.setBrush(knobFace);
  p.setPen(QPen(QColor(40, 42, 46), 1));
  p.drawEllipse(knob.adjusted(0.5, 0.5, -0.5, -0.5));
  // The lamp on the knob: green when on, dark when off.
  const QRectF lamp(knob.center().x() - 3, knob.center().y() - 3, 6, 6);
  p.setPen(Qt::NoPen);
  p.setBrush(on ? kGreen : kDarkLamp);
  p.drawEllipse(lamp);
}

void DrawSun(QPainter& p, QPointF centre, qreal radius, const QColor& colour) {
  p.setPen(QPen(colour, 1.4, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 8; ++i) {
    const double a = i * M_PI / 4;
    p.drawLine(centre + QPointF(std::cos(a), std::sin(a)) * (radius + 1.5),
               centre + QPointF(std::cos(a), std::sin(a)) * (radius + 3.5));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawEllipse(centre, radius, radius);
}

void DrawIntensity(QPainter& p, int step) {
  const QRectF whole(0, 0, kIntensityRect.width(), kIntensityRect.height());
  DrawRecess(p, whole.adjusted(0, 0, 0, -1), 5);
  const qreal half = whole.width() / 2;
  // Darker half, brighter half.
  DrawSun(p, QPointF(13, whole.height() / 2 - 1), 3, QColor(120, 124, 131));
  DrawCentredText(p, QRectF(4, whole.height() - 15, 20, 12), QStringLiteral("−"), PanelFont(12, true), kDimText);
  DrawSun(p, QPointF(whole.width() - 13, whole.height() / 2 - 1), 4, kAmber);
  DrawCentredText(p, QRectF(whole.width() - 24, whole.height() - 15, 20, 12), QStringLiteral("+"), PanelFont(12, true),
                  kKeyText);
  // The knob in the middle turns a quarter per click.
  const QPointF centre(half, whole.height() / 2);
  const qreal radius = 13;
  for (int i = 0; i < 4; ++i) {
    const double a = (-135 + 90 * i) * M_PI / 180;
    p.setPen(Qt::NoPen);
    p.setBrush(i == step - 1 ? kAmber : kDarkLamp.lighter(130));
    p.drawEllipse(centre + QPointF(std::cos(a), std::sin(a)) * (radius + 4.5), 1.8, 1.8);
  }
  QRadialGradient face(centre - QPointF(3, 4), radius * 1.6);
  face.setColorAt(0, QColor(150, 154, 162));
  face.setColorAt(1, QColor(58, 60, 66));
  p.setBrush(face);
  p.setPen(QPen(kRecessEdgeDark, 1));
  p.drawEllipse(centre, radius, radius);
  const double a = (-135 + 90 * (step - 1)) * M_PI / 180;
  p.setPen(QPen(kAmber, 2.4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre + QPointF(std::cos(a), std::sin(a)) * 4, centre + QPointF(std::cos(a), std::sin(a)) * (radius - 2));
}

void DrawUnits(QPainter& p, bool nautical) {
  const QRectF whole(0, 0, kUnitsRect.width(), kUnitsRect.height());
  DrawRecess(p, whole.adjusted(0, 0, 0, -1), 5);
  const QRectF left(4, 5, whole.width() / 2 - 5, whole.height() - 11);
  const QRectF right(whole.width() / 2 + 1, 5, whole.width() / 2 - 5, whole.height() - 11);
  DrawKey(p, left, nautical ? &kAmber : nullptr, nautical);
  DrawKey(p, right, nautical ? nullptr : &kAmber, !nautical);
  DrawCentredText(p, left, QStringLiteral("NM"), PanelFont(13, true), nautical ? kAmberText : kDimText);
  DrawCentredText(p, right, QStringLiteral("KM"), PanelFont(13, true), nautical ? kDimText : kAmberText);
}

void DrawStrip(QPainter& p, int litButton) {
  const QRectF whole(0, 0, kStripRect.width(), kStripRect.height());
  DrawRecess(p, whole.adjusted(0, 0, 0, -1), 5);
  int left = 0;
  for (int i = 0; i < 6; ++i) {
    const int right = kStripButtonRightEdges[static_cast<std::size_t>(i)] + 1;
    const QRectF key(left + 2.5, 4, right - left - 4, whole.height() - 9);
    const bool lit = i + 1 == litButton;
    DrawKey(p, key, lit ? &kGreen : nullptr, lit);
    // A lamp bar over the digit.
    p.setPen(Qt::NoPen);
    p.setBrush(lit ? QColor(225, 255, 228) : kDarkLamp);
    p.drawRoundedRect(QRectF(key.center().x() - 7, key.top() + 4, 14, 3), 1.5, 1.5);
    DrawCentredText(p, key.adjusted(0, 6, 0, 0), QString::number(i + 1), PanelFont(15, true),
                    lit ? kGreenText : kKeyText);
    left = right;
  }
}

void DrawPowerSymbol(QPainter& p, QPointF centre, qreal radius, const QColor& colour) {
  p.setPen(QPen(colour, 2.6, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  const QRectF ring(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
  p.drawArc(ring, 120 * 16, -240 * 16);
  p.drawLine(centre - QPointF(0, radius + 1.5), centre - QPointF(0, radius * 0.15));
}

void DrawQuit(QPainter& p) {
  const QRectF whole(0, 0, kQuitRect.width(), kQuitRect.height());
  DrawRecess(p, whole.adjusted(0, 0, 0, -1), 5);
  const QRectF key = whole.adjusted(4, 4, -4, -5);
  DrawKey(p, key, nullptr);
  DrawPowerSymbol(p, key.center() + QPointF(0, 1), 8.5, kRed);
}

void DrawMicrophone(QPainter& p, QPointF centre, const QColor& colour) {
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawRoundedRect(QRectF(centre.x() - 5, centre.y() - 13, 10, 17), 5, 5);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawArc(QRectF(centre.x() - 9, centre.y() - 9, 18, 17), 200 * 16, 140 * 16);
  p.drawLine(centre + QPointF(0, 8), centre + QPointF(0, 12));
  p.drawLine(centre + QPointF(-5, 12.5), centre + QPointF(5, 12.5));
}

void DrawTalk(QPainter& p, bool pressed, Language language) {
  const QRectF whole(0, 0, kTalkRect.width(), kTalkRect.height());
  DrawRecess(p, whole.adjusted(0, 0, 0, -1), 6);
  const QRectF key = whole.adjusted(5, pressed ? 6 : 5, -5, pressed ? -5 : -6);
  DrawKey(p, key, pressed ? &kRed : nullptr, pressed);
  const QColor ink = pressed ? QColor(255, 240, 236) : kKeyText;
  DrawMicrophone(p, QPointF(key.left() + 34, key.center().y()), ink);
  DrawCentredText(p, key.adjusted(48, 0, -40, 0), QText(TextId::PanelCaptionTalk, language), PanelFont(18, true), ink);
  // The on-air lamp.
  const QPointF lamp(key.right() - 22, key.center().y());
  if (pressed) {
    QRadialGradient glow(lamp, 14);
    glow.setColorAt(0, QColor(255, 220, 200, 220));
    glow.setColorAt(1, QColor(255, 120, 90, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(lamp, 14, 14);
  }
  p.setPen(QPen(kRecessEdgeDark, 1));
  p.setBrush(pressed ? QColor(255, 236, 226) : QColor(88, 36, 32));
  p.drawEllipse(lamp, 6, 6);
}

void DrawDecoration(QPainter& p) {
  const QRectF whole(0, 0, kDecorationRect.width(), kDecorationRect.height());
  DrawRecess(p, whole.adjusted(0, 0, 0, -1), 4);
  QFont font = PanelFont(13, true);
  font.setLetterSpacing(QFont::AbsoluteSpacing, 4);
  DrawCentredText(p, whole.adjusted(0, 0, 0, -1), QStringLiteral("VANTOR"), font, kEngraved);
  // Radar sweep marks at both ends.
  for (const qreal x : {14.0, whole.width() - 14}) {
    const QPointF centre(x, whole.height() / 2 - 0.5);
    p.setPen(QPen(kGreenTrack, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 6, 6);
    p.drawEllipse(centre, 3, 3);
    p.setPen(QPen(kGreen, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(4.5, -4.5));
  }
}

}  // namespace

QImage MaskLightGrey(QImage image, const QColor& face) {
  image = std::move(image).convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QRgb key = qRgba(kMaskGrey.red(), kMaskGrey.green(), kMaskGrey.blue(), 255);
  const QRgb replacement = face.rgba();
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (line[x] == key) line[x] = replacement;
    }
  }
  return image;
}

QSize PanelArtwork::PictureSize(int picture) {
  if (picture == kPictureOn || picture == kPictureOff) return kAtcRect.size();
  if ((picture >= kFirstMetricRangePicture && picture < kFirstMetricRangePicture + 8) ||
      (picture >= kFirstNauticalRangePicture && picture < kFirstNauticalRangePicture + 8))
    return kRangeRect.size();
  if (std::find(kStripPictures.begin(), kStripPictures.end(), picture) != kStripPictures.end())
    return kStripRect.size();
  if (picture >= kFirstIntensityPicture && picture < kFirstIntensityPicture + 4) return kIntensityRect.size();
  if (picture == kPictureTalkReleased || picture == kPictureTalkPressed) return kTalkRect.size();
  if (picture == kPictureUnitsNautical || picture == kPictureUnitsMetric) return kUnitsRect.size();
  if (picture == kPictureQuit) return kQuitRect.size();
  if (picture == kPictureDecoration) return kDecorationRect.size();
  if (picture == kPictureBackground) return kPanelSize;
  return {};
}

const QImage& PanelArtwork::Picture(int picture, qreal scale) const {
  const auto key = std::make_pair(picture, scale);
  auto found = cache_.find(key);
  if (found == cache_.end()) found = cache_.emplace(key, MaskLightGrey(Draw(picture, scale), kPanelColour)).first;
  return found->second;
}

QImage PanelArtwork::Draw(int picture, qreal scale) const {
  const QSize size = PictureSize(picture);
  if (size.isEmpty()) return {};
  if (picture == kPictureBackground) return Background(size, scale);
  QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  if (picture == kPictureOn || picture == kPictureOff) {
    DrawSwitch(p, picture == kPictureOn);
  } else if (picture >= kFirstMetricRangePicture && picture < kFirstMetricRangePicture + 8) {
    DrawRange(p, picture - kFirstMetricRangePicture, false);
  } else if (picture >= kFirstNauticalRangePicture && picture < kFirstNauticalRangePicture + 8) {
    DrawRange(p, picture - kFirstNauticalRangePicture, true);
  } else if (const auto strip = std::find(kStripPictures.begin(), kStripPictures.end(), picture);
             strip != kStripPictures.end()) {
    DrawStrip(p, static_cast<int>(strip - kStripPictures.begin()) + 1);
  } else if (picture >= kFirstIntensityPicture && picture < kFirstIntensityPicture + 4) {
    DrawIntensity(p, picture - kIntensityPictureBase);
  } else if (picture == kPictureTalkReleased || picture == kPictureTalkPressed) {
    DrawTalk(p, picture == kPictureTalkPressed, language_);
  } else if (picture == kPictureUnitsNautical || picture == kPictureUnitsMetric) {
    DrawUnits(p, picture == kPictureUnitsNautical);
  } else if (picture == kPictureQuit) {
    DrawQuit(p);
  } else if (picture == kPictureDecoration) {
    DrawDecoration(p);
  }
  return image;
}

QImage PanelArtwork::Background(QSize size, qreal scale) const {
  QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const QRectF whole(0, 0, size.width(), size.height());
  QLinearGradient plate(whole.topLeft(), whole.bottomLeft());
  plate.setColorAt(0, kPanelColour.lighter(106));
  plate.setColorAt(1, kPanelColour.darker(106));
  p.fillRect(whole, plate);
  // A bevelled rim around the console.
  p.setPen(QPen(kBevelLight, 1));
  p.drawLine(QPointF(0.5, 0.5), QPointF(whole.width() - 0.5, 0.5));
  p.drawLine(QPointF(0.5, 0.5), QPointF(0.5, whole.height() - 0.5));
  p.setPen(QPen(kRecessEdgeDark, 1));
  p.drawLine(QPointF(whole.width() - 0.5, 0.5), QPointF(whole.width() - 0.5, whole.height() - 0.5));
  p.drawLine(QPointF(0.5, whole.height() - 0.5), QPointF(whole.width() - 0.5, whole.height() - 0.5));
  // Grooves between the groups.
  const auto groove = [&](qreal y) {
    p.setPen(QPen(kRecessEdgeDark, 1));
    p.drawLine(QPointF(76, y + 0.5), QPointF(kPanelSize.width() - 6, y + 0.5));
    p.setPen(QPen(kBevelLight, 1));
    p.drawLine(QPointF(76, y + 1.5), QPointF(kPanelSize.width() - 6, y + 1.5));
  };
  groove(kIntensityCaptionRect.top() - 5);
  const auto wideGroove = [&](qreal y) {
    p.setPen(QPen(kRecessEdgeDark, 1));
    p.drawLine(QPointF(6, y + 0.5), QPointF(kPanelSize.width() - 6, y + 0.5));
    p.setPen(QPen(kBevelLight, 1));
    p.drawLine(QPointF(6, y + 1.5), QPointF(kPanelSize.width() - 6, y + 1.5));
  };
  wideGroove(kStripCaptionRect.top() - 6);
  // Captions.
  DrawEngraved(p, kRangeCaptionRect, QText(TextId::PanelCaptionRange, language_), 10, Qt::AlignHCenter);
  const std::array<std::pair<QRect, TextId>, 6> toggles{{{kLabelsRect, TextId::PanelCaptionLabels},
                                                         {kCoastRect, TextId::PanelCaptionCoast},
                                                         {kRingsRect, TextId::PanelCaptionRings},
                                                         {kCoverageRect, TextId::PanelCaptionCoverage},
                                                         {kDrawingRect, TextId::PanelCaptionDrawing},
                                                         {kSettingsRect, TextId::PanelCaptionWind}}};
  for (const auto& [rect, text] : toggles)
    DrawEngraved(p, CaptionRect(rect), QText(text, language_), 11, Qt::AlignLeft);
  DrawEngraved(p, kIntensityCaptionRect, QText(TextId::PanelCaptionIntensity, language_), 9.5, Qt::AlignHCenter);
  DrawEngraved(p, kUnitsCaptionRect, QText(TextId::PanelCaptionUnits, language_), 9.5, Qt::AlignHCenter);
  DrawEngraved(p, kStripCaptionRect, QText(TextId::PanelCaptionChannels, language_), 9.5, Qt::AlignHCenter);
  DrawEngraved(p, kQuitCaptionRect, QText(TextId::PanelCaptionQuit, language_), 9.5, Qt::AlignHCenter);
  return image;
}

}  // namespace vantor::shell::panel
