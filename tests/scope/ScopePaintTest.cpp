// The scope's background layers and status displays: range rings, compass,
// frame, coastline with its screen cache, drawing, markers, measuring line,
// "Radar out of order", the AWACS circle and warning, runways and their
// approach aids.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>

#include "ScopeTestSupport.h"
#include "vantor/geo/Geodesy.h"
#include "vantor/scope/ScopeArtwork.h"

namespace vantor::scope::test {
namespace {

const QColor kRing(170, 170, 170);
const QColor kDrawing(233, 233, 160);
const QColor kMarker(0, 255, 0);
const QColor kMeasuring(200, 255, 200);
const QColor kLabelText(245, 255, 64);
const QColor kAwacs(124, 187, 62);
const QColor kRunway(233, 233, 233);
const QColor kCentreline(200, 100, 100);
const QColor kAirfieldRadar(90, 174, 235);
const QColor kWhite(255, 255, 255);

// The five rings of a wide window: a centred square box 50 pixels in from
// the top and bottom, inset by a tenth of its height for each smaller ring.
TEST(RangeRings, FiveRingsAtFixedFractionsOfTheWindow) {
  PaintScene scene(800, 600);
  const QImage picture = scene.Paint();
  // Box (150, 50)-(650, 550), inset 50 per ring; the centre is (399.5, 299.5).
  for (int ring = 0; ring < 5; ++ring) {
    const int inset = 50 * ring;
    EXPECT_TRUE(ColourNear(picture, {400, 50 + inset}, kRing)) << "top of ring " << ring;
    EXPECT_TRUE(ColourNear(picture, {399, 549 - inset}, kRing)) << "bottom of ring " << ring;
    EXPECT_TRUE(ColourNear(picture, {150 + inset, 300}, kRing)) << "left of ring " << ring;
    EXPECT_TRUE(ColourNear(picture, {649 - inset, 299}, kRing)) << "right of ring " << ring;
  }
  // Nothing between the rings, nothing inside the smallest.
  EXPECT_TRUE(AllBlack(picture, QRect(395, 75, 10, 20)));
  EXPECT_TRUE(AllBlack(picture, QRect(380, 280, 40, 40)));
  // The radii are 100, 80, 60, 40 and 20 per cent of the outer one: the
  // steps do not depend on the range.
  scene.geometry.SetRangeKm(100);
  EXPECT_EQ(scene.Paint(), picture);
}

TEST(RangeRings, TallWindowAndSwitchedOff) {
  PaintScene scene(600, 800);
  QImage picture = scene.Paint();
  // Box (50, 50)-(550, 750): d = 70.
  EXPECT_TRUE(ColourNear(picture, {300, 50}, kRing));
  EXPECT_TRUE(ColourNear(picture, {300, 120}, kRing));
  EXPECT_TRUE(ColourNear(picture, {50, 400}, kRing));
  // The innermost boxes turn inside out across a narrow window: drawn as
  // the rectangles they span (270 ... 330 for the innermost).
  EXPECT_TRUE(ColourNear(picture, {330, 400}, kRing, 2));
  EXPECT_TRUE(ColourNear(picture, {270, 400}, kRing, 2));
  scene.options.rangeRingsShown = false;
  picture = scene.Paint();
  EXPECT_EQ(CountColour(picture, picture.rect(), kRing), 0);
}

TEST(RangeRings, CompassLabelsOnlyWithTheRose) {
  PaintScene scene(800, 600);
  const QColor compass(127, 127, 10);
  // "360" sits above the rings' inner box: ring box top 50 + 600 / 11 - 5.
  const QRect north(390, 50 + 54 - 5, 30, 16);
  EXPECT_EQ(CountNearColour(scene.Paint(), north, compass, 40), 0);
  scene.settings.showRose = 1;
  EXPECT_GT(CountNearColour(scene.Paint(), north, compass, 40), 5);
  scene.options.rangeRingsShown = false;  // the rose goes with the rings
  EXPECT_EQ(CountNearColour(scene.Paint(), north, compass, 40), 0);
}

TEST(Frame, SurroundsThePictureAtEverySize) {
  for (const QSize size : {QSize(800, 600), QSize(1024, 700), QSize(2000, 1100), QSize(500, 400)}) {
    PaintScene scene(size.width(), size.height());
    scene.options.rangeRingsShown = false;
    const QImage picture = scene.Paint();
    const int w = size.width(), h = size.height();
    // The bezel covers 42 pixels left, top and right and 39 at the bottom,
    // closed all round (also across the middle of very wide windows).
    for (int x = 0; x < w; x += 7) {
      EXPECT_FALSE(IsColour(picture, x, 10, Qt::black)) << "top at " << x << " of " << w;
      EXPECT_FALSE(IsColour(picture, x, h - 10, Qt::black)) << "bottom at " << x << " of " << w;
    }
    for (int y = 0; y < h; y += 7) {
      EXPECT_FALSE(IsColour(picture, 10, y, Qt::black)) << "left at " << y << " of " << h;
      EXPECT_FALSE(IsColour(picture, w - 10, y, Qt::black)) << "right at " << y << " of " << h;
    }
    EXPECT_TRUE(AllBlack(picture, QRect(50, 50, w - 100, h - 95)));
  }
}

// The pieces are cut to the margins the geometry leaves for the frame: along
// its straight stretches the frame ends exactly where the drawing area
// begins, at every window size.
TEST(Frame, CoversExactlyTheMarginsOfTheDrawingArea) {
  for (const QSize size : {QSize(800, 600), QSize(1024, 700), QSize(2000, 1100), QSize(500, 400)}) {
    PaintScene scene(size.width(), size.height());
    scene.options.rangeRingsShown = false;
    const QImage picture = scene.Paint();
    const PixelRect area = ScopeGeometry::DrawingArea({0, 0, size.width(), size.height()}, false);
    for (int y = 80; y < size.height() - 80; y += 5) {
      EXPECT_FALSE(IsColour(picture, area.left - 1, y, Qt::black)) << "left at " << y << " of " << size.height();
      EXPECT_TRUE(IsColour(picture, area.left, y, Qt::black)) << "left at " << y << " of " << size.height();
      EXPECT_TRUE(IsColour(picture, area.right - 1, y, Qt::black)) << "right at " << y << " of " << size.height();
      EXPECT_FALSE(IsColour(picture, area.right, y, Qt::black)) << "right at " << y << " of " << size.height();
    }
    for (int x = 80; x < size.width() - 80; x += 5) {
      EXPECT_FALSE(IsColour(picture, x, area.top - 1, Qt::black)) << "top at " << x << " of " << size.width();
      EXPECT_TRUE(IsColour(picture, x, area.top, Qt::black)) << "top at " << x << " of " << size.width();
      EXPECT_TRUE(IsColour(picture, x, area.bottom - 1, Qt::black)) << "bottom at " << x << " of " << size.width();
      EXPECT_FALSE(IsColour(picture, x, area.bottom, Qt::black)) << "bottom at " << x << " of " << size.width();
    }
  }
}

// The label's trend arrows tell climb, descent and level flight apart at
// both sizes.
TEST(Frame, TrendArrowsDiffer) {
  const ScopeArtwork& art = *ScopeArtwork::Shared();
  for (const int fontSize : {12, 16}) {
    EXPECT_NE(art.Arrow(TrendArrow::Climb, fontSize), art.Arrow(TrendArrow::Descend, fontSize)) << fontSize;
    EXPECT_NE(art.Arrow(TrendArrow::Climb, fontSize), art.Arrow(TrendArrow::Level, fontSize)) << fontSize;
    EXPECT_NE(art.Arrow(TrendArrow::Descend, fontSize), art.Arrow(TrendArrow::Level, fontSize)) << fontSize;
  }
}

// A coastline file with one stroke across the scope's centre, east-west.
std::filesystem::path WriteCoastline(const QTemporaryDir& dir, const geo::GeoPoint& centre) {
  const std::filesystem::path file = dir.filePath("borderline.dat").toStdString();
  std::ofstream out(file);
  out << "#\n";
  for (int i = -10; i <= 10; ++i) out << centre.longitude + i * 0.05 << "\t" << centre.latitude << "\n";
  return file;
}

TEST(Coastline, ProjectedOnlyWhenTheViewChanges) {
  QTemporaryDir dir;
  PaintScene scene(800, 600);
  scene.options.rangeRingsShown = false;
  scene.map.coastline = geo::CoastlineTable::Load(WriteCoastline(dir, kSeaCentre));
  QImage picture = scene.Paint();
  const QColor grey(233, 233, 233);
  const QPoint centre = scene.At(kSeaCentre);
  // The parallel slants a little on the grid of the zone.
  EXPECT_GT(CountColour(picture, QRect(centre.x() + 100, centre.y() - 10, 1, 20), grey), 0);
  EXPECT_EQ(scene.preparer.CoastlineProjections(), 1);
  scene.Paint();
  scene.Paint();
  EXPECT_EQ(scene.preparer.CoastlineProjections(), 1);

  scene.geometry.SetRangeKm(100);
  scene.Paint();
  EXPECT_EQ(scene.preparer.CoastlineProjections(), 2);
  scene.Resize(700, 600);
  scene.Paint();
  EXPECT_EQ(scene.preparer.CoastlineProjections(), 3);
  scene.CentreOn({44.05, 37.5});
  scene.Paint();
  EXPECT_EQ(scene.preparer.CoastlineProjections(), 4);
  scene.geometry.MarkCoastlineStale();
  scene.Paint();
  EXPECT_EQ(scene.preparer.CoastlineProjections(), 5);

  // Hidden: not drawn, not projected; the intensity sets its grey.
  scene.options.coastlineShown = false;
  scene.geometry.SetRangeKm(50);
  picture = scene.Paint();
  EXPECT_EQ(scene.preparer.CoastlineProjections(), 5);
  EXPECT_EQ(CountColour(picture, picture.rect(), grey), 0);
  scene.options.coastlineShown = true;
  scene.options.coastlineIntensity = 143;
  picture = scene.Paint();
  EXPECT_EQ(scene.preparer.CoastlineProjections(), 6);
  EXPECT_GT(CountColour(picture, picture.rect(), QColor(143, 143, 143)), 100);
}

TEST(Coastline, FarPointsAtTheSmallestRangeAreClipped) {
  QTemporaryDir dir;
  PaintScene scene(800, 600, 2);  // 400 pixels per km: the file spans hundreds of thousands of pixels
  scene.options.rangeRingsShown = false;
  scene.map.coastline = geo::CoastlineTable::Load(WriteCoastline(dir, kSeaCentre));
  const QImage picture = scene.Paint();
  const QPoint centre = scene.At(kSeaCentre);
  EXPECT_GT(CountColour(picture, QRect(centre.x() - 200, centre.y() - 20, 1, 40), QColor(233, 233, 233)), 0);
}

TEST(Drawing, StrokesStaySeparateAndFollowTheMap) {
  PaintScene scene(800, 600);
  scene.options.rangeRingsShown = false;
  geo::DrawingList& drawing = scene.map.drawing;
  drawing.StartDrawing();
  const geo::GeoPoint a = scene.ExactlyAt({200, 200}), b = scene.ExactlyAt({300, 200});
  const geo::GeoPoint c = scene.ExactlyAt({200, 400}), d = scene.ExactlyAt({300, 400});
  drawing.AddDrawingPoint(a.latitude, a.longitude);
  drawing.AddDrawingPoint(b.latitude, b.longitude);
  drawing.StartDrawing();
  drawing.AddDrawingPoint(c.latitude, c.longitude);
  drawing.AddDrawingPoint(d.latitude, d.longitude);
  const QImage picture = scene.Paint();
  EXPECT_TRUE(IsColour(picture, 250, 200, kDrawing));
  EXPECT_TRUE(IsColour(picture, 250, 400, kDrawing));
  EXPECT_FALSE(IsColour(picture, 300, 300, kDrawing));  // no line from b to c
  EXPECT_FALSE(IsColour(picture, 250, 300, kDrawing));
}

TEST(Markers, FourByFourGreenSquares) {
  PaintScene scene(800, 600);
  scene.options.rangeRingsShown = false;
  scene.markers.push_back(scene.ExactlyAt({300, 250}));
  const QImage picture = scene.Paint();
  EXPECT_EQ(CountColour(picture, QRect(290, 240, 20, 20), kMarker), 16);
  EXPECT_TRUE(IsColour(picture, 298, 248, kMarker));
  EXPECT_TRUE(IsColour(picture, 301, 251, kMarker));
}

TEST(Measuring, LineAndRangeBearingText) {
  PaintScene scene(800, 600);
  scene.options.rangeRingsShown = false;
  scene.measure = MeasureLine{{200, 300}, {400, 300}};
  const QImage picture = scene.Paint();
  EXPECT_GT(CountColour(picture, QRect(200, 300, 180, 1), kMeasuring), 60);  // dash-dot-dot
  // The text's top-left is 15 pixels up and left of the cursor.
  EXPECT_GT(CountNearColour(picture, QRect(385, 285, 150, 14), kLabelText, 40), 20);
  EXPECT_TRUE(AllBlack(picture, QRect(385, 260, 150, 20)));
}

TEST(RadarOutOfOrder, HidesEverythingButTheTextAndTheFrame) {
  PaintScene scene(800, 600);
  scene.options.coverageShown = true;
  scene.markers.push_back(scene.ExactlyAt({300, 250}));
  scene.Report(QPoint(400, 400), {.id = 1, .name = "Su-27", .friendly = 0});
  scene.map.drawing.StartDrawing();
  scene.map.drawing.AddDrawingPoint(scene.GeoAt(100, 100).latitude, scene.GeoAt(100, 100).longitude);
  scene.map.drawing.AddDrawingPoint(scene.GeoAt(700, 500).latitude, scene.GeoAt(700, 500).longitude);
  scene.status.radarOutOfOrder = true;
  const QImage picture = scene.Paint();
  // Inside the frame: black, and grey text in its band.
  const QRect inside(60, 60, 800 - 120, 600 - 120);
  const QRect band(0, 195, 800, 50);
  for (int y = inside.top(); y <= inside.bottom(); ++y) {
    for (int x = inside.left(); x <= inside.right(); ++x) {
      const QColor pixel = PixelAt(picture, x, y);
      if (pixel == Qt::black) continue;
      ASSERT_TRUE(band.contains(x, y)) << x << "," << y;
      ASSERT_TRUE(pixel.red() == pixel.green() && pixel.green() == pixel.blue()) << x << "," << y;
    }
  }
  EXPECT_GT(CountNearColour(picture, band, QColor(127, 127, 127), 20), 100);
  // Centred across the width.
  int left = 800, right = 0;
  for (int y = 200; y < 240; ++y)
    for (int x = inside.left(); x <= inside.right(); ++x)
      if (PixelAt(picture, x, y).red() > 60) {
        left = std::min(left, x);
        right = std::max(right, x);
      }
  EXPECT_NEAR((left + right) / 2.0, 400.0, 3.0);
  // The screen points are not even computed.
  EXPECT_EQ(scene.Contact(1).screenX, 0);
}

TEST(RadarOutOfOrder, FlagFollowsTheRadarTheScopeIsCentredOn) {
  PaintScene scene;
  scene.state.configBlock.radarOnly[0] = 1;
  scene.Report(QPoint(300, 300), {.id = 7, .name = "HAWK SR", .kind = 'A'});
  ASSERT_NE(scene.document.FindRadarSite(0), nullptr);
  scene.geometry.OnCentringCommand(kFirstRadarCommand, FixedCentre(kSeaCentre, scene.GeoAt(300, 300)));
  UpdateStatusFlags(scene.status, scene.document, scene.geometry.CentringCommand());
  EXPECT_FALSE(scene.status.radarOutOfOrder);
  // The radar goes: out of order, and it stays so when the radar is back.
  scene.document.UpdateContact(7, "HAWK SR", 44.0, 0.0, 0.0, 0.0, 1, 'A', 0.0);
  UpdateStatusFlags(scene.status, scene.document, scene.geometry.CentringCommand());
  EXPECT_TRUE(scene.status.radarOutOfOrder);
  scene.Report(QPoint(300, 300), {.id = 8, .name = "HAWK SR", .kind = 'A'});  // radar number 1
  scene.Report(QPoint(310, 300), {.id = 9, .name = "HAWK SR", .kind = 'A'});
  UpdateStatusFlags(scene.status, scene.document, kFirstRadarCommand + 1);
  EXPECT_TRUE(scene.status.radarOutOfOrder);
  // An airfield command, or a coalition that is not radar-only, clears it.
  UpdateStatusFlags(scene.status, scene.document, kHomeAirfieldCommand);
  EXPECT_FALSE(scene.status.radarOutOfOrder);
  scene.status.radarOutOfOrder = true;
  scene.state.configBlock.radarOnly[0] = 0;
  UpdateStatusFlags(scene.status, scene.document, kFirstRadarCommand + 5);
  EXPECT_FALSE(scene.status.radarOutOfOrder);
}

TEST(Awacs, CoverageCircleAroundTheSidesAwacs) {
  PaintScene scene(800, 600, 400);  // 2 pixels per km
  scene.options.rangeRingsShown = false;
  const geo::GeoPoint awacs = scene.ExactlyAt({300, 300});
  scene.state.configBlock.awacsLatitude[0] = awacs.latitude;
  scene.state.configBlock.awacsLongitude[0] = awacs.longitude;
  scene.state.configBlock.awacsRangeKm = 100;
  QImage picture = scene.Paint();
  EXPECT_EQ(CountColour(picture, picture.rect(), kAwacs), 0);  // coverage off
  scene.options.coverageShown = true;
  picture = scene.Paint();
  EXPECT_TRUE(ColourNear(picture, {500, 300}, kAwacs));
  EXPECT_TRUE(ColourNear(picture, {300, 100}, kAwacs));
  EXPECT_TRUE(ColourNear(picture, {100, 300}, kAwacs));
  EXPECT_FALSE(ColourNear(picture, {490, 300}, kAwacs, 3));
  // The other coalition's AWACS, or a mode word of 0, draws nothing.
  scene.state.isBlue = 0;
  EXPECT_EQ(CountColour(scene.Paint(), picture.rect(), kAwacs), 0);
  scene.state.isBlue = 1;
  scene.state.configBlock.awacsMode[0] = 0;
  EXPECT_EQ(CountColour(scene.Paint(), picture.rect(), kAwacs), 0);
}

TEST(Awacs, LostWarningLastsFortyTicks) {
  PaintScene scene(800, 600);
  scene.state.configBlock.awacsRangeKm = 400;
  // A dynamic AWACS appears and goes.
  scene.Report(QPoint(300, 300), {.id = 5, .name = "A-50 (Mainstay)", .altitude = 9500, .speed = 600});
  EXPECT_EQ(scene.state.awacsLostTicks, 40);
  UpdateStatusFlags(scene.status, scene.document, scene.geometry.CentringCommand());
  EXPECT_FALSE(scene.status.awacsLost);
  scene.document.UpdateContact(5, "A-50 (Mainstay)", 44.0, 0.0, 0.0, 0.0, 1, 'B', 0.0);
  const QRect warning(70, 600 - 100, 250, 22);
  for (int tick = 0; tick < 40; ++tick) {
    UpdateStatusFlags(scene.status, scene.document, scene.geometry.CentringCommand());
    ASSERT_TRUE(scene.status.awacsLost) << "tick " << tick;
    if (tick == 0 || tick == 39) {
      EXPECT_GT(CountNearColour(scene.Paint(), warning, QColor(0, 200, 10), 50), 20);
    }
  }
  EXPECT_EQ(scene.state.awacsLostTicks, 0);
  UpdateStatusFlags(scene.status, scene.document, scene.geometry.CentringCommand());
  EXPECT_FALSE(scene.status.awacsLost);
  EXPECT_EQ(CountNearColour(scene.Paint(), warning, QColor(0, 200, 10), 50), 0);
}

// Krasnodar Center's runway, heading 270 from end 1 (east) to end 2 (west).
class Runways : public ::testing::Test {
 protected:
  void SetUp() override {
    scene.options.rangeRingsShown = false;
    scene.geometry.OnCentringCommand(kHomeAirfieldCommand, FixedCentre(kSeaCentre));
    for (model::CAirfield& record : scene.document.Airfields())
      if (record.menuId == kHomeAirfieldCommand) runway = &record;
    ASSERT_NE(runway, nullptr);
    end1 = scene.At({runway->end1Latitude, runway->end1Longitude});
    end2 = scene.At({runway->end2Latitude, runway->end2Longitude});
  }
  // Centreline pixels east of end 1 and west of end 2.
  int EastOfEnd1(const QImage& picture) const {
    return CountColour(picture, QRect(end1.x() + 20, end1.y() - 3, 100, 7), kCentreline);
  }
  int WestOfEnd2(const QImage& picture) const {
    return CountColour(picture, QRect(end2.x() - 120, end2.y() - 3, 100, 7), kCentreline);
  }

 public:
  PaintScene scene{800, 600, 20};  // 40 pixels per km
  model::CAirfield* runway = nullptr;
  QPoint end1, end2;
};

TEST_F(Runways, RunwayAndCodeAtEveryRange) {
  QImage picture = scene.Paint();
  EXPECT_TRUE(ColourNear(picture, (end1 + end2) / 2, kRunway));
  // "KRAS" 20 pixels below end 1.
  EXPECT_GT(CountNearColour(picture, QRect(end1.x(), end1.y() + 20, 40, 14), QColor(127, 127, 127), 40), 10);
  EXPECT_EQ(CountColour(picture, picture.rect(), kCentreline), 0);  // aids only in airfield mode
  EXPECT_EQ(AirfieldCodeOffsetFactor(100), 1.0);
  EXPECT_EQ(AirfieldCodeOffsetFactor(200), 0.5);
  EXPECT_EQ(AirfieldCodeOffsetFactor(300), 0.3);
  EXPECT_EQ(AirfieldCodeOffsetFactor(400), 0.2);
  EXPECT_EQ(AirfieldCodeOffsetFactor(7), 0.0);
}

TEST_F(Runways, ApproachAidsFlipWithTheWind) {
  scene.geometry.SetAirfieldMode(true);
  // No wind: the usual end (end 1), the centreline seven lengths beyond it.
  QImage picture = scene.Paint();
  EXPECT_GT(EastOfEnd1(picture), 20);
  EXPECT_EQ(WestOfEnd2(picture), 0);
  ASSERT_TRUE(scene.preparer.Approach().has_value());
  // Eight runway lengths from the approach end over the runway, sixteen wide.
  EXPECT_TRUE(scene.preparer.Approach()->InRegion(ToScreen(end1 + (end2 - end1) * 2)));
  EXPECT_FALSE(scene.preparer.Approach()->InRegion(ToScreen(end1 + (end1 - end2) * 2)));

  // Wind along the runway heading: the other end.
  scene.options.windDirectionDeg = 270;
  picture = scene.Paint();
  EXPECT_EQ(EastOfEnd1(picture), 0);
  EXPECT_GT(WestOfEnd2(picture), 20);
  EXPECT_EQ(runway->activeEndFlipped, 1);

  // Wind across or from behind: back to the usual end.
  scene.options.windDirectionDeg = 90;
  picture = scene.Paint();
  EXPECT_GT(EastOfEnd1(picture), 20);
  EXPECT_EQ(runway->activeEndFlipped, 0);
}

TEST(AirfieldRadars, CircleOfTheConfiguredRangeWhenCoverageIsShown) {
  PaintScene scene(800, 600, 400);  // 2 pixels per km
  scene.options.rangeRingsShown = false;
  scene.geometry.OnCentringCommand(kHomeAirfieldCommand, FixedCentre(kSeaCentre));
  scene.state.configBlock.airfieldRadarOn[0][10] = 1;
  scene.state.configBlock.airfieldRadarRangeKm[0][10] = 90;
  scene.state.configBlock.awacsMode[0] = 0;
  QImage picture = scene.Paint();
  EXPECT_EQ(CountColour(picture, picture.rect(), kAirfieldRadar), 0);
  scene.options.coverageShown = true;
  picture = scene.Paint();
  const QPoint centre = scene.At({45.081667, 38.95});
  EXPECT_TRUE(ColourNear(picture, centre + QPoint(180, 0), kAirfieldRadar));
  EXPECT_TRUE(ColourNear(picture, centre - QPoint(0, 180), kAirfieldRadar));
  EXPECT_FALSE(ColourNear(picture, centre + QPoint(170, 0), kAirfieldRadar, 3));
  // Red's flags for Red.
  scene.state.isBlue = 0;
  EXPECT_EQ(CountColour(scene.Paint(), picture.rect(), kAirfieldRadar), 0);
}

}  // namespace
}  // namespace vantor::scope::test
