// Contacts on the scope: symbols of every kind in their pens at their
// projected points, radar sites with their rings and coverage, heading lines
// with speed extensions, history trails.
#include <gtest/gtest.h>

#include <cmath>

#include "ScopeTestSupport.h"

namespace vantor::scope::test {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kAdvancedFriendly(124, 187, 62);
const QColor kHostile(245, 0, 64);
const QColor kAltSymbol(90, 174, 235);
const QColor kCarrier(56, 15, 250);
const QColor kGreenDot(0, 255, 0);
const QColor kRedDot(255, 0, 0);
const QColor kHostileDotPen(249, 51, 40);

class ContactPaint : public ::testing::Test {
 protected:
  void SetUp() override { scene.options.rangeRingsShown = false; }

 public:
  PaintScene scene{800, 600};
};

// Edges of the closed 10 x 10 square around (x, y).
void ExpectSquare(const QImage& picture, QPoint at, const QColor& pen) {
  EXPECT_TRUE(IsColour(picture, at + QPoint(-5, 0), pen)) << "left edge";
  EXPECT_TRUE(IsColour(picture, at + QPoint(5, 0), pen)) << "right edge";
  EXPECT_TRUE(IsColour(picture, at + QPoint(0, 5), pen)) << "bottom edge";
  EXPECT_TRUE(IsColour(picture, at + QPoint(-5, -5), pen)) << "top-left corner";
  EXPECT_TRUE(IsColour(picture, at + QPoint(5, 5), pen)) << "bottom-right corner";
  EXPECT_TRUE(IsColour(picture, at, Qt::black)) << "hollow";
}

TEST_F(ContactPaint, SimpleModeSquaresInTheirColours) {
  scene.Report(QPoint(200, 200), {.id = 1, .name = "F-16C", .friendly = 1, .headingDeg = 90});
  scene.Report(QPoint(400, 200), {.id = 2, .name = "Su-27", .friendly = 0, .headingDeg = 90});
  scene.Report(QPoint(600, 200), {.id = 3, .name = "Frigate", .friendly = 1, .kind = 'C', .speed = 30});
  scene.Report(QPoint(200, 400), {.id = 4, .name = "Tanker", .friendly = 0, .kind = 'D', .speed = 400});
  const QImage picture = scene.Paint();
  ExpectSquare(picture, {200, 200}, kWhite);
  ExpectSquare(picture, {400, 200}, kHostile);
  ExpectSquare(picture, {600, 200}, kAltSymbol);  // always shown, no sensor needed
  ExpectSquare(picture, {200, 400}, kAltSymbol);
  EXPECT_EQ(scene.ContactsShown(), 4);
  // The screen points are written back for the tools.
  EXPECT_EQ(scene.Contact(2).screenX, 400);
  EXPECT_EQ(scene.Contact(2).screenY, 200);
}

TEST_F(ContactPaint, AdvancedModeOpenSquareAndChevron) {
  scene.settings.displayMode = 1;
  scene.Report(QPoint(200, 200), {.id = 1, .name = "F-16C", .friendly = 1});
  scene.Report(QPoint(400, 200), {.id = 2, .name = "Su-27", .friendly = 0});
  scene.Report(QPoint(600, 200), {.id = 3, .name = "Frigate", .friendly = 1, .kind = 'C', .speed = 30});
  const QImage picture = scene.Paint();
  // Open to the left.
  EXPECT_TRUE(IsColour(picture, 205, 200, kAdvancedFriendly));
  EXPECT_TRUE(IsColour(picture, 200, 195, kAdvancedFriendly));
  EXPECT_TRUE(IsColour(picture, 200, 205, kAdvancedFriendly));
  EXPECT_TRUE(IsColour(picture, 195, 200, Qt::black));
  // Chevron: apex above, feet below.
  EXPECT_TRUE(IsColour(picture, 400, 195, kHostile));
  EXPECT_TRUE(IsColour(picture, 395, 205, kHostile));
  EXPECT_TRUE(IsColour(picture, 405, 205, kHostile));
  EXPECT_TRUE(IsColour(picture, 400, 205, Qt::black));
  // The alternate symbol takes the shape, in its own pen.
  EXPECT_TRUE(IsColour(picture, 605, 200, kAltSymbol));
  EXPECT_TRUE(IsColour(picture, 595, 200, Qt::black));
  // No heading lines in advanced mode.
  EXPECT_TRUE(AllBlack(picture, QRect(200, 180, 1, 14)));
  // Airfield mode draws the simple shapes.
  scene.geometry.SetAirfieldMode(true);
  ExpectSquare(scene.Paint(), {200, 200}, kWhite);
}

TEST_F(ContactPaint, CarrierIsAHeavyHeadingLineOnly) {
  scene.Report(QPoint(300, 300),
               {.id = 9, .name = "Admiral Kuznetsov", .friendly = 1, .kind = 'C', .headingDeg = 90, .speed = 50});
  const QImage picture = scene.Paint();
  EXPECT_TRUE(IsColour(picture, 300, 300, kCarrier));  // from the point itself
  EXPECT_TRUE(IsColour(picture, 310, 300, kCarrier));
  EXPECT_TRUE(IsColour(picture, 310, 301, kCarrier));     // 4 pixels wide
  EXPECT_FALSE(IsColour(picture, 295, 300, kAltSymbol));  // no square
}

TEST_F(ContactPaint, RadarSitesDotsAndRings) {
  scene.Report(QPoint(200, 300), {.id = 1, .name = "HAWK SR", .friendly = 1, .kind = 'A', .speed = 0});
  scene.Report(QPoint(500, 300), {.id = 2, .name = "SA-11 BUK SR 9S18M1", .friendly = 0, .kind = 'A', .speed = 0});
  const QImage picture = scene.Paint();
  EXPECT_TRUE(IsColour(picture, 200, 300, kGreenDot));
  EXPECT_TRUE(IsColour(picture, 202, 298, kGreenDot));
  EXPECT_TRUE(ColourNear(picture, {205, 300}, kAdvancedFriendly));  // the dot's pen
  EXPECT_TRUE(ColourNear(picture, {215, 300}, kAltSymbol));
  EXPECT_TRUE(ColourNear(picture, {200, 285}, kAltSymbol));
  EXPECT_TRUE(IsColour(picture, 500, 300, kRedDot));
  EXPECT_TRUE(ColourNear(picture, {495, 300}, kHostileDotPen));
  EXPECT_TRUE(ColourNear(picture, {515, 300}, kAltSymbol));  // the ring while coverage is off
  // No label and no heading line even with labels on.
  scene.options.labelsShown = true;
  EXPECT_EQ(CountNearColour(scene.Paint(), QRect(120, 240, 80, 60), QColor(245, 255, 64), 30), 0);
}

TEST_F(ContactPaint, CoverageCirclesOfTheirRanges) {
  PaintScene wide(800, 600, 200);  // 4 pixels per km
  wide.options.rangeRingsShown = false;
  wide.options.coverageShown = true;
  wide.state.configBlock.awacsMode[0] = 0;
  wide.Report(QPoint(250, 300), {.id = 1, .name = "HAWK SR", .friendly = 1, .kind = 'A', .speed = 0});
  wide.Report(QPoint(550, 300), {.id = 2, .name = "KUB STR", .friendly = 0, .kind = 'A', .speed = 0});
  wide.Report(QPoint(400, 100), {.id = 3, .name = "ROLAND ADS", .friendly = 1, .kind = 'A', .speed = 0});
  const QImage picture = wide.Paint();
  // Friendly: detection range, 90 km -> 360 pixels (beyond the picture to
  // the left, inside it to the right).
  EXPECT_TRUE(ColourNear(picture, {250 + 360, 300}, kAltSymbol));
  EXPECT_FALSE(ColourNear(picture, {250 + 350, 300}, kAltSymbol, 3));
  // Hostile: weapon range, 24 km -> 96 pixels, in the hostile pen.
  EXPECT_TRUE(ColourNear(picture, {550 + 96, 300}, kHostile));
  EXPECT_TRUE(ColourNear(picture, {550, 300 - 96}, kHostile));
  EXPECT_FALSE(ColourNear(picture, {550 + 15, 300}, kAltSymbol, 1));  // no 15-pixel ring then
  // Fractional detection ranges truncate: 6.3 km -> 25 pixels.
  EXPECT_TRUE(ColourNear(picture, {400 + 25, 100}, kAltSymbol));
  EXPECT_FALSE(ColourNear(picture, {400 + 22, 100}, kAltSymbol, 1));
}

TEST_F(ContactPaint, SectorRadarDrawsAWedgeAboutItsHeading) {
  PaintScene wide(800, 800, 400);  // 2 pixels per km: 170 km -> 340 pixels
  wide.options.rangeRingsShown = false;
  wide.options.coverageShown = true;
  wide.state.configBlock.awacsMode[0] = 0;
  wide.Report(QPoint(400, 400), {.id = 1, .name = "PATRIOT STR", .friendly = 1, .kind = 'A', .speed = 0});
  ASSERT_EQ(wide.Contact(1).sectorDeg, 120);
  const QImage picture = wide.Paint();
  // Heading 0: from 30 to 150 degrees counter-clockwise from east, that is
  // bearings 300 through 0 to 60.
  EXPECT_TRUE(ColourNear(picture, {400, 60}, kAltSymbol));       // due north on the arc
  EXPECT_FALSE(ColourNear(picture, {400, 740}, kAltSymbol, 3));  // no arc due south
  EXPECT_FALSE(ColourNear(picture, {740, 400}, kAltSymbol, 3));  // nor due east
  // The sides at 30 and 150 degrees (the heading reads half a degree more).
  const double rad = 29.5 * 3.14159265 / 180.0;
  const int dx = static_cast<int>(std::lround(200 * std::cos(rad)));
  const int dy = static_cast<int>(std::lround(200 * std::sin(rad)));
  EXPECT_TRUE(ColourNear(picture, {400 + dx, 400 - dy}, kAltSymbol, 2));
  const double other = 149.5 * 3.14159265 / 180.0;
  EXPECT_TRUE(ColourNear(picture,
                         {400 + static_cast<int>(std::lround(200 * std::cos(other))),
                          400 - static_cast<int>(std::lround(200 * std::sin(other)))},
                         kAltSymbol, 2));

  // Turned to heading 90: the wedge looks east.
  wide.Report(QPoint(400, 400),
              {.id = 1, .name = "PATRIOT STR", .friendly = 1, .kind = 'A', .headingDeg = 90, .speed = 0});
  const QImage east = wide.Paint();
  EXPECT_TRUE(ColourNear(east, {740, 400}, kAltSymbol));
  EXPECT_FALSE(ColourNear(east, {400, 60}, kAltSymbol, 3));
}

TEST_F(ContactPaint, HugeCoverageAtTheSmallestRangeIsDrawnClipped) {
  PaintScene close(800, 600, 2);  // 400 pixels per km
  close.options.rangeRingsShown = false;
  close.options.coverageShown = true;
  close.state.configBlock.awacsMode[0] = 0;
  // A site 1.2 km west of the picture's edge with a 6.3 km circle, and a
  // Patriot wedge of 68,000 pixels.
  // The first circle (2520 pixels) holds the whole picture and draws
  // nothing; the wedge's sides rise through the picture from below it.
  close.Report(close.GeoAt(-480, 300), {.id = 1, .name = "ROLAND ADS", .friendly = 1, .kind = 'A', .speed = 0});
  close.Report(close.GeoAt(400, 640), {.id = 2, .name = "PATRIOT STR", .friendly = 1, .kind = 'A', .speed = 0});
  const QImage picture = close.Paint();
  EXPECT_GT(CountColour(picture, QRect(42, 42, 716, 519), kAltSymbol), 300);
  EXPECT_EQ(CountColour(picture, QRect(42, 42, 300, 250), kAltSymbol), 0);
}

struct HeadingCase {
  int degrees;
  QPoint end;  // from the contact's point, with no speed extension
};

TEST_F(ContactPaint, HeadingLinesForTheEightSectors) {
  const HeadingCase cases[] = {{0, {0, -15}},   {350, {0, -15}},   {45, {10, -10}}, {90, {15, 0}},     {135, {10, 10}},
                               {180, {0, 15}},  {225, {-10, 10}},  {270, {-15, 0}}, {315, {-10, -10}}, {21, {0, -15}},
                               {22, {10, -10}}, {336, {-10, -10}}, {337, {0, -15}}};
  for (const HeadingCase& c : cases) {
    PaintScene one(400, 400);
    one.options.rangeRingsShown = false;
    const QPoint at(200, 200);
    one.Report(at, {.id = 1, .name = "Su-27", .friendly = 0, .headingDeg = c.degrees, .speed = 300});
    const QImage picture = one.Paint();
    const QPoint start(c.end.x() == 0 ? 0 : (c.end.x() > 0 ? 5 : -5), c.end.y() == 0 ? 0 : (c.end.y() > 0 ? 5 : -5));
    const QPoint middle = at + (start + c.end) / 2;
    EXPECT_TRUE(IsColour(picture, middle, kHostile)) << c.degrees << " degrees";
    EXPECT_TRUE(IsColour(picture, at + c.end, kHostile)) << c.degrees << " degrees, end";
    EXPECT_FALSE(IsColour(picture, at + c.end + (c.end / 15 + c.end / 10), kHostile)) << c.degrees << " beyond";
  }
}

TEST_F(ContactPaint, SpeedExtendsTheHeadingLine) {
  const std::pair<double, int> cases[] = {{389.0, 0}, {390.0, 5}, {699.0, 5}, {700.0, 10}, {1200.0, 10}};
  for (const auto& [speed, extension] : cases) {
    PaintScene one(400, 400);
    one.options.rangeRingsShown = false;
    one.Report(QPoint(200, 200), {.id = 1, .name = "Su-27", .friendly = 0, .headingDeg = 90, .speed = speed});
    const QImage picture = one.Paint();
    EXPECT_TRUE(IsColour(picture, 200 + 15 + extension, 200, kHostile)) << speed;
    EXPECT_FALSE(IsColour(picture, 200 + 16 + extension, 200, kHostile)) << speed;
    // Diagonals grow on both axes.
    one.Report(QPoint(200, 200), {.id = 1, .name = "Su-27", .friendly = 0, .headingDeg = 135, .speed = speed});
    EXPECT_TRUE(IsColour(one.Paint(), 200 + 10 + extension, 200 + 10 + extension, kHostile)) << speed;
  }
}

TEST_F(ContactPaint, HistoryTrailsFadeWithAge) {
  // Reports 6 s apart moving east 40 pixels each; every refresh after the
  // spacing records its new position. A last report within the spacing
  // records nothing.
  for (int i = 0; i < 4; ++i) {
    if (i > 0) scene.Later();
    scene.Report(QPoint(200 + 40 * i, 300), {.id = 1, .name = "Su-27", .friendly = 0, .headingDeg = 90});
  }
  scene.Report(QPoint(360, 300), {.id = 1, .name = "Su-27", .friendly = 0, .headingDeg = 90});
  ASSERT_EQ(scene.Contact(1).history.Size(), 3u);
  QImage picture = scene.Paint();
  ExpectSquare(picture, {360, 300}, kHostile);  // the contact itself
  // Newest first: half-sizes 5, 4 and 3, shades 200, 170 and 130.
  EXPECT_TRUE(IsColour(picture, 320 - 5, 300, QColor(200, 200, 200)));
  EXPECT_TRUE(IsColour(picture, 280 - 4, 300, QColor(170, 170, 170)));
  EXPECT_TRUE(IsColour(picture, 280 + 4, 300 + 4, QColor(170, 170, 170)));
  EXPECT_TRUE(IsColour(picture, 240 - 3, 300, QColor(130, 130, 130)));
  EXPECT_TRUE(IsColour(picture, 240 - 4, 300, Qt::black));
  EXPECT_TRUE(AllBlack(picture, QRect(190, 290, 20, 20)));  // the first report left no point
  // Switched off, and never in airfield mode.
  scene.settings.showOldPositions = 0;
  EXPECT_EQ(CountColour(scene.Paint(), QRect(190, 290, 100, 20), QColor(200, 200, 200)), 0);
  scene.settings.showOldPositions = 1;
  scene.geometry.SetAirfieldMode(true);
  EXPECT_EQ(CountColour(scene.Paint(), QRect(190, 290, 100, 20), QColor(130, 130, 130)), 0);
}

TEST_F(ContactPaint, OnlyWhatTheCoalitionSees) {
  // No AWACS, no airfield radar: aircraft hide, ships and radar sites show.
  scene.state.configBlock.awacsLatitude[0] = 0.0;
  scene.Report(QPoint(200, 200), {.id = 1, .name = "F-16C", .friendly = 1});
  scene.Report(QPoint(400, 200), {.id = 2, .name = "Frigate", .friendly = 1, .kind = 'C', .speed = 20});
  scene.Report(QPoint(600, 200), {.id = 3, .name = "HAWK SR", .friendly = 0, .kind = 'A', .speed = 0});
  scene.Report(QPoint(200, 400), {.id = 4, .name = "Cargo", .friendly = 0, .kind = 'C', .speed = 20});
  QImage picture = scene.Paint();
  EXPECT_TRUE(AllBlack(picture, QRect(190, 190, 21, 21)));
  ExpectSquare(picture, {400, 200}, kAltSymbol);
  EXPECT_TRUE(IsColour(picture, 600, 200, kRedDot));
  EXPECT_TRUE(AllBlack(picture, QRect(190, 390, 21, 21)));  // a hostile ship needs a sensor
  EXPECT_EQ(scene.ContactsShown(), 2);
  // Every contact's screen point is written, seen or not.
  EXPECT_EQ(scene.Contact(1).screenX, 200);
}

}  // namespace
}  // namespace vantor::scope::test
