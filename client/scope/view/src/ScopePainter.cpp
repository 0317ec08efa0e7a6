#include "vantor/scope/ScopePainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <mutex>

#include "LabelCrowding.h"
#include "SafeDrawing.h"
#include "TextSprites.h"
#include "vantor/model/CRivakDoc.h"
#include "vantor/model/ClientSettings.h"
#include "vantor/model/ContactLabels.h"
#include "vantor/scope/DocumentSensors.h"
#include "vantor/scope/ScopeMapData.h"
#include "vantor/scope/SensorVisibility.h"
#include "vantor/texts/QText.h"

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
}  // namespace colour

constexpr int kCompassFontHeight = 14;
constexpr int kStatusFontHeight = 36;
constexpr int kAwacsFontHeight = 22;
constexpr int kDefaultFontSize = 12;
constexpr int kLargestFontSize = 96;
constexpr int kStatusTop = 200;
constexpr int kRingMargin = 50;
constexpr int kSymbolHalf = 5;
constexpr int kSiteRing = 15;
// How far from the picture a contact's symbol, heading line and label can
// still reach into it.
constexpr int kContactReach = 400;
// The picture plus a margin, so clipped pens end outside it.
constexpr int kClipMargin = 16;

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

// Integer point arithmetic that cannot overflow: far points saturate.
QPoint Combine(QPoint a, std::int64_t ka, QPoint b, std::int64_t kb) {
  auto clamp = [](std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, -(std::int64_t{1} << 30), std::int64_t{1} << 30));
  };
  return {clamp(ka * a.x() + kb * b.x()), clamp(ka * a.y() + kb * b.y())};
}

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

QString MeasureText(int rangeKm, double bearingDeg, bool nauticalUnits) {
  if (nauticalUnits)
    return QString::asprintf(Text(TextId::ScopeMeasureNm, Language::English), rangeKm * geo::kKmToNm, bearingDeg);
  return QString::asprintf(Text(TextId::ScopeMeasureKm, Language::English), rangeKm, bearingDeg);
}

QString LabelAltitudeText(double altitudeM, bool nauticalUnits) {
  return QString::asprintf("%03.0f", nauticalUnits ? altitudeM * 3.28 * 0.01 : altitudeM * 0.1);
}

QString LabelSpeedText(double speedKmh, bool nauticalUnits) {
  return QString::asprintf("%03.0f", nauticalUnits ? speedKmh * geo::kKmToNm * 0.1 : speedKmh * 0.1);
}

double AirfieldCodeOffsetFactor(unsigned rangeKm) {
  switch (rangeKm) {
    case 2:
    case 5:
    case 10:
    case 20:
    case 50:
    case 100:
      return 1.0;
    case 200:
      return 0.5;
    case 300:
      return 0.3;
    case 400:
      return 0.2;
    default:
      return 0.0;
  }
}

ApproachEnd ChooseApproachEnd(const model::CAirfield& runway, unsigned windDirectionDeg) {
  ApproachEnd result;
  const bool usual = runway.approachAtFirstEnd == 1;
  result.atFirstEnd = usual;
  if (windDirectionDeg == 0 || runway.menuId == kFirstAirfieldCommand) return result;
  const int heading = runway.runwayHeading;
  const int wind = static_cast<int>(windDirectionDeg);
  const int high = std::max(heading, wind);
  const int low = std::min(heading, wind);
  int difference = high < 270 ? high - low : low - high + 360;
  if (difference > 180) difference -= 180;
  const bool flip = difference < 90 || wind == heading;
  result.atFirstEnd = flip ? !usual : usual;
  result.flipped = flip;
  return result;
}

LabelPlacement PlaceLabel(int crowding, QPoint at, int fontSize, int referenceWidth) {
  const int x = at.x(), y = at.y(), f = fontSize, w0 = referenceWidth;
  switch (crowding) {
    case 1:
      return {{x - 5, y + 5}, {x - 20, y + 20}, {x - 10, y + 3 * f + 10}};
    case 2:
      return {{x + 5, y - 5}, {x + 15, y - 15}, {x + w0 + 10, y - 20}};
    case 3:
      return {{x + 5, y + 5}, {x + 15, y + 15}, {x + w0 + 10, y + 3 * f + 10}};
    case 4:
      return {{x - 5, y}, {x - 20, y}, {x - 20, y + 15}};
    case 5:
      return {{x + 5, y}, {x + 20, y}, {x + w0 + 20, y + 15}};
    default:
      return {{x - 5, y - 5}, {x - 15, y - 15}, {x - 10, y - 10}};
  }
}

// One paint pass's working set.
struct ScopePainter::Pass {
  QPainter& painter;
  detail::SafeDrawing draw;
  ScopeScene& scene;
  const ScopeProjection& projection;
  ContactPens pens;
  int width;
  int height;
  int pixelsPerKm;
  int side;
  int fontSize;
  bool nautical;
  bool advanced;
  bool airfieldMode;
};

ScopePainter::ScopePainter(std::shared_ptr<const ScopeArtwork> artwork)
    : artwork_(artwork ? std::move(artwork) : ScopeArtwork::Shared()),
      coastlineCache_(std::make_unique<CoastlineScreenCache>()),
      compassFont_(ScopeFont(kCompassFontHeight)),
      statusFont_(ScopeFont(kStatusFontHeight)),
      awacsFont_(ScopeFont(kAwacsFontHeight)),
      labelTexts_(std::make_unique<detail::TextSprites>()),
      crowding_(std::make_unique<detail::LabelCrowding>()) {}

ScopePainter::~ScopePainter() = default;

void ScopePainter::Paint(QImage& image, ScopeScene& scene) {
  image.fill(Qt::black);
  int fontSize = scene.settings.fontSize;
  // A stored size without digits reads as 0; absurd sizes would swamp the
  // picture.
  if (fontSize <= 0) fontSize = kDefaultFontSize;
  fontSize = std::min(fontSize, kLargestFontSize);
  if (fontSize != fontSize_) {
    fontSize_ = fontSize;
    labelFont_ = ScopeFont(fontSize);
    labelTexts_->SetFont(labelFont_);
    labelReferenceWidth_ = labelTexts_->Width(QStringLiteral("9999WW9999"));
  }

  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  // Texts stand on opaque black boxes.
  painter.setBackgroundMode(Qt::OpaqueMode);
  painter.setBackground(Qt::black);
  painter.setBrush(Qt::NoBrush);
  const QRect picture = image.rect();
  Pass pass{painter,
            detail::SafeDrawing(painter, picture.adjusted(-kClipMargin, -kClipMargin, kClipMargin, kClipMargin)),
            scene,
            scene.geometry.projection(),
            ContactPens{},
            picture.width(),
            picture.height(),
            scene.geometry.pixelsPerKm(),
            scene.document.state().sideIndex(),
            fontSize,
            scene.settings.imperial != 0,
            scene.settings.displayMode != 0,
            scene.geometry.airfieldMode()};

  if (scene.status.radarOutOfOrder) {
    PaintOutOfOrder(pass);
  } else {
    if (scene.options.coastlineShown) DrawCoastline(pass);
    DrawUserDrawing(pass);
    if (pass.airfieldMode) DrawAirfieldOutlines(pass);
    DrawMarkers(pass);
    painter.setFont(labelFont_);
    if (scene.options.rangeRingsShown) DrawRangeRings(pass);
    DrawAirfields(pass);
    DrawContacts(pass);
    if (scene.measure) DrawMeasuring(pass);
    DrawAwacs(pass);
  }
  DrawFrame(pass);
  painter.end();
  labelTexts_->EndPaint();
  scene.geometry.PaintFinished();
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

void ScopePainter::RebuildCoastlineIfStale(Pass& pass) {
  const ScopeProjection& projection = pass.projection;
  const bool projectionChanged = !coastlineScreen_ || *coastlineScreen_ != projection.screen() ||
                                 coastlineCentre_ != projection.centre() ||
                                 coastlinePixelsPerKm_ != projection.pixelsPerKm();
  if (pass.scene.geometry.CoastlineCacheStale() || projectionChanged) {
    coastlineCache_->Rebuild(pass.scene.map.coastline, projection);
    coastlineScreen_ = projection.screen();
    coastlineCentre_ = projection.centre();
    coastlinePixelsPerKm_ = projection.pixelsPerKm();
    ++coastlineProjections_;
  }
  pass.scene.geometry.CoastlineCacheRebuilt();
}

void ScopePainter::DrawCoastline(Pass& pass) {
  RebuildCoastlineIfStale(pass);
  const int grey = std::clamp(pass.scene.options.coastlineIntensity, 0, 255);
  pass.painter.setPen(ThinPen(QColor(grey, grey, grey)));
  coastlineCache_->ForEachPolyline([&pass](const ScreenPoint* points, std::size_t count) {
    for (std::size_t i = 1; i < count; ++i) pass.draw.AddSegment(ToPoint(points[i - 1]), ToPoint(points[i]));
  });
  pass.draw.FlushSegments();
}

namespace {

// Joins the points of a list whose (0, 0) entries separate strokes.
void DrawStrokes(detail::SafeDrawing& draw, const ScopeProjection& projection,
                 const std::vector<geo::GeoPoint>& points) {
  std::optional<QPoint> previous;
  for (const geo::GeoPoint& point : points) {
    if (point.IsSeparator()) {
      previous.reset();
      continue;
    }
    const QPoint at = ToPoint(projection.GeoToScreen(point));
    if (previous) draw.AddSegment(*previous, at);
    previous = at;
  }
  draw.FlushSegments();
}

}  // namespace

void ScopePainter::DrawUserDrawing(Pass& pass) {
  pass.painter.setPen(ThinPen(colour::kDrawing));
  DrawStrokes(pass.draw, pass.projection, pass.scene.map.drawing.points());
}

void ScopePainter::DrawAirfieldOutlines(Pass& pass) {
  pass.painter.setPen(pass.scene.geometry.rangeKm() <= 10 ? WidePen(colour::kOutline, 2) : ThinPen(colour::kOutline));
  DrawStrokes(pass.draw, pass.projection, pass.scene.map.airfieldOutlines);
}

void ScopePainter::DrawMarkers(Pass& pass) {
  for (const geo::GeoPoint& marker : pass.scene.markers) {
    const QPoint at = ToPoint(pass.projection.GeoToScreen(marker));
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
  if (pass.scene.settings.showRose != 0) {
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

void ScopePainter::DrawAirfields(Pass& pass) {
  for (model::CAirfield& runway : pass.scene.document.Airfields()) DrawAirfield(pass, runway);
}

void ScopePainter::DrawAirfield(Pass& pass, model::CAirfield& runway) {
  const QPoint end1 = ToPoint(pass.projection.GeoToScreen(runway.end1Latitude, runway.end1Longitude));
  if (end1.x() == 0 || end1.y() == 0) return;
  const QPoint end2 = ToPoint(pass.projection.GeoToScreen(runway.end2Latitude, runway.end2Longitude));
  if (end2.x() != 0 && end2.y() != 0) {
    pass.painter.setPen(WidePen(colour::kRunway, pass.scene.geometry.rangeKm() == 2 ? 8 : 4));
    pass.draw.Line(end1, end2);

    const double factor = AirfieldCodeOffsetFactor(pass.scene.geometry.rangeKm());
    if (pass.draw.NearPicture(end1, kContactReach))
      labelTexts_->Draw(pass.painter, end1.x() + static_cast<int>(runway.labelDx * factor),
                        end1.y() + static_cast<int>(runway.labelDy * factor), runway.code, colour::kAirfieldCode.rgb());

    if (pass.airfieldMode && runway.primary == 1) DrawApproachAids(pass, runway, end1, end2);
  }
  DrawAirfieldRadarCircle(pass, runway);
}

void ScopePainter::DrawApproachAids(Pass& pass, model::CAirfield& runway, QPoint end1, QPoint end2) {
  const ApproachEnd approach = ChooseApproachEnd(runway, pass.scene.options.windDirectionDeg);
  if (approach.flipped) runway.activeEndFlipped = *approach.flipped ? 1 : 0;
  const QPoint a = approach.atFirstEnd ? end1 : end2;
  const QPoint z = approach.atFirstEnd ? end2 : end1;

  if (runway.menuId == pass.scene.geometry.centringCommand()) {
    // Rebuilt at every paint, so it always matches the picture the approach
    // view compares contacts with.
    const QPoint along = Combine(z, 1, a, -1);
    const QPoint across(along.y(), -along.x());
    const QPoint p1 = Combine(a, 1, across, 8);
    const QPoint p2 = Combine(a, 1, across, -8);
    const QPoint p3 = Combine(p2, 1, along, 8);
    const QPoint p4 = Combine(p1, 1, along, 8);
    approachRegion_ = QPolygon({p1, p2, p3, p4});
  }

  pass.painter.setPen(ThinPen(colour::kCentreline, Qt::DashDotDotLine));
  if (approach.atFirstEnd)
    pass.draw.Line(end1, Combine(end1, 8, end2, -7));  // seven runway lengths beyond end 1
  else
    pass.draw.Line(end2, Combine(end2, 7, end1, -6));  // six beyond end 2
}

void ScopePainter::DrawAirfieldRadarCircle(Pass& pass, const model::CAirfield& runway) {
  if (runway.menuId == 0 || !pass.scene.options.coverageShown) return;
  const int index = runway.menuId - kFirstAirfieldCommand;
  if (index < 0 || index >= protocol::kAirfieldCount) return;
  const protocol::ConfigBlock& config = pass.scene.document.state().configBlock;
  const auto s = static_cast<std::size_t>(pass.side);
  const auto i = static_cast<std::size_t>(index);
  if (config.airfieldRadarOn[s][i] == 0) return;
  double latitude = runway.refLatitude, longitude = runway.refLongitude;
  if (runway.menuId == kCarrierCommand) {
    latitude = 0.0;
    longitude = 0.0;
    pass.scene.document.FindCarrierPosition(latitude, longitude);
    if (latitude == 0.0 || longitude == 0.0) return;
  }
  pass.painter.setPen(ThinPen(colour::kAltSymbol));
  pass.painter.setBrush(Qt::NoBrush);
  pass.draw.Circle(ToPoint(pass.projection.GeoToScreen(latitude, longitude)),
                   detail::SaturatedRadius(std::int64_t{pass.pixelsPerKm} * config.airfieldRadarRangeKm[s][i]));
}

void ScopePainter::DrawContacts(Pass& pass) {
  model::CRivakDoc& document = pass.scene.document;
  std::lock_guard lock(document.contactLock());
  const SensorVisibility visibility(pass.scene.map.terrain(), pass.projection, CollectSensors(document, pass.side));
  crowding_->Clear();
  contactsShown_ = 0;
  for (model::CContact& contact : document.Contacts()) {
    const ScreenPoint at = pass.projection.GeoToScreen(contact.latitude, contact.longitude);
    contact.screenX = at.x;
    contact.screenY = at.y;
    if (visibility.IsContactVisible(contact)) {
      ++contactsShown_;
      DrawContact(pass, contact, ToPoint(at));
    }
    // Labels further down the table make room for this one.
    if (contact.radarSite == 0) crowding_->Add(at.x, at.y);
  }
}

void ScopePainter::DrawContact(Pass& pass, const model::CContact& contact, QPoint at) {
  QPainter& painter = pass.painter;
  const bool near = pass.draw.NearPicture(at, kContactReach);
  if (contact.carrier != 0) {
    painter.setPen(pass.pens.carrier);
  } else if (contact.radarSite != 0) {
    DrawRadarSite(pass, contact, at);
  } else {
    const QPen* pen = contact.friendly != 0 ? &pass.pens.friendlySimple : &pass.pens.hostileSymbol;
    if (contact.altSymbol != 0)
      pen = &pass.pens.altSymbol;
    else if (contact.friendly != 0 && pass.advanced && !pass.airfieldMode)
      pen = &pass.pens.friendlyAdvanced;
    painter.setPen(*pen);
    if (near) DrawSymbolShape(pass, contact.friendly != 0, at, kSymbolHalf);
  }

  const bool plain = contact.radarSite == 0 && contact.altSymbol == 0;
  if (near && (contact.carrier != 0 || (plain && (!pass.advanced || pass.airfieldMode))))
    DrawHeadingLine(pass, contact, at);
  if (!pass.airfieldMode && pass.scene.settings.showOldPositions != 0 && plain) DrawHistory(pass, contact);
  if (near && pass.scene.options.labelsShown && contact.radarSite == 0) DrawContactLabel(pass, contact, at);
}

void ScopePainter::DrawRadarSite(Pass& pass, const model::CContact& contact, QPoint at) {
  QPainter& painter = pass.painter;
  const bool near = pass.draw.NearPicture(at, kSiteRing + 1);
  const bool friendly = contact.friendly != 0;
  if (near) {
    painter.setPen(friendly ? pass.pens.friendlyAdvanced : pass.pens.hostileDot);
    painter.setBrush(friendly ? colour::kFriendlyBrush : colour::kHostileBrush);
    painter.drawEllipse(at, kSymbolHalf, kSymbolHalf);
    painter.setBrush(Qt::NoBrush);
  }
  const bool coverage = pass.scene.options.coverageShown;
  if (friendly) {
    painter.setPen(pass.pens.altSymbol);
    if (near) painter.drawEllipse(at, kSiteRing, kSiteRing);
    if (coverage && contact.radarDataSet != 0)
      DrawCoverage(pass, contact, at,
                   detail::SaturatedRadius(static_cast<std::int64_t>(pass.pixelsPerKm * contact.detectionRangeKm)));
  } else if (coverage) {
    painter.setPen(pass.pens.hostileSymbol);
    DrawCoverage(pass, contact, at, detail::SaturatedRadius(std::int64_t{pass.pixelsPerKm} * contact.weaponRangeKm));
  } else {
    painter.setPen(pass.pens.altSymbol);
    if (near) painter.drawEllipse(at, kSiteRing, kSiteRing);
  }
}

void ScopePainter::DrawCoverage(Pass& pass, const model::CContact& contact, QPoint at, int radius) {
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

void ScopePainter::DrawHeadingLine(Pass& pass, const model::CContact& contact, QPoint at) {
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
  if (contact.carrier != 0) start = at;
  pass.draw.Line(start, end);
}

void ScopePainter::DrawHistory(Pass& pass, const model::CContact& contact) {
  for (std::size_t i = 0; i < contact.history.size(); ++i) {
    const QPoint at = ToPoint(pass.projection.GeoToScreen(contact.history[i].latitude, contact.history[i].longitude));
    if (!pass.draw.NearPicture(at, kSymbolHalf + 1)) continue;
    pass.painter.setPen(pass.pens.history[std::min<std::size_t>(i, 2)]);
    DrawSymbolShape(pass, contact.friendly != 0, at, kSymbolHalf - static_cast<int>(i));
  }
}

void ScopePainter::DrawContactLabel(Pass& pass, const model::CContact& contact, QPoint at) {
  if (contact.altSymbol != 0) return;
  model::CRivakDoc& document = pass.scene.document;
  const int f = pass.fontSize;
  // As CountContactsNear(contact.id, at) counts, without walking the table.
  const int crowding = crowding_->Count(at.x(), at.y());
  const LabelPlacement place = PlaceLabel(crowding, at, f, labelReferenceWidth_);
  const int ax = place.anchor.x(), ay = place.anchor.y();
  QPainter& painter = pass.painter;
  const QPen& labelPen = pass.pens.label;

  // First line: callsign, or the name (friendly) or part of the id (hostile).
  QString first;
  const bool hasCallsign = document.LookupCallsign(contact.id, first);
  if (contact.friendly != 0) {
    if (!hasCallsign) first = model::FriendlyLabelName(contact.name, pass.scene.settings.invertCallsign != 0);
    first.remove(QLatin1Char('(')).remove(QLatin1Char(')'));
  } else if (!hasCallsign) {
    first = model::HostileIdLabel(contact.id);
  }
  detail::TextSprites& texts = *labelTexts_;
  const QRgb textColour = colour::kLabelText.rgb();
  const int firstLeft = ax - texts.Width(first) - 10;
  texts.Draw(painter, firstLeft, ay - 2 * f, first, textColour);
  if (contact.friendly == 0 && contact.carrier == 0) {
    painter.setPen(labelPen);
    const int underline = ay - 2 * f + f - 1;
    pass.draw.Line({firstLeft, underline}, {ax - 10, underline});
  }

  // Second line: altitude, trend arrow, speed.
  const QString altitude = LabelAltitudeText(contact.altitude, pass.nautical);
  const QString speed = pass.scene.settings.hideSpeed != 0 ? QString() : LabelSpeedText(contact.speed, pass.nautical);
  // The line is measured as if "WW" stood between the two values.
  const QString whole = altitude + QStringLiteral("WW") + speed;
  const int x2 = ax - texts.Width(whole) - 10;
  const int top2 = ay - f;
  texts.Draw(painter, x2, top2, altitude, textColour);
  const double climb = contact.altitude - contact.previousAltitude;
  const TrendArrow trend = climb > 20.0 ? TrendArrow::Climb : (climb < -20.0 ? TrendArrow::Descend : TrendArrow::Level);
  const QImage& arrow = artwork_->arrow(trend, f);
  const QPoint arrowAt(static_cast<int>(x2 + 1.8 * f), top2);
  if (arrow.width() == f)
    painter.drawImage(arrowAt, arrow);
  else
    painter.drawImage(QRect(arrowAt, QSize(f, f)), arrow);
  texts.Draw(painter, x2 + 3 * f, top2, speed, textColour);

  painter.setPen(labelPen);
  pass.draw.Line(place.leaderStart, place.leaderEnd);
}

void ScopePainter::DrawMeasuring(Pass& pass) {
  const MeasureLine& line = *pass.scene.measure;
  pass.painter.setPen(ThinPen(colour::kMeasuring, Qt::DashDotDotLine));
  pass.draw.Line(line.anchor, line.cursor);
  const ScopeScreen& screen = pass.projection.screen();
  const int range = geo::ScopeRangeKm(line.anchor.x(), line.anchor.y(), line.cursor.x(), line.cursor.y(),
                                      pass.pixelsPerKm, screen.centreX, screen.centreY);
  const double bearing = geo::ScopeBearing(line.anchor.x(), line.anchor.y(), line.cursor.x(), line.cursor.y());
  pass.painter.setPen(colour::kLabelText);
  DrawText(pass, line.cursor.x() - 15, line.cursor.y() - 15, MeasureText(range, bearing, pass.nautical));
}

void ScopePainter::DrawAwacs(Pass& pass) {
  const protocol::ConfigBlock& config = pass.scene.document.state().configBlock;
  const model::AwacsSlot slot = model::GetAwacsSlot(config, pass.side);
  if (slot.mode != 0 && pass.scene.options.coverageShown) {
    pass.painter.setPen(ThinPen(colour::kFriendlyAdvanced));
    pass.painter.setBrush(Qt::NoBrush);
    pass.draw.Circle(ToPoint(pass.projection.GeoToScreen(slot.latitude, slot.longitude)),
                     detail::SaturatedRadius(std::int64_t{pass.pixelsPerKm} * config.awacsRangeKm));
  }
  if (pass.scene.status.awacsLost) {
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
  auto piece = [&](FramePiece which, int x, int y) { painter.drawImage(QPoint(x, y), art.frame(which)); };

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
