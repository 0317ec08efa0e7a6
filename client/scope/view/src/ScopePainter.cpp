#include "vantor/scope/ScopePainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

#include "SafeDrawing.h"
#include "TextSprites.h"
#include "vantor/geo/Geodesy.h"
#include "vantor/scope/CoastlineScreenCache.h"
#include "vantor/texts/QText.h"
#include "vantor/texts/Texts.h"

namespace vantor::scope {
namespace {

// Colours of the scope (red, green, blue).
namespace colour {
const QColor kFriendlySimple(255, 255, 255);
const QColor kHistoryNewest(200, 200, 200);
const QColor kRangeRing(170, 170, 170);  // also the second history point
const QColor kHistoryOld(130, 130, 130);
const QColor kMeasuring(200, 255, 200);
const QColor kFriendlyAdvanced(124, 187, 62);  // also friendly radar dots and the AWACS circle
const QColor kLabelLine(51, 249, 40);
const QColor kHostileDot(249, 51, 40);
const QColor kHostileSymbol(245, 0, 64);
const QColor kCarrier(56, 15, 250);
const QColor kAltSymbol(90, 174, 235);
const QColor kRunway(233, 233, 233);
const QColor kCentreline(200, 100, 100);
const QColor kDrawing(233, 233, 160);
const QColor kOutline(255, 255, 255);
const QColor kFriendlyBrush(0, 255, 0);
const QColor kHostileBrush(255, 0, 0);
const QColor kMarker(0, 255, 0);
const QColor kLabelText(245, 255, 64);
const QColor kAirfieldCode(127, 127, 127);
const QColor kCompass(127, 127, 10);
const QColor kStatus(127, 127, 127);
const QColor kAwacsWarning(0, 200, 10);
const QColor kBullseye(80, 200, 255);
const QColor kBraaFriendly(245, 255, 64);
const QColor kConflict(255, 140, 0);
}  // namespace colour

constexpr int kBullseyeRings[] = {6, 12, 18};
constexpr int kBraaRing = 10;
constexpr int kConflictRing = 12;
constexpr int kConflictTextTop = 48;
constexpr int kConflictTextLeft = 70;
constexpr std::size_t kMostConflictTexts = 8;

constexpr int kCompassFontHeight = 14;
constexpr int kStatusFontHeight = 36;
constexpr int kAwacsFontHeight = 22;
constexpr int kStatusTop = 200;
constexpr int kRingMargin = 50;
constexpr int kSymbolHalf = 5;
constexpr int kSiteRing = 15;

QPen ThinPen(const QColor& colour, Qt::PenStyle style = Qt::SolidLine) {
  QPen pen(colour, 1, style);
  pen.setCosmetic(true);
  return pen;
}

QPen WidePen(const QColor& colour, int width) {
  return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// The pens of the contact walk, made once per paint.
struct ContactPens {
  QPen friendlySimple = ThinPen(colour::kFriendlySimple);
  QPen friendlyAdvanced = ThinPen(colour::kFriendlyAdvanced);
  QPen hostileSymbol = ThinPen(colour::kHostileSymbol);
  QPen hostileDot = ThinPen(colour::kHostileDot);
  QPen altSymbol = ThinPen(colour::kAltSymbol);
  QPen carrier = WidePen(colour::kCarrier, 4);
  QPen label = ThinPen(colour::kLabelLine);
  QPen history[3] = {ThinPen(colour::kHistoryNewest), ThinPen(colour::kRangeRing), ThinPen(colour::kHistoryOld)};
};

QPoint ToPoint(const ScreenPoint& point) { return {point.x, point.y}; }

}  // namespace

QFont ScopeFont(int cellHeight) {
  QFont font(QStringLiteral("Arial"));
  font.setStyleHint(QFont::SansSerif);
  font.setWeight(QFont::Normal);
  int pixels = std::max(cellHeight, 1);
  for (; pixels > 1; --pixels) {
    font.setPixelSize(pixels);
    if (QFontMetrics(font).height() <= cellHeight) break;
  }
  font.setPixelSize(pixels);
  return font;
}

// One paint pass's working set.
struct ScopePainter::Pass {
  QPainter& painter;
  detail::SafeDrawing draw;
  const ScopeFrame& frame;
  ContactPens pens;
  int width;
  int height;
  int pixelsPerKm;
  int fontSize;
  bool advanced;
  bool airfieldMode;
};

ScopePainter::ScopePainter(std::shared_ptr<const ScopeArtwork> artwork)
    : artwork_(artwork ? std::move(artwork) : ScopeArtwork::Shared()),
      compassFont_(ScopeFont(kCompassFontHeight)),
      statusFont_(ScopeFont(kStatusFontHeight)),
      awacsFont_(ScopeFont(kAwacsFontHeight)),
      labelMetrics_(labelFont_),
      labelTexts_(std::make_unique<detail::TextSprites>()) {}

ScopePainter::~ScopePainter() = default;

void ScopePainter::UseLabelFont(int fontSize) {
  if (fontSize == fontSize_) return;
  fontSize_ = fontSize;
  labelFont_ = ScopeFont(fontSize);
  labelTexts_->SetFont(labelFont_);
  labelReferenceWidth_ = labelTexts_->Width(QStringLiteral("9999WW9999"));
  labelMetrics_ = QFontMetrics(labelFont_);
  for (std::size_t c = 0; c < charWidths_.size(); ++c)
    charWidths_[c] = labelMetrics_.horizontalAdvance(QChar(static_cast<char16_t>(c)));
}

LabelMetrics ScopePainter::MeasureLabels(int fontSize) {
  UseLabelFont(LabelFontSize(fontSize));
  return {fontSize_, labelReferenceWidth_};
}

TextWidthFunction ScopePainter::TextWidth() {
  // Summed advances: no shaping and no cache lookups, as placing a
  // thousand labels asks for three widths each. Kerning only narrows a
  // text, so the sum never falls short of what is drawn.
  return [this](const QString& text) {
    int width = 0;
    for (const QChar c : text)
      width += c.unicode() < charWidths_.size() ? charWidths_[c.unicode()] : labelMetrics_.horizontalAdvance(c);
    return width;
  };
}

void ScopePainter::Paint(QImage& image, const ScopeFrame& frame) {
  image.fill(Qt::black);
  const int fontSize = LabelFontSize(frame.fontSize);
  UseLabelFont(fontSize);

  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  // Texts stand on opaque black boxes.
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.setBackground(Qt::black);
  painter.setBrush(Qt::NoBrush);
  const QRect picture = image.rect();
  Pass pass{painter,
            detail::SafeDrawing(
                painter, picture.adjusted(-kPictureMarginPx, -kPictureMarginPx, kPictureMarginPx, kPictureMarginPx)),
            frame,
            ContactPens{},
            picture.width(),
            picture.height(),
            frame.pixelsPerKm,
            fontSize,
            frame.advancedSymbols,
            frame.airfieldMode};

  if (frame.radarOutOfOrder) {
    PaintOutOfOrder(pass);
  } else {
    if (frame.coastline != nullptr) DrawCoastline(pass);
    painter.setPen(ThinPen(colour::kDrawing));
    DrawStrokes(pass, frame.drawing);
    if (pass.airfieldMode) {
      painter.setPen(frame.rangeKm <= 10 ? WidePen(colour::kOutline, 2) : ThinPen(colour::kOutline));
      DrawStrokes(pass, frame.airfieldOutlines);
    }
    DrawMarkers(pass);
    painter.setFont(labelFont_);
    if (frame.rangeRingsShown) DrawRangeRings(pass);
    for (const FrameRunway& runway : frame.runways) DrawRunway(pass, runway);
    if (frame.bullseye) DrawBullseye(pass, *frame.bullseye);
    for (const FrameContact& contact : frame.contacts) DrawContact(pass, contact);
    if (frame.braaFriendly) DrawBraaFriendly(pass, *frame.braaFriendly);
    if (!frame.conflicts.empty()) DrawConflicts(pass);
    if (frame.measure) DrawMeasuring(pass, *frame.measure);
    DrawAwacs(pass);
  }
  DrawFrame(pass);
  painter.end();
  labelTexts_->EndPaint();
}

void ScopePainter::DrawText(Pass& pass, int left, int top, const QString& text) {
  if (text.isEmpty()) return;
  pass.painter.drawText(left, top + QFontMetrics(pass.painter.font()).ascent(), text);
}

void ScopePainter::PaintOutOfOrder(Pass& pass) {
  pass.painter.setFont(statusFont_);
  pass.painter.setPen(colour::kStatus);
  const QString text = QText(TextId::ScopeRadarOutOfOrder, Language::English);
  const int width = QFontMetrics(statusFont_).horizontalAdvance(text);
  DrawText(pass, (pass.width - width) / 2, kStatusTop, text);
}

void ScopePainter::DrawCoastline(Pass& pass) {
  const int grey = pass.frame.coastlineGrey;
  pass.painter.setPen(ThinPen(QColor(grey, grey, grey)));
  pass.frame.coastline->ForEachPolyline([&pass](const ScreenPoint* points, std::size_t count) {
    for (std::size_t i = 1; i < count; ++i) pass.draw.AddSegment(ToPoint(points[i - 1]), ToPoint(points[i]));
  });
  pass.draw.FlushSegments();
}

void ScopePainter::DrawStrokes(Pass& pass, const ScreenStrokes& strokes) {
  strokes.ForEachStroke([&pass](const ScreenPoint* points, std::size_t count) {
    for (std::size_t i = 1; i < count; ++i) pass.draw.AddSegment(ToPoint(points[i - 1]), ToPoint(points[i]));
  });
  pass.draw.FlushSegments();
}

void ScopePainter::DrawMarkers(Pass& pass) {
  for (const ScreenPoint& marker : pass.frame.markers) {
    const QPoint at = ToPoint(marker);
    if (!pass.draw.NearPicture(at, 4)) continue;
    pass.painter.fillRect(at.x() - 2, at.y() - 2, 4, 4, colour::kMarker);
  }
}

void ScopePainter::DrawRangeRings(Pass& pass) {
  const int left = 0, top = 0, right = pass.width, bottom = pass.height;
  if (bottom <= 0 || right <= 0) return;
  QRect box;  // as left, top, right (exclusive), bottom (exclusive)
  int boxLeft, boxTop, boxRight, boxBottom;
  if (right / bottom >= 1) {
    const int excess = ((right - left) - (bottom - top)) / 2;
    boxLeft = left + excess + kRingMargin;
    boxTop = top + kRingMargin;
    boxRight = right - excess - kRingMargin;
    boxBottom = bottom - kRingMargin;
  } else {
    boxLeft = left + kRingMargin;
    boxTop = top + kRingMargin;
    boxRight = right - kRingMargin;
    boxBottom = bottom - kRingMargin;
  }
  pass.painter.setPen(ThinPen(colour::kRangeRing));
  pass.painter.setBrush(Qt::NoBrush);
  const int inset = (boxBottom - boxTop) / 10;
  for (int ring = 0; ring < 5; ++ring) {
    // Across a narrow window the inner boxes turn inside out; they are drawn
    // as the rectangles they span.
    const int l = std::min(boxLeft + ring * inset, boxRight - ring * inset);
    const int r = std::max(boxLeft + ring * inset, boxRight - ring * inset);
    const int t = std::min(boxTop + ring * inset, boxBottom - ring * inset);
    const int b = std::max(boxTop + ring * inset, boxBottom - ring * inset);
    // The ellipse fills the box up to, not including, its right and bottom.
    if (r - l >= 2 && b - t >= 2) pass.painter.drawEllipse(QRect(l, t, r - l - 1, b - t - 1));
  }
  if (pass.frame.compassShown) {
    DrawCompassLabels(pass, QRect(QPoint(boxLeft, boxTop), QPoint(boxRight, boxBottom)));
  }
}

void ScopePainter::DrawCompassLabels(Pass& pass, const QRect& outerRing) {
  // outerRing's bottomRight() holds the exclusive right and bottom.
  const int w = pass.width, h = pass.height;
  const int inset = h / 11;
  const int left = outerRing.left() + inset, top = outerRing.top() + inset;
  const int right = outerRing.right() - inset, bottom = outerRing.bottom() - inset;
  const int rw = right - left, rh = bottom - top;
  pass.painter.setFont(compassFont_);
  pass.painter.setPen(colour::kCompass);
  DrawText(pass, w / 2 - 10, top - 5, QStringLiteral("360"));
  DrawText(pass, w / 2 - 10, bottom - 5, QStringLiteral("180"));
  DrawText(pass, right, h / 2 - 5, QStringLiteral("90"));
  DrawText(pass, left - 10, h / 2 - 5, QStringLiteral("270"));
  DrawText(pass, right - rw / 6, top + rh / 7 - 10, QStringLiteral("45"));
  DrawText(pass, right - rw / 6, bottom - rh / 7 - 10, QStringLiteral("135"));
  DrawText(pass, left + rw / 7, top + rh / 7 - 10, QStringLiteral("315"));
  DrawText(pass, left + rw / 7, bottom - rh / 7 - 10, QStringLiteral("225"));
  pass.painter.setFont(labelFont_);
}

void ScopePainter::DrawRunway(Pass& pass, const FrameRunway& runway) {
  const QPoint end1 = ToPoint(runway.end1);
  if (runway.runwayShown) {
    pass.painter.setPen(WidePen(colour::kRunway, pass.frame.rangeKm == 2 ? 8 : 4));
    pass.draw.Line(end1, ToPoint(runway.end2));
    if (pass.draw.NearPicture(end1, kContactReachPx))
      labelTexts_->Draw(pass.painter, runway.codeAt.x, runway.codeAt.y, runway.code, colour::kAirfieldCode.rgb());
    if (runway.centreline) {
      pass.painter.setPen(ThinPen(colour::kCentreline, Qt::DashDotDotLine));
      pass.draw.Line(ToPoint(runway.centreline->from), ToPoint(runway.centreline->to));
    }
  }
  if (runway.radarCircle) {
    pass.painter.setPen(ThinPen(colour::kAltSymbol));
    pass.painter.setBrush(Qt::NoBrush);
    pass.draw.Circle(ToPoint(runway.radarCircle->centre), detail::SaturatedRadius(runway.radarCircle->radius));
  }
}

void ScopePainter::DrawContact(Pass& pass, const FrameContact& contact) {
  QPainter& painter = pass.painter;
  const QPoint at = ToPoint(contact.at);
  const bool near = pass.draw.NearPicture(at, kContactReachPx);
  if (contact.carrier) {
    painter.setPen(pass.pens.carrier);
  } else if (contact.radarSite) {
    DrawRadarSite(pass, contact);
  } else {
    const QPen* pen = contact.friendly ? &pass.pens.friendlySimple : &pass.pens.hostileSymbol;
    if (contact.altSymbol)
      pen = &pass.pens.altSymbol;
    else if (contact.friendly && pass.advanced && !pass.airfieldMode)
      pen = &pass.pens.friendlyAdvanced;
    painter.setPen(*pen);
    if (near) DrawSymbolShape(pass, contact.friendly, at, kSymbolHalf);
  }

  const bool plain = !contact.radarSite && !contact.altSymbol;
  if (near && (contact.carrier || (plain && (!pass.advanced || pass.airfieldMode)))) DrawHeadingLine(pass, contact);
  DrawHistory(pass, contact);
  if (near && contact.label) DrawContactLabel(pass, *contact.label);
}

void ScopePainter::DrawRadarSite(Pass& pass, const FrameContact& contact) {
  QPainter& painter = pass.painter;
  const QPoint at = ToPoint(contact.at);
  const bool near = pass.draw.NearPicture(at, kSiteRing + 1);
  const bool friendly = contact.friendly;
  if (near) {
    painter.setPen(friendly ? pass.pens.friendlyAdvanced : pass.pens.hostileDot);
    painter.setBrush(friendly ? colour::kFriendlyBrush : colour::kHostileBrush);
    painter.drawEllipse(at, kSymbolHalf, kSymbolHalf);
    painter.setBrush(Qt::NoBrush);
  }
  const bool coverage = pass.frame.coverageShown;
  if (friendly) {
    painter.setPen(pass.pens.altSymbol);
    if (near) painter.drawEllipse(at, kSiteRing, kSiteRing);
    if (coverage && contact.radarDataSet)
      DrawCoverage(pass, contact,
                   detail::SaturatedRadius(static_cast<std::int64_t>(pass.pixelsPerKm * contact.detectionRangeKm)));
  } else if (coverage) {
    painter.setPen(pass.pens.hostileSymbol);
    DrawCoverage(pass, contact, detail::SaturatedRadius(std::int64_t{pass.pixelsPerKm} * contact.weaponRangeKm));
  } else {
    painter.setPen(pass.pens.altSymbol);
    if (near) painter.drawEllipse(at, kSiteRing, kSiteRing);
  }
}

void ScopePainter::DrawCoverage(Pass& pass, const FrameContact& contact, int radius) {
  const QPoint at = ToPoint(contact.at);
  if (contact.sectorDeg == 360) {
    pass.draw.Circle(at, radius);
    return;
  }
  // The wedge starts 30 degrees left of the heading's perpendicular, so a
  // 120-degree sector is centred on the heading.
  const double headingDeg = contact.heading * geo::kHeadingRadToDeg;
  pass.draw.Wedge(at, radius, 30.0 - headingDeg, contact.sectorDeg);
}

void ScopePainter::DrawSymbolShape(Pass& pass, bool friendly, QPoint at, int half) {
  const int x = at.x(), y = at.y();
  if (pass.advanced && !pass.airfieldMode) {
    if (friendly) {
      const QPoint openSquare[] = {
          {x - half, y - half}, {x + half, y - half}, {x + half, y + half}, {x - half, y + half}};
      pass.painter.drawPolyline(openSquare, 4);
    } else {
      const QPoint chevron[] = {{x - half, y + half}, {x, y - half}, {x + half, y + half}};
      pass.painter.drawPolyline(chevron, 3);
    }
    return;
  }
  const QPoint square[] = {
      {x - half, y - half}, {x + half, y - half}, {x + half, y + half}, {x - half, y + half}, {x - half, y - half}};
  pass.painter.drawPolyline(square, 5);
}

void ScopePainter::DrawHeadingLine(Pass& pass, const FrameContact& contact) {
  const QPoint at = ToPoint(contact.at);
  const int h = geo::RadiansToWholeDegrees(contact.heading);
  if (h < 0 || h > 380) return;
  const int e = contact.speed < 390.0 ? 0 : (contact.speed < 700.0 ? 5 : 10);
  const int x = at.x(), y = at.y();
  QPoint start, end;
  if (h >= 337 || h <= 21) {
    start = {x, y - 5};
    end = {x, y - e - 15};
  } else if (h <= 66) {
    start = {x + 5, y - 5};
    end = {x + e + 10, y - e - 10};
  } else if (h <= 111) {
    start = {x + 5, y};
    end = {x + e + 15, y};
  } else if (h <= 157) {
    start = {x + 5, y + 5};
    end = {x + e + 10, y + e + 10};
  } else if (h <= 201) {
    start = {x, y + 5};
    end = {x, y + e + 15};
  } else if (h <= 246) {
    start = {x - 5, y + 5};
    end = {x - e - 10, y + e + 10};
  } else if (h <= 291) {
    start = {x - 5, y};
    end = {x - e - 15, y};
  } else {
    start = {x - 5, y - 5};
    end = {x - e - 10, y - e - 10};
  }
  if (contact.carrier) start = at;
  pass.draw.Line(start, end);
}

void ScopePainter::DrawHistory(Pass& pass, const FrameContact& contact) {
  for (std::size_t i = 0; i < contact.historyCount; ++i) {
    const QPoint at = ToPoint(contact.history[i]);
    if (!pass.draw.NearPicture(at, kSymbolHalf + 1)) continue;
    pass.painter.setPen(pass.pens.history[std::min<std::size_t>(i, 2)]);
    DrawSymbolShape(pass, contact.friendly, at, kSymbolHalf - static_cast<int>(i));
  }
}

void ScopePainter::DrawContactLabel(Pass& pass, const ContactLabel& label) {
  const int f = pass.fontSize;
  const int ax = label.place.anchor.x(), ay = label.place.anchor.y();
  QPainter& painter = pass.painter;
  const QPen& labelPen = pass.pens.label;
  detail::TextSprites& texts = *labelTexts_;
  const QRgb textColour = colour::kLabelText.rgb();

  // First line: callsign, name or part of the id, right-aligned to ax - 10.
  const int firstLeft = ax - texts.Width(label.firstLine) - 10;
  texts.Draw(painter, firstLeft, ay - 2 * f, label.firstLine, textColour);
  if (label.underlined) {
    painter.setPen(labelPen);
    const int underline = ay - 2 * f + f - 1;
    pass.draw.Line({firstLeft, underline}, {ax - 10, underline});
  }

  // Second line: altitude, trend arrow, speed. The line is measured as if
  // "WW" stood between the two values.
  const QString whole = label.altitude + QStringLiteral("WW") + label.speed;
  const int x2 = ax - texts.Width(whole) - 10;
  const int top2 = ay - f;
  texts.Draw(painter, x2, top2, label.altitude, textColour);
  const QImage& arrow = artwork_->Arrow(label.trend, f);
  const QPoint arrowAt(static_cast<int>(x2 + 1.8 * f), top2);
  if (arrow.width() == f)
    painter.drawImage(arrowAt, arrow);
  else
    painter.drawImage(QRect(arrowAt, QSize(f, f)), arrow);
  texts.Draw(painter, x2 + 3 * f, top2, label.speed, textColour);

  // The aids' lines below, right-aligned like the first.
  int top = ay;
  for (const QString* line : {&label.bullseyeLine, &label.braaLine}) {
    if (line->isEmpty()) continue;
    texts.Draw(painter, ax - texts.Width(*line) - 10, top, *line, textColour);
    top += f;
  }

  painter.setPen(labelPen);
  pass.draw.Line(label.place.leaderStart, label.place.leaderEnd);
}

void ScopePainter::DrawBullseye(Pass& pass, const ScreenPoint& at) {
  const QPoint centre = ToPoint(at);
  if (!pass.draw.NearPicture(centre, kBullseyeRings[2] + 1)) return;
  pass.painter.setPen(ThinPen(colour::kBullseye));
  pass.painter.setBrush(Qt::NoBrush);
  for (const int radius : kBullseyeRings) pass.painter.drawEllipse(centre, radius, radius);
  const int reach = kBullseyeRings[2] + 4;
  pass.painter.drawLine(centre - QPoint(reach, 0), centre + QPoint(reach, 0));
  pass.painter.drawLine(centre - QPoint(0, reach), centre + QPoint(0, reach));
}

void ScopePainter::DrawBraaFriendly(Pass& pass, const ScreenPoint& at) {
  const QPoint centre = ToPoint(at);
  if (!pass.draw.NearPicture(centre, kBraaRing + 1)) return;
  pass.painter.setPen(ThinPen(colour::kBraaFriendly, Qt::DashLine));
  pass.painter.setBrush(Qt::NoBrush);
  pass.painter.drawEllipse(centre, kBraaRing, kBraaRing);
}

void ScopePainter::DrawConflicts(Pass& pass) {
  const ScopeFrame& frame = pass.frame;
  pass.painter.setBrush(Qt::NoBrush);
  pass.painter.setPen(WidePen(colour::kConflict, 2));
  for (const FrameConflict& conflict : frame.conflicts) {
    pass.draw.Line(ToPoint(conflict.first), ToPoint(conflict.second));
    // The rings flash with the timer; the joining line stays.
    if (!frame.conflictFlashOn) continue;
    for (const ScreenPoint& end : {conflict.first, conflict.second}) {
      const QPoint centre = ToPoint(end);
      if (pass.draw.NearPicture(centre, kConflictRing + 2))
        pass.painter.drawEllipse(centre, kConflictRing, kConflictRing);
    }
  }
  const std::size_t listed = std::min(frame.conflictTexts.size(), kMostConflictTexts);
  for (std::size_t i = 0; i < listed; ++i) {
    const int top = kConflictTextTop + static_cast<int>(i) * pass.fontSize;
    QString text = frame.conflictTexts[i];
    if (i + 1 == listed && frame.conflictTexts.size() > listed)
      text += QStringLiteral("  (+%1)").arg(frame.conflictTexts.size() - listed);
    labelTexts_->Draw(pass.painter, kConflictTextLeft, top, text, colour::kConflict.rgb());
  }
}

void ScopePainter::DrawMeasuring(Pass& pass, const FrameMeasure& measure) {
  pass.painter.setPen(ThinPen(colour::kMeasuring, Qt::DashDotDotLine));
  pass.draw.Line(measure.line.anchor, measure.line.cursor);
  pass.painter.setPen(colour::kLabelText);
  DrawText(pass, measure.line.cursor.x() - 15, measure.line.cursor.y() - 15, measure.text);
}

void ScopePainter::DrawAwacs(Pass& pass) {
  if (pass.frame.awacsCoverage) {
    pass.painter.setPen(ThinPen(colour::kFriendlyAdvanced));
    pass.painter.setBrush(Qt::NoBrush);
    pass.draw.Circle(ToPoint(pass.frame.awacsCoverage->centre),
                     detail::SaturatedRadius(pass.frame.awacsCoverage->radius));
  }
  if (pass.frame.awacsLost) {
    pass.painter.setFont(awacsFont_);
    pass.painter.setPen(colour::kAwacsWarning);
    DrawText(pass, 70, pass.height - 100, QText(TextId::ScopeLostAwacs, Language::English));
    pass.painter.setFont(labelFont_);
  }
}

void ScopePainter::DrawFrame(Pass& pass) {
  QPainter& painter = pass.painter;
  const int w = pass.width, h = pass.height;
  const ScopeArtwork& art = *artwork_;
  auto piece = [&](FramePiece which, int x, int y) { painter.drawImage(QPoint(x, y), art.Frame(which)); };

  // Edges first, corners over them, so that narrow windows keep their
  // corners.
  const int edgeLength = FramePieceSize(FramePiece::TopEdge).width();
  piece(FramePiece::TopEdge, 64, 0);
  piece(FramePiece::TopEdge, w - 662, 0);
  // Wider windows than the pieces were made for: close the gap between the
  // two edge pieces.
  for (int x = 64 + edgeLength; x < w - 662; x += edgeLength) piece(FramePiece::TopEdge, x, 0);
  const int tileHeight = FramePieceSize(FramePiece::LeftEdge).height();
  const int tiles = (h - 120) / tileHeight;
  for (int k = 0; k < tiles; ++k) piece(FramePiece::LeftEdge, 0, 65 + tileHeight * k);
  piece(FramePiece::LeftEdge, 0, h - 378);
  for (int k = 0; k < tiles; ++k) piece(FramePiece::RightEdge, w - 42, 65 + tileHeight * k);
  piece(FramePiece::RightEdge, w - 42, h - 378);
  piece(FramePiece::BottomEdge, 65, h - 39);
  piece(FramePiece::BottomEdge, w - 662, h - 39);
  for (int x = 65 + edgeLength; x < w - 662; x += edgeLength) piece(FramePiece::BottomEdge, x, h - 39);
  piece(FramePiece::TopLeft, 0, 0);
  piece(FramePiece::TopRight, w - 58, 0);
  piece(FramePiece::BottomLeft, 0, h - 58);
  piece(FramePiece::BottomRight, w - 62, h - 58);
}

}  // namespace vantor::scope
