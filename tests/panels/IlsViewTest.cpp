// The approach view as a widget over a real scope: the profile grid, the
// arrivals plotted on it, the threshold following the scope's centring,
// carrier and wind, and its timer.
#include <gtest/gtest.h>

#include <QTest>
#include <QWheelEvent>

#include <chrono>

#include "InfoIlsScene.h"
#include "InfoIlsTestSupport.h"
#include "ScopeTestSupport.h"
#include "TestSupport.h"
#include "vantor/shell/CILSView.h"

namespace vantor::shell::test {
namespace {

using scope::test::ColourNear;
using scope::test::CountColour;

// Pixels of `area` in the contacts' yellow, antialiased text included.
int Yellowish(const QImage& image, const QRect& area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      const int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
      if (g >= 40 && r * 10 >= g * 8 && b * 10 <= g * 4) ++count;
    }
  return count;
}

const QColor kWhite(255, 255, 255);
const QColor kLimit(150, 200, 150);
const QColor kCentreLine(51, 120, 40);
const QColor kYellow(245, 255, 64);
// Krasnodar Center: field 32 m; with no wind the approach ends at end 1.
constexpr geo::GeoPoint kKrasnodarEnd1{45.081389, 38.965833};
constexpr geo::GeoPoint kKrasnodarEnd2{45.081944, 38.934167};
constexpr int kKrasnodarElevation = 32;

class IlsView : public InfoIlsScene {
 protected:
  IlsView() { ils.resize(700, 230); }
  // The scope in ATC mode, as the button panel leaves it, with a frame
  // prepared; then one tick of the approach view.
  void AtcMode() {
    scope.SetAirfieldMode(true);
    ils.SetActive(true);
    Frame();
  }
  void Frame() {
    scope.RenderImage();
    ils.Tick();
  }

 public:
  CILSView ils{context, &scope};
};

TEST_F(IlsView, InactiveItDrawsOnlyItsFrame) {
  document.UpdateContact(1, "F-16C (Viper)", kKrasnodarEnd1.latitude, kKrasnodarEnd1.longitude + 0.05, 900, 0, true,
                         'B', 300);
  scope.SetAirfieldMode(true);
  Frame();
  const QImage picture = Dumped(ils.RenderImage());
  EXPECT_FALSE(ils.IsActive());
  EXPECT_EQ(Lit(picture, QRect(16, 16, 668, 198)), 0);  // inside the rounded corners
  // Frame all round: the band along the top, the corners, the sides.
  EXPECT_EQ(Lit(picture, QRect(30, 0, 640, 10)), 640 * 10);
  EXPECT_GT(Lit(picture, QRect(0, 0, 30, 30)), 300);
  EXPECT_GT(Lit(picture, QRect(670, 200, 30, 30)), 300);
  EXPECT_EQ(Lit(picture, QRect(0, 30, 8, 170)), 8 * 170);
}

TEST_F(IlsView, ProfileGridNauticalAndMetric) {
  ils.SetActive(true);
  QImage picture = Dumped(ils.RenderImage());
  EXPECT_TRUE(ColourNear(picture, {60, 180}, kWhite));
  EXPECT_FALSE(ColourNear(picture, {20, 180}, kWhite, 2));
  EXPECT_TRUE(ColourNear(picture, {365, 115}, kLimit));  // towards (620, 50)
  EXPECT_TRUE(ColourNear(picture, {365, 165}, kLimit));  // towards (620, 150)
  EXPECT_TRUE(ColourNear(picture, {365, 140}, kCentreLine));
  // A line leaves out its last point.
  EXPECT_EQ(CountColour(picture, QRect(110, 200, 516, 1), kCentreLine), 515);
  auto tick = [&picture](int x) { return CountColour(picture, QRect(x, 201, 1, 9), kCentreLine) == 9; };
  // Metric: twelve ticks 42 apart from 160.
  for (int x = 160; x <= 622; x += 42) EXPECT_TRUE(tick(x)) << x;
  EXPECT_FALSE(tick(245));
  settings.imperial = true;
  picture = Dumped(ils.RenderImage());
  for (int x = 160; x <= 585; x += 85) EXPECT_TRUE(tick(x)) << x;
  EXPECT_FALSE(tick(202));
  EXPECT_FALSE(tick(670));
}

TEST_F(IlsView, ArrivalsStandByDistanceAndHeight) {
  // 2.5 km out on the approach side, 900 m above the field.
  const geo::GeoPoint arriving = EastOf(kKrasnodarEnd1, 2.5);
  document.UpdateContact(1, "F-16C (Viper)", arriving.latitude, arriving.longitude, kKrasnodarElevation + 900, 0, true,
                         'B', 300);
  // On the field, 5 km out: not plotted.
  const geo::GeoPoint low = EastOf(kKrasnodarEnd1, 5.0);
  document.UpdateContact(2, "Su-27 (Ivan)", low.latitude, low.longitude, kKrasnodarElevation + 0.9, 0, true, 'B', 300);
  // Over the runway, inside the scope's approach region: not an arrival.
  const geo::GeoPoint over = NorthOf(kKrasnodarEnd2, 0.1);
  document.UpdateContact(3, "Su-25 (Frog)", over.latitude, over.longitude, 500, 0, true, 'B', 300);
  AtcMode();
  ASSERT_TRUE(scope.Approach());
  EXPECT_FALSE(scope.Approach()->InRegion({OnScope(1).x(), OnScope(1).y()}));
  EXPECT_TRUE(scope.Approach()->InRegion({OnScope(3).x(), OnScope(3).y()}));

  const QImage picture = Dumped(ils.RenderImage());
  // A ring of radius 5 round (200, 80).
  EXPECT_TRUE(ColourNear(picture, {205, 80}, kYellow));
  EXPECT_TRUE(ColourNear(picture, {195, 80}, kYellow));
  EXPECT_TRUE(ColourNear(picture, {200, 75}, kYellow));
  EXPECT_TRUE(ColourNear(picture, {200, 85}, kYellow));
  EXPECT_EQ(Yellowish(picture, QRect(198, 78, 5, 5)), 0);
  // Label and altitude above it, centred on it.
  EXPECT_GT(Yellowish(picture, QRect(150, 48, 100, 12)), 0);
  EXPECT_GT(Yellowish(picture, QRect(180, 60, 40, 12)), 0);
  EXPECT_EQ(Yellowish(picture, QRect(150, 86, 100, 40)), 0);
  // Nothing else.
  EXPECT_EQ(Yellowish(picture, QRect(260, 100, 200, 90)), 0);
  EXPECT_EQ(Yellowish(picture, QRect(185, 113, 30, 30)), 0);  // contact 3 would stand at (200, 128)
}

TEST_F(IlsView, TextsGoBelowFromY39Up) {
  // y = 39 at 2.5 km (x = 200); y = 40 at 10 km (x = 500).
  const geo::GeoPoint near = EastOf(kKrasnodarEnd1, 2.5);
  const geo::GeoPoint far = EastOf(kKrasnodarEnd1, 10.0);
  document.UpdateContact(1, "F-16C (Viper)", near.latitude, near.longitude, kKrasnodarElevation + 1269, 0, true, 'B',
                         300);
  document.UpdateContact(2, "F-15C (Eagle)", far.latitude, far.longitude, kKrasnodarElevation + 1260, 0, true, 'B',
                         300);
  AtcMode();
  const QImage picture = Dumped(ils.RenderImage());
  EXPECT_TRUE(ColourNear(picture, {205, 39}, kYellow));
  EXPECT_TRUE(ColourNear(picture, {505, 40}, kYellow));
  // y = 39: the label ends left of the mark below it, the altitude under the mark.
  EXPECT_GT(Yellowish(picture, QRect(120, 49, 75, 12)), 0);
  EXPECT_EQ(Yellowish(picture, QRect(196, 49, 30, 12)), 0);
  EXPECT_GT(Yellowish(picture, QRect(180, 61, 40, 12)), 0);
  EXPECT_EQ(Yellowish(picture, QRect(170, 10, 60, 23)), 0);
  // y = 40: both above, nothing below.
  EXPECT_GT(Yellowish(picture, QRect(480, 20, 40, 12)), 0);
  EXPECT_EQ(Yellowish(picture, QRect(420, 47, 160, 40)), 0);
}

TEST_F(IlsView, HostileLabelsAreIdDigits) {
  const geo::GeoPoint a = EastOf(kKrasnodarEnd1, 2.5);
  const geo::GeoPoint b = EastOf(kKrasnodarEnd1, 10.0);
  document.UpdateContact(12345678, "Su-27 (Ivan)", a.latitude, a.longitude, kKrasnodarElevation + 900, 0, false, 'B',
                         300);
  document.UpdateContact(42, "Su-27 (Igor)", b.latitude, b.longitude, kKrasnodarElevation + 900, 0, false, 'B', 300);
  AtcMode();
  const QImage picture = Dumped(ils.RenderImage());
  // "5678" is drawn above (200, 80); id 42 has an empty label, so only its
  // altitude shows above (500, 80).
  EXPECT_GT(Yellowish(picture, QRect(150, 48, 100, 12)), 0);
  EXPECT_TRUE(ColourNear(picture, {505, 80}, kYellow));
  EXPECT_EQ(Yellowish(picture, QRect(450, 48, 100, 12)), 0);
  EXPECT_GT(Yellowish(picture, QRect(480, 60, 40, 12)), 0);
}

TEST_F(IlsView, SwitchingAirfieldMovesTheThresholdAtTheNextTick) {
  AtcMode();
  EXPECT_EQ(ils.Reference().threshold, kKrasnodarEnd1);
  EXPECT_EQ(ils.Reference().fieldElevationM, kKrasnodarElevation);
  scope.OnCentringCommand(32701);  // Anapa
  EXPECT_EQ(ils.Reference().threshold, kKrasnodarEnd1);
  // The view's own timer: the next tick within about half a second.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(vantor::test::WaitUntil([&] { return ils.Reference().fieldElevationM == 45; }, std::chrono::seconds(5)));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
  EXPECT_EQ(ils.Reference().threshold, (geo::GeoPoint{44.989722, 37.341944}));
}

TEST_F(IlsView, TheCarrierIsTrackedAtEveryTick) {
  document.UpdateContact(900, "Admiral Kuznetsov", 43.5, 38.5, 0, 0, false, 'D', 30);
  AtcMode();
  scope.OnCentringCommand(scope::kCarrierCommand);
  Frame();
  EXPECT_EQ(ils.Reference().threshold, (geo::GeoPoint{43.5, 38.5}));
  EXPECT_EQ(ils.Reference().fieldElevationM, 0);
  for (int step = 1; step <= 3; ++step) {
    document.UpdateContact(900, "Admiral Kuznetsov", 43.5 + step * 0.001, 38.5, 0, 0, false, 'D', 30);
    Frame();
    EXPECT_EQ(ils.Reference().threshold, (geo::GeoPoint{43.5 + step * 0.001, 38.5}));
  }
}

TEST_F(IlsView, TheProfileKeepsToTheEndTheScopeDraws) {
  AtcMode();
  // A wind straight down the runway (heading 270): the scope lands at end 2.
  scope.Options().windDirectionDeg = 270;
  Frame();
  ASSERT_TRUE(scope.Approach());
  EXPECT_FALSE(scope.Approach()->AtFirstEnd());
  EXPECT_EQ(ils.Reference().threshold, kKrasnodarEnd2);
  // Calm again: the scope is back at end 1 while the runway record still
  // says flipped; the profile follows the scope.
  scope.Options().windDirectionDeg = 0;
  Frame();
  EXPECT_TRUE(document.FindAirfieldRecord(scope::kHomeAirfieldCommand)->activeEndFlipped);
  EXPECT_TRUE(scope.Approach()->AtFirstEnd());
  EXPECT_EQ(ils.Reference().threshold, kKrasnodarEnd1);
  EXPECT_EQ(ils.Reference().threshold, scope.Approach()->Threshold());
}

TEST_F(IlsView, TheWheelIsLeftToOthers) {
  // Not accepted, so a real wheel goes on to the parent widgets.
  QWheelEvent wheel(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(&ils, &wheel);
  EXPECT_FALSE(wheel.isAccepted());
}

TEST_F(IlsView, NoScopeNoPlots) {
  CILSView alone(context, nullptr);
  alone.resize(700, 230);
  alone.SetActive(true);
  const geo::GeoPoint arriving = EastOf(kKrasnodarEnd1, 2.5);
  document.UpdateContact(1, "F-16C (Viper)", arriving.latitude, arriving.longitude, 932, 0, true, 'B', 300);
  alone.Tick();
  EXPECT_EQ(alone.Reference(), ApproachReference{});
  EXPECT_EQ(Yellowish(alone.RenderImage(), QRect(0, 0, 700, 230)), 0);
}

}  // namespace
}  // namespace vantor::shell::test
