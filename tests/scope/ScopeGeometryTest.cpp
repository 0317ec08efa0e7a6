// Pixel references come from an independent Krüger-series UTM computation of
// the same positions.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "GeoTestSupport.h"
#include "vantor/scope/CoastlineScreenCache.h"
#include "vantor/scope/ScopeGeometry.h"

using namespace vantor::scope;
using vantor::geo::GeoPoint;

namespace {

class FakeSources final : public CentringSources {
 public:
  std::optional<GeoPoint> carrier;
  std::map<int, GeoPoint> radars;
  std::optional<GeoPoint> CarrierPosition() const override { return carrier; }
  std::optional<GeoPoint> RadarSitePosition(int number) const override {
    const auto found = radars.find(number);
    return found == radars.end() ? std::nullopt : std::optional<GeoPoint>(found->second);
  }
};

// A 660 x 600 scope window at the default centre and 50 km.
ScopeGeometry Scope660() {
  ScopeGeometry geometry;
  geometry.UpdateGeometry({0, 0, 660, 600}, {0, 0, 656, 596});
  return geometry;
}

}  // namespace

TEST(ScopeGeometry, ScreenFollowsTheOuterRectangle) {
  ScopeGeometry geometry;
  const PixelRect area = geometry.UpdateGeometry({10, 20, 671, 621}, {0, 0, 657, 597});
  EXPECT_EQ(geometry.Screen(), (ScopeScreen{661, 661, 330, 300}));
  EXPECT_EQ(geometry.PixelsPerKm(), 13);
  EXPECT_EQ(area, (PixelRect{42, 42, 615, 558}));
  geometry.SetAirfieldMode(true);
  EXPECT_EQ(geometry.UpdateGeometry({10, 20, 671, 621}, {0, 0, 657, 597}), (PixelRect{42, 42, 615, 597}));
}

TEST(ScopeGeometry, ThirteenPixelsPerKmAt660PixelsAnd50Km) {
  const ScopeGeometry geometry = Scope660();
  EXPECT_EQ(geometry.PixelsPerKm(), 13);
  EXPECT_EQ(geometry.GeoToScreen(45.081666, 38.95), (ScreenPoint{330, 300}));
  // 10.02 km east and 20 m south of the centre in the grid.
  EXPECT_EQ(geometry.GeoToScreen(45.081470740, 39.077313405), (ScreenPoint{460, 300}));
  // 30.03 km west and 20.05 km north: x truncates toward zero.
  EXPECT_EQ(geometry.GeoToScreen(45.261339654, 38.567081098), (ScreenPoint{-60, 39}));
}

TEST(ScopeGeometry, ZoneBoundaryNear36EastUsesTheZoneShift) {
  const ScopeGeometry geometry = Scope660();
  const ScreenPoint west = geometry.GeoToScreen(45.081666, 35.99);  // zone 36
  const ScreenPoint east = geometry.GeoToScreen(45.081666, 36.01);  // zone 37, as the centre
  EXPECT_NEAR(west.x, -2707, 1);
  EXPECT_NEAR(west.y, 243, 1);
  EXPECT_NEAR(east.x, -2678, 1);
  EXPECT_NEAR(east.y, 243, 1);
  // 0.02 degrees is about 20 px; the fixed shift adds under 10 px of seam.
  EXPECT_GT(east.x - west.x, 15);
  EXPECT_LT(east.x - west.x, 32);
}

TEST(ScopeGeometry, ScreenToGeoInvertsGeoToScreen) {
  const ScopeGeometry geometry = Scope660();
  const auto centre = geometry.ScreenToGeo(330, 300);
  ASSERT_TRUE(centre);
  EXPECT_NEAR(centre->latitude, 45.081666, 1e-5);
  EXPECT_NEAR(centre->longitude, 38.95, 1e-5);
  for (int x = -400; x <= 1000; x += 97) {
    for (int y = -300; y <= 900; y += 89) {
      const auto position = geometry.ScreenToGeo(x, y);
      ASSERT_TRUE(position);
      const ScreenPoint back = geometry.GeoToScreen(position->latitude, position->longitude);
      EXPECT_NEAR(back.x, x, 1) << x << "," << y;
      EXPECT_NEAR(back.y, y, 1) << x << "," << y;
    }
  }
}

TEST(ScopeGeometry, ZeroScaleConvertsNothing) {
  ScopeGeometry geometry;
  geometry.UpdateGeometry({0, 0, 40, 30}, {0, 0, 40, 30});  // narrower than 50 km
  EXPECT_EQ(geometry.PixelsPerKm(), 0);
  EXPECT_EQ(geometry.GeoToScreen(44.0, 36.0), (ScreenPoint{20, 15}));
  EXPECT_FALSE(geometry.ScreenToGeo(10, 10));
  EXPECT_FALSE(geometry.OnRightDoubleClick(10, 10));
  ScopeGeometry empty;  // before any window exists
  EXPECT_EQ(empty.PixelsPerKm(), 0);
  EXPECT_FALSE(empty.ScreenToGeo(0, 0));
}

TEST(ScopeGeometry, FarPointsAreNotClippedButNeverOverflow) {
  ScopeGeometry geometry = Scope660();
  geometry.SetRangeKm(2);  // 330 px per km
  const ScreenPoint far = geometry.GeoToScreen(-80.0, -170.0);
  EXPECT_NE(far.x, 0);
  EXPECT_NE(far.y, 0);
  EXPECT_NO_FATAL_FAILURE(geometry.GeoToScreen(1e308, -1e308));
  EXPECT_NO_FATAL_FAILURE(geometry.GeoToScreen(std::nan(""), 0.0));
}

TEST(RangeSteps, LegendBitmaps) {
  const std::pair<unsigned, int> legends[] = {{2, 1033},   {5, 1034},   {10, 1035},  {20, 1036}, {50, 1037},
                                              {100, 1038}, {200, 1039}, {300, 1040}, {400, 1040}};
  for (const auto& [range, bitmap] : legends) {
    EXPECT_EQ(RangeLegendBitmap(range, false), bitmap) << range;
    EXPECT_EQ(RangeLegendBitmap(range, true), bitmap - 900) << range;
  }
  EXPECT_EQ(RangeLegendBitmap(7, false), 0);
}

TEST(RangeSteps, WheelOutAndInThroughEveryStep) {
  struct Case {
    unsigned from;
    bool wide;
    unsigned out;
    unsigned in;
  };
  const Case cases[] = {{2, false, 5, 300},   {2, true, 5, 400},     {5, false, 10, 2},     {10, false, 20, 5},
                        {20, false, 50, 10},  {50, false, 100, 20},  {100, false, 200, 50}, {200, false, 300, 100},
                        {300, false, 2, 200}, {300, true, 400, 200}, {400, true, 2, 300},   {400, false, 2, 300}};
  for (const Case& c : cases) {
    for (const bool zoomOut : {true, false}) {
      ScopeGeometry geometry = Scope660();
      geometry.SetSidePanelHidden(c.wide);
      geometry.SetRangeKm(c.from);
      const WheelResult result = geometry.OnWheel(zoomOut ? -120 : 120, false);
      const unsigned expected = zoomOut ? c.out : c.in;
      EXPECT_EQ(geometry.RangeKm(), expected) << c.from << (zoomOut ? " out" : " in") << (c.wide ? " wide" : "");
      EXPECT_TRUE(result.rangeChanged);
      EXPECT_TRUE(result.notifyPanel);
      EXPECT_EQ(result.legendBitmap, RangeLegendBitmap(expected, false));
    }
  }
}

TEST(RangeSteps, AirfieldModeLimitsTheWheel) {
  auto wheel = [](unsigned from, int delta) {
    ScopeGeometry geometry = Scope660();
    geometry.SetAirfieldMode(true);
    geometry.SetRangeKm(from);
    const WheelResult result = geometry.OnWheel(delta, true);
    EXPECT_TRUE(result.notifyPanel) << from;  // the panel redraws even when ignored
    return std::pair{geometry.RangeKm(), result.rangeChanged};
  };
  EXPECT_EQ(wheel(20, -120), (std::pair{50u, true}));   // out while below 50
  EXPECT_EQ(wheel(50, -120), (std::pair{50u, false}));  // not from 50
  EXPECT_EQ(wheel(100, -120), (std::pair{100u, false}));
  EXPECT_EQ(wheel(5, 120), (std::pair{2u, true}));   // in from 3 ... 99
  EXPECT_EQ(wheel(2, 120), (std::pair{2u, false}));  // no wrap to 300
  EXPECT_EQ(wheel(50, 120), (std::pair{20u, true}));
  EXPECT_EQ(wheel(100, 120), (std::pair{100u, false}));  // 100 km or more: nothing
  EXPECT_EQ(wheel(200, 120), (std::pair{200u, false}));
}

TEST(RangeSteps, RangeOffTheStepsAndZeroDeltaAreLeftAlone) {
  ScopeGeometry geometry = Scope660();
  geometry.SetRangeKm(7);
  const WheelResult off = geometry.OnWheel(-120, false);
  EXPECT_EQ(geometry.RangeKm(), 7u);
  EXPECT_FALSE(off.rangeChanged);
  EXPECT_FALSE(off.notifyPanel);
  geometry.SetRangeKm(50);
  EXPECT_FALSE(geometry.OnWheel(0, false).notifyPanel);
  EXPECT_EQ(geometry.RangeKm(), 50u);
}

TEST(RangeSteps, ShowingThePanelAgainLimitsTheRangeTo300) {
  ScopeGeometry geometry = Scope660();
  geometry.SetSidePanelHidden(true);
  geometry.SetRangeKm(400);
  geometry.SetSidePanelHidden(false);
  EXPECT_EQ(geometry.RangeKm(), 300u);
  EXPECT_FALSE(geometry.WideScope());
}

TEST(Centring, FirstShowCentresOnKrasnodarAt50Km) {
  ScopeGeometry geometry = Scope660();
  geometry.SetRangeKm(200);
  const CentringResult result = geometry.FirstShow(FakeSources{});
  EXPECT_EQ(geometry.RangeKm(), 50u);
  EXPECT_EQ(geometry.Centre(), (GeoPoint{45.081667, 38.95}));
  EXPECT_EQ(geometry.CentringCommand(), 32710);
  EXPECT_EQ(result.checkAirfieldCommand, 32710);
  EXPECT_TRUE(result.updateAllViews);
}

TEST(Centring, AirfieldCommandsMoveTheCheckMark) {
  ScopeGeometry geometry = Scope660();
  FakeSources sources;
  geometry.OnCentringCommand(32700, sources);
  EXPECT_EQ(geometry.Centre(), (GeoPoint{43.440833, 39.953611}));
  const CentringResult result = geometry.OnCentringCommand(32720, sources);
  EXPECT_TRUE(result.handled);
  EXPECT_EQ(geometry.Centre(), (GeoPoint{42.861944, 41.141944}));
  EXPECT_EQ(result.uncheckAirfieldCommand, 32700);
  EXPECT_EQ(result.checkAirfieldCommand, 32720);
  EXPECT_EQ(geometry.CheckedAirfieldCommand(), 32720);
  EXPECT_EQ(geometry.CentringCommand(), 32720);
  EXPECT_EQ(*AirfieldCommandCentre(32706), (GeoPoint{45.105833, 33.968611}));
  EXPECT_FALSE(AirfieldCommandCentre(32721));
  EXPECT_FALSE(geometry.OnCentringCommand(32699, sources).handled);
  EXPECT_FALSE(geometry.OnCentringCommand(32810, sources).handled);
}

TEST(Centring, CarrierCommandTakesThePositionOnce) {
  ScopeGeometry geometry = Scope660();
  FakeSources sources;
  geometry.OnCentringCommand(32705, sources);
  // No carrier: the command is taken but the centre stays.
  CentringResult result = geometry.OnCentringCommand(32721, sources);
  EXPECT_TRUE(result.handled);
  EXPECT_EQ(geometry.Centre(), (GeoPoint{43.115, 40.584722}));
  EXPECT_EQ(geometry.CentringCommand(), 32721);
  EXPECT_EQ(result.checkAirfieldCommand, 32721);
  sources.carrier = GeoPoint{43.9, 38.1};
  geometry.OnCentringCommand(32721, sources);
  EXPECT_EQ(geometry.Centre(), (GeoPoint{43.9, 38.1}));
  sources.carrier = GeoPoint{43.95, 38.2};  // the carrier sails on; the scope stays
  EXPECT_EQ(geometry.Centre(), (GeoPoint{43.9, 38.1}));
}

TEST(Centring, RadarCommandsNeedASite) {
  ScopeGeometry geometry = Scope660();
  FakeSources sources;
  geometry.OnCentringCommand(32701, sources);
  EXPECT_FALSE(geometry.OnCentringCommand(32803, sources).handled);
  EXPECT_EQ(geometry.CentringCommand(), 32701);

  sources.radars[3] = GeoPoint{44.2, 39.3};
  sources.radars[0] = GeoPoint{44.3, 39.4};
  CentringResult result = geometry.OnCentringCommand(32803, sources);
  EXPECT_TRUE(result.handled);
  EXPECT_EQ(geometry.Centre(), (GeoPoint{44.2, 39.3}));
  EXPECT_EQ(geometry.CentringCommand(), 32803);
  EXPECT_EQ(result.uncheckAirfieldCommand, 32701);
  EXPECT_EQ(result.checkRadarMenuPosition, 4);
  EXPECT_TRUE(result.clearRadarOutOfOrder);
  EXPECT_TRUE(result.updateAllViews);

  result = geometry.OnCentringCommand(32800, sources);
  EXPECT_EQ(result.uncheckRadarMenuPosition, 4);
  EXPECT_EQ(result.checkRadarMenuPosition, 1);
  EXPECT_FALSE(result.uncheckAirfieldCommand);

  result = geometry.OnCentringCommand(32710, sources);  // back to an airfield: one mark only
  EXPECT_EQ(result.uncheckRadarMenuPosition, 1);
  EXPECT_FALSE(result.uncheckAirfieldCommand);
  EXPECT_EQ(result.checkAirfieldCommand, 32710);
}

TEST(Centring, RightDoubleClickInsideTheTheatreOnly) {
  ScopeGeometry geometry = Scope660();
  geometry.FirstShow(FakeSources{});
  geometry.FramePrepared();
  geometry.CoastlineCacheRebuilt();
  ASSERT_FALSE(geometry.CoastlineCacheStale());

  ASSERT_TRUE(geometry.OnRightDoubleClick(460, 300));  // 10 km east
  EXPECT_NEAR(geometry.Centre().longitude, 38.95 + 10.0 / 78.8, 0.01);
  EXPECT_EQ(geometry.CentringCommand(), 32710);  // unchanged
  EXPECT_TRUE(geometry.CoastlineCacheStale());

  // At 400 km a click far out lands outside 42 ... 46 N, 33 ... 43 E.
  geometry.SetSidePanelHidden(true);
  geometry.SetRangeKm(400);  // 1 px per km
  const GeoPoint before = geometry.Centre();
  EXPECT_FALSE(geometry.OnRightDoubleClick(330, 300 - 150));  // about 46.4 N
  EXPECT_FALSE(geometry.OnRightDoubleClick(330 + 400, 300));  // about 44 E
  EXPECT_EQ(geometry.Centre(), before);
  EXPECT_TRUE(geometry.OnRightDoubleClick(330, 300 - 80));

  geometry.SetAirfieldMode(true);
  EXPECT_FALSE(geometry.OnRightDoubleClick(331, 300));
}

TEST(CoastlineCache, StaleAfterEveryChangeOfTheView) {
  ScopeGeometry geometry = Scope660();
  FakeSources sources;
  geometry.FirstShow(sources);
  auto painted = [&] {
    geometry.CoastlineCacheRebuilt();
    geometry.FramePrepared();
  };
  EXPECT_TRUE(geometry.CoastlineCacheStale());
  painted();
  EXPECT_FALSE(geometry.CoastlineCacheStale());
  geometry.UpdateGeometry({0, 0, 660, 600}, {0, 0, 656, 596});  // the timer tick, same window
  EXPECT_FALSE(geometry.CoastlineCacheStale());
  geometry.OnWheel(-120, false);
  EXPECT_TRUE(geometry.CoastlineCacheStale());
  painted();
  geometry.OnCentringCommand(32700, sources);
  EXPECT_TRUE(geometry.CoastlineCacheStale());
  painted();
  geometry.UpdateGeometry({0, 0, 700, 600}, {0, 0, 696, 596});  // resized
  EXPECT_TRUE(geometry.CoastlineCacheStale());
  painted();
  // The same command again after a double-click moved the centre away.
  geometry.OnRightDoubleClick(400, 300);
  painted();
  geometry.OnCentringCommand(32700, sources);
  EXPECT_TRUE(geometry.CoastlineCacheStale());
  painted();
  geometry.SetSidePanelHidden(true);
  EXPECT_TRUE(geometry.CoastlineCacheStale());
}

TEST(CoastlineCache, ProjectsPointsAndKeepsSeparators) {
  vantor::geo::test::ScratchFolder folder;
  folder.Write("borderline.dat", "38.95\t45.081666\n39.077313405\t45.081470740\n#\n38.567081098\t45.261339654\n");
  const auto coastline = vantor::geo::CoastlineTable::Load(folder.File("borderline.dat"));
  const ScopeGeometry geometry = Scope660();
  CoastlineScreenCache cache;
  cache.Rebuild(coastline, geometry.Projection());
  EXPECT_EQ(cache.ScreenPoints()[0], (ScreenPoint{330, 300}));
  EXPECT_EQ(cache.ScreenPoints()[1], (ScreenPoint{460, 300}));
  EXPECT_EQ(cache.ScreenPoints()[2], (ScreenPoint{0, 0}));
  EXPECT_EQ(cache.ScreenPoints()[3], (ScreenPoint{-60, 39}));
  EXPECT_EQ(cache.ScreenPoints()[4], (ScreenPoint{0, 0}));
  int polylines = 0;
  cache.ForEachPolyline([&](const ScreenPoint* first, std::size_t count) {
    ++polylines;
    EXPECT_EQ(first, &cache.ScreenPoints()[0]);
    EXPECT_EQ(count, 2u);
  });
  EXPECT_EQ(polylines, 1);  // the lone point after the separator draws no line
}
