// Contact labels: placement by crowding, the texts of friendly and hostile
// contacts, the hostile underline, units, trend arrows.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>

#include <cstdlib>
#include <random>

#include "ScopeTestSupport.h"
#include "vantor/scope/ScopeArtwork.h"

namespace vantor::scope::test {
namespace {

const QColor kLabelText(245, 255, 64);
const QColor kLabelLine(51, 249, 40);
constexpr int kF = 12;  // the label font height F

// The label as the scope lays it out, from the same font.
struct Layout {
  explicit Layout(int fontSize = kF) : font(ScopeFont(fontSize)), metrics(font), f(fontSize) {}
  int Width(const QString& text) const { return metrics.horizontalAdvance(text); }
  int ReferenceWidth() const { return Width("9999WW9999"); }
  // The first line's box, right-aligned to the anchor less 10.
  QRect FirstLine(const LabelPlacement& place, const QString& text) const {
    return QRect(place.anchor.x() - Width(text) - 10, place.anchor.y() - 2 * f, Width(text), metrics.height());
  }
  // The text as drawn on its black box.
  QImage Render(const QString& text) const {
    QImage image(Width(text), metrics.height(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(kLabelText);
    painter.drawText(0, metrics.ascent(), text);
    return image;
  }
  QFont font;
  QFontMetrics metrics;
  int f;
};

class LabelPaint : public ::testing::Test {
 protected:
  void SetUp() override {
    scene.options.rangeRingsShown = false;
    scene.options.labelsShown = true;
  }
  LabelPlacement Placement(int crowding, QPoint at) const {
    return PlaceLabel(crowding, at, kF, layout.ReferenceWidth());
  }
  // The picture shows exactly this text at this box.
  void ExpectText(const QImage& picture, const QRect& box, const QString& text) const {
    const QImage expected = layout.Render(text).copy(0, 0, box.width(), box.height());
    if (picture.copy(box) != expected && std::getenv("VANTOR_SCOPE_TEST_DUMP")) {
      picture.copy(box).save(QString("%1/got-%2.png").arg(std::getenv("VANTOR_SCOPE_TEST_DUMP"), text));
      expected.save(QString("%1/want-%2.png").arg(std::getenv("VANTOR_SCOPE_TEST_DUMP"), text));
    }
    EXPECT_EQ(picture.copy(box), expected) << "text \"" << text.toStdString() << "\" at " << box.x() << "," << box.y();
  }

 public:
  PaintScene scene{800, 600};
  Layout layout;
};

TEST_F(LabelPaint, HostileIdLabelWithItsUnderline) {
  const QPoint at(300, 300);
  scene.Report(at, {.id = 16777217, .name = "Su-27", .friendly = 0, .altitude = 3000, .speed = 300});
  const QImage picture = scene.Paint();
  const LabelPlacement place = Placement(0, at);
  const QRect first = layout.FirstLine(place, "7217");
  // The underline covers the text's last row, from its left end to ax - 10.
  const int underline = place.anchor.y() - 2 * kF + kF - 1;
  for (int x = first.left(); x <= place.anchor.x() - 10; ++x)
    EXPECT_TRUE(IsColour(picture, x, underline, kLabelLine)) << x;
  ExpectText(picture, first.adjusted(0, 0, 0, -(first.bottom() - underline + 1)),
             QString("7217"));  // above the underline the text is intact
  // The leader line from the symbol's corner.
  EXPECT_TRUE(IsColour(picture, place.leaderEnd, kLabelLine));
  EXPECT_TRUE(IsColour(picture, (place.leaderStart + place.leaderEnd) / 2, kLabelLine));
}

TEST_F(LabelPaint, FriendlyNameOrCallsign) {
  const QPoint at(300, 300);
  scene.Report(at, {.id = 5, .name = "F-16C (Viper 1-1)", .friendly = 1});
  const LabelPlacement place = Placement(0, at);
  QImage picture = scene.Paint();
  // The first ten characters without parentheses; no underline.
  ExpectText(picture, layout.FirstLine(place, "F-16C Vip"), "F-16C Vip");
  EXPECT_FALSE(IsColour(picture, place.anchor.x() - 11, place.anchor.y() - kF - 1, kLabelLine));
  // Or the ten after the first "(".
  scene.settings.invertCallsign = 1;
  picture = scene.Paint();
  ExpectText(picture, layout.FirstLine(place, "Viper 1-1"), "Viper 1-1");
  // A callsign replaces either.
  scene.document.AssignCallsign("KOD", 5);
  picture = scene.Paint();
  ExpectText(picture, layout.FirstLine(place, "KOD1"), "KOD1");
}

TEST_F(LabelPaint, ShortHostileIdsAndCallsigns) {
  scene.Report(QPoint(300, 300), {.id = 123, .name = "Su-27", .friendly = 0});
  QImage picture = scene.Paint();
  const LabelPlacement place = Placement(0, {300, 300});
  const int underline = place.anchor.y() - kF - 1;
  // No text, and an underline of no length.
  EXPECT_FALSE(IsColour(picture, place.anchor.x() - 11, underline, kLabelLine));
  EXPECT_TRUE(IsColour(picture, place.leaderEnd, kLabelLine));
  scene.document.AssignCallsign("PAP", 123);
  picture = scene.Paint();
  EXPECT_TRUE(IsColour(picture, place.anchor.x() - 11, underline, kLabelLine));
  // The hostile carrier is not underlined.
  scene.Report(QPoint(500, 300), {.id = 77, .name = "Admiral Kuznetsov", .friendly = 0, .kind = 'B', .speed = 150});
  picture = scene.Paint();
  const LabelPlacement carrier = Placement(0, {500, 300});
  EXPECT_FALSE(IsColour(picture, carrier.anchor.x() - 11, carrier.anchor.y() - kF - 1, kLabelLine));
}

TEST_F(LabelPaint, SecondLineInBothUnitSystems) {
  EXPECT_EQ(LabelAltitudeText(3000, false), "300");
  EXPECT_EQ(LabelSpeedText(900, false), "090");
  EXPECT_EQ(LabelAltitudeText(3000, true), "098");  // hundreds of feet, rounded
  EXPECT_EQ(LabelSpeedText(900, true), "049");      // tens of knots
  EXPECT_EQ(LabelAltitudeText(44, false), "004");
  EXPECT_EQ(LabelAltitudeText(12000, false), "1200");

  const QPoint at(300, 300);
  scene.Report(at, {.id = 16777217, .name = "Su-27", .friendly = 0, .altitude = 3000, .speed = 900});
  const LabelPlacement place = Placement(0, at);
  const int top = place.anchor.y() - kF;
  auto check = [&](const QString& altitude, const QString& speed) {
    const QImage picture = scene.Paint();
    const int x2 = place.anchor.x() - layout.Width(altitude + "WW" + speed) - 10;
    ExpectText(picture, QRect(x2, top, layout.Width(altitude), layout.metrics.height()), altitude);
    if (!speed.isEmpty())
      ExpectText(picture, QRect(x2 + 3 * kF, top, layout.Width(speed), layout.metrics.height()), speed);
    // The level arrow between them, 12 x 12 at 1.8 font heights.
    const QImage& arrow = ScopeArtwork::Shared()->Arrow(TrendArrow::Level, kF);
    EXPECT_EQ(picture.copy(static_cast<int>(x2 + 1.8 * kF), top, kF, kF), arrow);
  };
  check("300", "090");
  scene.settings.imperial = 1;
  check("098", "049");
  scene.settings.hideSpeed = 1;
  check("098", "");
}

TEST_F(LabelPaint, TrendArrowsFollowTheAltitude) {
  const QPoint at(300, 300);
  auto arrowAt = [&](double altitude) {
    scene.Report(at, {.id = 16777217, .name = "Su-27", .friendly = 0, .altitude = altitude, .speed = 900});
    const QImage picture = scene.Paint();
    const LabelPlacement place = Placement(0, at);
    const QString altitudeText = LabelAltitudeText(altitude, false);
    const int x2 = place.anchor.x() - layout.Width(altitudeText + "WW090") - 10;
    return picture.copy(static_cast<int>(x2 + 1.8 * kF), place.anchor.y() - kF, kF, kF);
  };
  const ScopeArtwork& art = *ScopeArtwork::Shared();
  arrowAt(3000);
  EXPECT_EQ(arrowAt(3021), art.Arrow(TrendArrow::Climb, kF));
  EXPECT_EQ(arrowAt(3041), art.Arrow(TrendArrow::Level, kF));  // +20 is level
  EXPECT_EQ(arrowAt(3000), art.Arrow(TrendArrow::Descend, kF));
}

TEST_F(LabelPaint, LargerFontsUseTheLargeArrowsScaled) {
  scene.settings.fontSize = 16;
  const Layout big(16);
  const QPoint at(300, 300);
  scene.Report(at, {.id = 16777217, .name = "Su-27", .friendly = 0, .altitude = 3000, .speed = 900});
  const QImage picture = scene.Paint();
  const LabelPlacement place = PlaceLabel(0, at, 16, big.ReferenceWidth());
  const int x2 = place.anchor.x() - big.Width("300WW090") - 10;
  const QImage arrow = picture.copy(static_cast<int>(x2 + 1.8 * 16), place.anchor.y() - 16, 16, 16);
  EXPECT_EQ(arrow, ScopeArtwork::Shared()->Arrow(TrendArrow::Level, 16).scaled(16, 16));
  // A stored size without digits (0) falls back to 12.
  scene.settings.fontSize = 0;
  const QImage fallback = scene.Paint();
  const LabelPlacement small = Placement(0, at);
  ExpectText(fallback, layout.FirstLine(small, "7217").adjusted(0, 0, 0, -1), "7217");
}

TEST_F(LabelPaint, StackedContactsTakeTheFivePlacementsInTableOrder) {
  const QPoint at(400, 300);
  for (int i = 0; i < 7; ++i)
    scene.Report(at, {.id = 16777217 + i, .name = "Su-27", .friendly = 0, .altitude = 3000, .speed = 300});
  const QImage picture = scene.Paint();
  // The first has no contact before it (default), then 1 ... 5, then the
  // default again for the seventh.
  for (int crowding = 0; crowding <= 5; ++crowding) {
    const LabelPlacement place = Placement(crowding, at);
    EXPECT_TRUE(IsColour(picture, place.leaderEnd, kLabelLine)) << "placement " << crowding;
  }
  // Each placement's first line, right-aligned to its anchor.
  const LabelPlacement third = Placement(3, at);
  ExpectText(picture, layout.FirstLine(third, "7220").adjusted(0, 0, 0, -1), "7220");
  const LabelPlacement fifth = Placement(5, at);
  ExpectText(picture, layout.FirstLine(fifth, "7222").adjusted(0, 0, 0, -1), "7222");
}

TEST_F(LabelPaint, OnlyWhileLabelsAreShownAndNeverForShips) {
  scene.Report(QPoint(300, 300), {.id = 1, .name = "Frigate", .friendly = 1, .kind = 'C', .speed = 20});
  scene.Report(QPoint(500, 300), {.id = 16777217, .name = "Su-27", .friendly = 0});
  QImage picture = scene.Paint();
  EXPECT_EQ(CountNearColour(picture, QRect(230, 250, 70, 50), kLabelText, 30), 0);
  EXPECT_GT(CountNearColour(picture, QRect(430, 250, 70, 50), kLabelText, 30), 20);
  scene.options.labelsShown = false;
  picture = scene.Paint();
  EXPECT_EQ(CountNearColour(picture, QRect(430, 250, 70, 50), kLabelText, 30), 0);
}

}  // namespace
}  // namespace vantor::scope::test
