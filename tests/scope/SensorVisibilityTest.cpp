#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "GeoTestSupport.h"
#include "ReferenceVisibility.h"
#include "vantor/model/CRivakDoc.h"
#include "vantor/scope/DocumentSensors.h"
#include "vantor/scope/ScopeGeometry.h"
#include "vantor/scope/SensorVisibility.h"

using namespace vantor::scope;
using vantor::geo::ElevationGrid;
using vantor::geo::GeoPoint;
using vantor::scope::test::ReferenceChordKm;

namespace {

constexpr GeoPoint kKrasnodar{45.081667, 38.95};

// A point due east of `from` whose chord distance is about `km`.
GeoPoint EastOf(const GeoPoint& from, double km) {
  return {from.latitude, from.longitude + km / (111.1 * std::cos(from.latitude * 0.01745329))};
}

VisibilityTarget Aircraft(const GeoPoint& at, double altitude, double speed = 500.0) {
  VisibilityTarget target;
  target.latitude = at.latitude;
  target.longitude = at.longitude;
  target.altitude = altitude;
  target.speed = speed;
  target.screenX = 100;
  target.screenY = 100;
  return target;
}

struct Fixture {
  ElevationGrid grid;
  ScopeGeometry geometry;
  Fixture() { geometry.UpdateGeometry({0, 0, 660, 600}, {0, 0, 656, 596}); }
  bool Visible(const SensorPicture& sensors, const VisibilityTarget& target) const {
    const SensorVisibility visibility(grid, geometry.Projection(), sensors);
    const bool seen = visibility.IsContactVisible(target);
    EXPECT_EQ(seen, vantor::scope::test::ReferenceIsContactVisible(grid, geometry.Projection(), sensors, target));
    return seen;
  }
};

SensorPicture OneAirfield(int rangeKm, double elevation = 32.0) {
  SensorPicture sensors;
  sensors.airfieldRadars.push_back(AirfieldRadar{10, kKrasnodar, elevation, rangeKm});
  return sensors;
}

// The longitude east of `from` where the chord distance crosses `km`:
// adjacent doubles, the first at or within, the second beyond.
std::pair<double, double> RangeEdge(const GeoPoint& from, double km) {
  double lo = from.longitude, hi = EastOf(from, km + 5).longitude;
  while (std::nextafter(lo, hi) < hi) {
    const double mid = lo + (hi - lo) / 2;
    if (mid <= lo || mid >= hi) break;
    (ChordDistanceKm(from.latitude, mid, from.latitude, from.longitude) <= km ? lo : hi) = mid;
  }
  return {lo, hi};
}

}  // namespace

TEST(ChordDistance, MatchesAnIndependentSphereComputation) {
  // 1 degree of longitude at the equator on a 6366 km sphere: 111.108 km.
  EXPECT_NEAR(ChordDistanceKm(0, 0, 0, 1), 111.108, 0.01);
  EXPECT_NEAR(ChordDistanceKm(45.0, 38.0, 46.0, 38.0), 111.108, 0.01);
  EXPECT_DOUBLE_EQ(ChordDistanceKm(44.2, 39.1, 44.2, 39.1), 0.0);  // no NaN over the radar
  EXPECT_DOUBLE_EQ(ChordDistanceKm(45.3, 37.0, 44.1, 39.5), ReferenceChordKm(45.3, 37.0, 44.1, 39.5));
}

TEST(RadarHorizon, AboveAndBelowTheBase) {
  EXPECT_NEAR(RadarHorizonKm(10.0, 32.0, 20.0), 22.545, 0.001);  // 4.12 x (sqrt 20 + 1)
  EXPECT_NEAR(RadarHorizonKm(32.0, 32.0, 20.0), 22.545, 0.001);
  EXPECT_NEAR(RadarHorizonKm(1032.0, 32.0, 20.0), 4.12 * (std::sqrt(1000.0) + std::sqrt(20.0)), 1e-9);
}

TEST(SensorVisibility, AirfieldRadarCeilingIs12000Metres) {
  Fixture f;
  const SensorPicture sensors = OneAirfield(300);
  const GeoPoint at = EastOf(kKrasnodar, 50);
  EXPECT_TRUE(f.Visible(sensors, Aircraft(at, 11999.9)));
  EXPECT_FALSE(f.Visible(sensors, Aircraft(at, 12000.0)));
  EXPECT_FALSE(f.Visible(sensors, Aircraft(at, 15000.0)));
}

TEST(SensorVisibility, ExactlyAtTheRangeIsInside) {
  Fixture f;
  const auto [inside, beyond] = RangeEdge(kKrasnodar, 40.0);
  EXPECT_TRUE(f.Visible(OneAirfield(40), Aircraft({kKrasnodar.latitude, inside}, 3000)));
  EXPECT_FALSE(f.Visible(OneAirfield(40), Aircraft({kKrasnodar.latitude, beyond}, 3000)));

  // A radar site's range is a fraction: the contact's own distance passes.
  const GeoPoint at = EastOf(kKrasnodar, 30);
  const double d = ChordDistanceKm(at.latitude, at.longitude, kKrasnodar.latitude, kKrasnodar.longitude);
  SensorPicture sensors;
  sensors.radarSites.push_back(RadarSiteSensor{kKrasnodar, 30.0, 0.0, 360, d, 120});
  EXPECT_TRUE(f.Visible(sensors, Aircraft(at, 3000)));
  sensors.radarSites[0].detectionRangeKm = std::nextafter(d, 0.0);
  EXPECT_FALSE(f.Visible(sensors, Aircraft(at, 3000)));
}

TEST(SensorVisibility, ExactlyAtTheHorizonIsOutside) {
  Fixture f;
  const GeoPoint at = EastOf(kKrasnodar, 60);
  const double d = ChordDistanceKm(at.latitude, at.longitude, kKrasnodar.latitude, kKrasnodar.longitude);
  // The altitude where the horizon (ground at 32 m, 20 m) reaches d.
  double lo = 32.0, hi = 1000.0;
  while (std::nextafter(lo, hi) < hi) {
    const double mid = lo + (hi - lo) / 2;
    if (mid <= lo || mid >= hi) break;
    (RadarHorizonKm(mid, 32.0, 20.0) > d ? hi : lo) = mid;
  }
  ASSERT_LE(RadarHorizonKm(lo, 32.0, 20.0), d);
  ASSERT_GT(RadarHorizonKm(hi, 32.0, 20.0), d);
  EXPECT_FALSE(f.Visible(OneAirfield(300), Aircraft(at, lo)));
  EXPECT_TRUE(f.Visible(OneAirfield(300), Aircraft(at, hi)));
}

TEST(SensorVisibility, BelowTheFieldElevationTheHorizonIs22Point5Km) {
  Fixture f;
  const SensorPicture sensors = OneAirfield(300, 180.0);  // Maykop's elevation
  EXPECT_TRUE(f.Visible(sensors, Aircraft(EastOf(kKrasnodar, 22.0), 100.0)));
  EXPECT_FALSE(f.Visible(sensors, Aircraft(EastOf(kKrasnodar, 23.0), 100.0)));
  EXPECT_FALSE(f.Visible(sensors, Aircraft(EastOf(kKrasnodar, 23.0), 179.0)));
}

TEST(SensorVisibility, TerrainMasksAirfieldRadarsButNotTheAwacsAbove) {
  Fixture f;
  // A ridge of 2000 m across the line from Krasnodar to a point 50 km east.
  vantor::geo::test::TerrainBuilder terrain;
  const GeoPoint at = EastOf(kKrasnodar, 50);
  const int row = static_cast<int>(vantor::geo::GridRowOf(kKrasnodar.latitude));
  const int c0 = static_cast<int>(vantor::geo::GridColumnOf(kKrasnodar.longitude));
  for (int c = c0 + 50; c < c0 + 60; ++c)
    for (int r = row - 3; r <= row + 3; ++r) terrain.Set(r, c, 2000);
  f.grid = terrain.Build();
  EXPECT_FALSE(f.Visible(OneAirfield(300), Aircraft(at, 1500)));
  EXPECT_TRUE(f.Visible(OneAirfield(300), Aircraft(at, 2000)));  // T = 2000 + 60 clears the ridge

  SensorPicture withAwacs = OneAirfield(300);
  withAwacs.awacs = AwacsSensor{EastOf(kKrasnodar, -100), 10, 300};
  EXPECT_TRUE(f.Visible(withAwacs, Aircraft(at, 1500)));
}

TEST(SensorVisibility, AwacsNeedsMoreThan100KmhAndAPosition) {
  Fixture f;
  SensorPicture sensors;
  sensors.awacs = AwacsSensor{{44.5, 38.0}, 9, 200};
  const GeoPoint at{45.0, 38.5};
  EXPECT_FALSE(f.Visible(sensors, Aircraft(at, 3000, 100.0)));
  EXPECT_TRUE(f.Visible(sensors, Aircraft(at, 3000, 101.0)));
  EXPECT_TRUE(f.Visible(sensors, Aircraft(at, 30000, 101.0)));  // no ceiling, no horizon for the AWACS
  sensors.awacs.rangeKm = 60;
  EXPECT_FALSE(f.Visible(sensors, Aircraft(at, 3000, 500.0)));  // about 68 km away
  sensors.awacs = AwacsSensor{{0.0, 0.0}, 9, 200};
  EXPECT_FALSE(f.Visible(sensors, Aircraft(at, 3000, 500.0)));
  sensors.awacs = AwacsSensor{{44.5, 0.0}, 9, 200};
  EXPECT_FALSE(f.Visible(sensors, Aircraft(at, 3000, 500.0)));
}

TEST(SensorVisibility, RadarSiteAltitudeLimitAndSector) {
  Fixture f;
  SensorPicture sensors;
  // ROLAND ADS: detection 6.3 km, limit 6 km.
  sensors.radarSites.push_back(RadarSiteSensor{kKrasnodar, 30.0, 0.0, 360, 6.3, 6});
  const GeoPoint near = EastOf(kKrasnodar, 5.0);
  EXPECT_TRUE(f.Visible(sensors, Aircraft(near, 5999.0)));
  EXPECT_FALSE(f.Visible(sensors, Aircraft(near, 6000.0)));
  // A site whose type matched nothing sees nothing.
  sensors.radarSites[0] = RadarSiteSensor{kKrasnodar, 30.0, 0.0, 360, 0.0, 0};
  EXPECT_FALSE(f.Visible(sensors, Aircraft(near, 100.0)));
  // PATRIOT STR heading east (pi/2 rad) with a 120-degree sector.
  sensors.radarSites[0] = RadarSiteSensor{kKrasnodar, 30.0, 1.5708, 120, 170.0, 170};
  EXPECT_TRUE(f.Visible(sensors, Aircraft(EastOf(kKrasnodar, 40.0), 5000.0)));
  EXPECT_FALSE(f.Visible(sensors, Aircraft({kKrasnodar.latitude + 0.3, kKrasnodar.longitude}, 5000.0)));
}

TEST(InSector, HeadingNinetySectorOneTwenty) {
  ScopeGeometry geometry;
  geometry.UpdateGeometry({0, 0, 660, 600}, {0, 0, 656, 596});
  geometry.SetRangeKm(400);  // 1 px per km: wide offsets stay in the theatre
  const auto& projection = geometry.Projection();
  const GeoPoint site = geometry.Centre();
  auto target = [&](int dx, int dy) { return *projection.ScreenToGeo(330 + dx, 300 + dy); };
  auto inSector = [&](const GeoPoint& t) {
    return InSector(90, 120, site.latitude, site.longitude, t.latitude, t.longitude, projection);
  };
  EXPECT_TRUE(inSector(target(200, 0)));     // b = 90
  EXPECT_FALSE(inSector(target(0, -200)));   // b = 0
  EXPECT_TRUE(inSector(target(100, 171)));   // b = 149.7
  EXPECT_FALSE(inSector(target(100, 180)));  // b = 150.9
  EXPECT_FALSE(inSector(target(100, 181)));  // b = 151.1
  EXPECT_TRUE(inSector(target(100, -171)));  // b = 30.3
  EXPECT_FALSE(inSector(target(100, -181)));
  EXPECT_FALSE(inSector(target(0, 0)));  // the same point has bearing 0, 90 degrees off the heading
}

TEST(SensorVisibility, AlwaysShownContacts) {
  Fixture f;
  const SensorPicture none;
  VisibilityTarget ship = Aircraft(EastOf(kKrasnodar, 10), 0.0, 20.0);
  ship.friendly = true;
  ship.altSymbol = true;
  EXPECT_TRUE(f.Visible(none, ship));
  ship.screenX = 0;
  EXPECT_FALSE(f.Visible(none, ship));
  ship.screenX = 5;
  ship.screenY = -3;
  EXPECT_FALSE(f.Visible(none, ship));

  VisibilityTarget hostileShip = ship;
  hostileShip.screenY = 5;
  hostileShip.friendly = false;
  EXPECT_FALSE(f.Visible(none, hostileShip));  // needs a sensor

  VisibilityTarget friendlyAircraft = Aircraft(EastOf(kKrasnodar, 10), 3000.0);
  friendlyAircraft.friendly = true;
  EXPECT_FALSE(f.Visible(none, friendlyAircraft));

  VisibilityTarget hostileSite = Aircraft(EastOf(kKrasnodar, 10), 0.0, 0.0);
  hostileSite.radarSite = true;
  EXPECT_TRUE(f.Visible(none, hostileSite));
}

TEST(SensorVisibility, OptimisedTestAgreesWithThePlainRulesOnRandomPictures) {
  Fixture f;
  f.grid = vantor::geo::test::HillyTerrain(17);
  std::mt19937 random(99);
  std::uniform_real_distribution<double> lat(42.0, 46.0), lon(33.0, 44.0), unit(0.0, 1.0);
  int seen = 0, hidden = 0;
  for (int picture = 0; picture < 40; ++picture) {
    SensorPicture sensors;
    for (int i = 0; i < 22; ++i) {
      if (unit(random) < 0.5) continue;
      sensors.airfieldRadars.push_back(AirfieldRadar{
          i, {lat(random), lon(random)}, 300.0 * unit(random), static_cast<int>(20 + 280 * unit(random))});
    }
    const int sites = static_cast<int>(50 * unit(random));
    for (int n = 0; n < sites; ++n) {
      const bool patriot = unit(random) < 0.3;
      sensors.radarSites.push_back(RadarSiteSensor{{lat(random), lon(random)},
                                                   1000.0 * unit(random),
                                                   6.283 * unit(random) - 3.14,
                                                   patriot ? 120 : 360,
                                                   patriot ? 170.0 : 300.0 * unit(random),
                                                   static_cast<int>(250 * unit(random))});
    }
    if (unit(random) < 0.7)
      sensors.awacs = AwacsSensor{{lat(random), lon(random)},
                                  static_cast<int>(1 + 12 * unit(random)),
                                  static_cast<int>(50 + 350 * unit(random))};
    f.geometry.SetRangeKm(kRangeStepsKm[static_cast<std::size_t>(9 * unit(random)) % 9]);
    const SensorVisibility visibility(f.grid, f.geometry.Projection(), sensors);
    for (int n = 0; n < 100; ++n) {
      VisibilityTarget target = Aircraft({lat(random), lon(random)}, 6000.0 * unit(random) * unit(random) - 50.0,
                                         unit(random) < 0.1 ? 100.0 : 600.0 * unit(random));
      target.friendly = unit(random) < 0.5;
      target.altSymbol = unit(random) < 0.1;
      target.radarSite = unit(random) < 0.05;
      const bool expected =
          vantor::scope::test::ReferenceIsContactVisible(f.grid, f.geometry.Projection(), sensors, target);
      ASSERT_EQ(visibility.IsContactVisible(target), expected) << picture << " " << n;
      (expected ? seen : hidden)++;
    }
  }
  EXPECT_GT(seen, 500);
  EXPECT_GT(hidden, 500);
}

TEST(DocumentSensors, CollectsTheCoalitionsSensorsFromTheDocument) {
  vantor::model::ClientState state;
  vantor::model::CRivakDoc doc(state, [] { return std::int64_t{1000}; });
  auto& config = state.configBlock;
  config.airfieldRadarOn[0][10] = 1;  // Krasnodar center, Blue
  config.airfieldRadarRangeKm[0][10] = 120;
  config.airfieldRadarOn[0][21] = 1;  // the carrier, Blue
  config.airfieldRadarRangeKm[0][21] = 80;
  config.airfieldRadarOn[1][0] = 1;  // Adler, Red only
  config.awacsRangeKm = 250;
  config.awacsLatitude[0] = 44.9;
  config.awacsLongitude[0] = 37.9;
  config.awacsMode[0] = 8;

  SensorPicture blue = CollectSensors(doc, 0);
  ASSERT_EQ(blue.airfieldRadars.size(), 1u);  // no carrier contact yet
  EXPECT_EQ(blue.airfieldRadars[0].index, 10);
  EXPECT_EQ(blue.airfieldRadars[0].position, (GeoPoint{45.081667, 38.95}));
  EXPECT_EQ(blue.airfieldRadars[0].elevationM, 32.0);
  EXPECT_EQ(blue.airfieldRadars[0].rangeKm, 120);
  EXPECT_EQ(blue.awacs.position, (GeoPoint{44.9, 37.9}));
  EXPECT_EQ(blue.awacs.mode, 8);
  EXPECT_EQ(blue.awacs.rangeKm, 250);
  EXPECT_TRUE(blue.radarSites.empty());

  doc.UpdateContact(1, "Admiral Kuznetsov", 43.8, 38.3, 0.0, 0.0, 1, 'D', 30.0);
  doc.UpdateContact(2, "1L13 EWR", 44.6, 38.7, 150.0, 0.5, 1, 'A', 0.0);    // friendly radar 0
  doc.UpdateContact(3, "KUB STR", 44.1, 39.2, 90.0, 0.0, 0, 'A', 0.0);      // hostile: not a sensor
  doc.UpdateContact(4, "PATRIOT STR", 44.2, 39.9, 20.0, 1.0, 1, 'A', 0.0);  // friendly radar 1
  blue = CollectSensors(doc, 0);
  ASSERT_EQ(blue.airfieldRadars.size(), 2u);
  EXPECT_EQ(blue.airfieldRadars[1].index, 21);
  EXPECT_EQ(blue.airfieldRadars[1].position, (GeoPoint{43.8, 38.3}));
  EXPECT_EQ(blue.airfieldRadars[1].elevationM, 0.0);
  ASSERT_EQ(blue.radarSites.size(), 2u);
  EXPECT_EQ(blue.radarSites[0].detectionRangeKm, 300.0);
  EXPECT_EQ(blue.radarSites[0].altitudeLimitKm, 120);
  EXPECT_EQ(blue.radarSites[0].altitudeM, 150.0);
  EXPECT_EQ(blue.radarSites[1].sectorDeg, 120);
  EXPECT_EQ(blue.radarSites[1].headingRad, 1.0);

  const SensorPicture red = CollectSensors(doc, 1);
  ASSERT_EQ(red.airfieldRadars.size(), 1u);
  EXPECT_EQ(red.airfieldRadars[0].index, 0);
  EXPECT_EQ(red.awacs.position, (GeoPoint{0.0, 0.0}));

  const DocumentCentringSources sources(doc);
  EXPECT_EQ(sources.CarrierPosition(), (GeoPoint{43.8, 38.3}));
  EXPECT_EQ(sources.RadarSitePosition(1), (GeoPoint{44.2, 39.9}));
  EXPECT_FALSE(sources.RadarSitePosition(2));
}

TEST(SensorVisibility, ContactsFromTheDocument) {
  vantor::model::ClientState state;
  vantor::model::CRivakDoc doc(state, [] { return std::int64_t{1000}; });
  state.configBlock.airfieldRadarOn[0][10] = 1;
  state.configBlock.airfieldRadarRangeKm[0][10] = 100;
  const GeoPoint at = EastOf(kKrasnodar, 30);
  doc.UpdateContact(7, "Su-27 (Ivan)", at.latitude, at.longitude, 3000.0, 1.0, 0, 'B', 800.0);
  doc.UpdateContact(8, "Su-27 (Oleg)", at.latitude + 2.0, at.longitude, 3000.0, 1.0, 0, 'B', 800.0);
  Fixture f;
  const SensorVisibility visibility(f.grid, f.geometry.Projection(), CollectSensors(doc, 0));
  EXPECT_TRUE(visibility.IsContactVisible(*doc.FindContact(7)));
  EXPECT_FALSE(visibility.IsContactVisible(*doc.FindContact(8)));
}
