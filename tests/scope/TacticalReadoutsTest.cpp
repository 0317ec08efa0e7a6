// Bullseye, BRAA and cursor readout texts, checked against a separately
// written great-circle reckoning and against positions known by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "vantor/geo/Geodesy.h"
#include "vantor/scope/TacticalReadouts.h"

namespace vantor::scope {
namespace {

// Independent spherical reckoning (mean radius 6371 km), in degrees.
constexpr double kPiHere = 3.141592653589793;
double Rad(double degrees) { return degrees * kPiHere / 180.0; }

double HaversineKm(double lat1, double lon1, double lat2, double lon2) {
  const double s1 = std::sin(Rad(lat2 - lat1) / 2), s2 = std::sin(Rad(lon2 - lon1) / 2);
  const double h = s1 * s1 + std::cos(Rad(lat1)) * std::cos(Rad(lat2)) * s2 * s2;
  return 2 * 6371.0 * std::asin(std::sqrt(h));
}

double ForwardAzimuthDeg(double lat1, double lon1, double lat2, double lon2) {
  const double y = std::sin(Rad(lon2 - lon1)) * std::cos(Rad(lat2));
  const double x = std::cos(Rad(lat1)) * std::sin(Rad(lat2)) -
                   std::sin(Rad(lat1)) * std::cos(Rad(lat2)) * std::cos(Rad(lon2 - lon1));
  const double deg = std::atan2(y, x) * 180.0 / kPiHere;
  return deg < 0 ? deg + 360.0 : deg;
}

TEST(BullseyeBearingRange, AgreesWithAnIndependentGreatCircleAcrossTheTheatre) {
  const geo::GeoPoint bullseye{45.0817, 38.95};
  const geo::GeoPoint targets[] = {{45.6, 38.95}, {45.08, 40.1},    {44.2, 37.3}, {43.5, 41.9},
                                   {46.2, 36.0},  {45.0817, 38.90}, {44.9, 38.95}};
  for (const geo::GeoPoint& target : targets) {
    const double km = HaversineKm(bullseye.latitude, bullseye.longitude, target.latitude, target.longitude);
    const double az = ForwardAzimuthDeg(bullseye.latitude, bullseye.longitude, target.latitude, target.longitude);
    const BearingRange metric = BearingRangeBetween(bullseye, target, false);
    const BearingRange nautical = BearingRangeBetween(bullseye, target, true);
    long expectedBearing = std::lround(az);
    if (expectedBearing == 0) expectedBearing = 360;
    EXPECT_EQ(metric.bearingDeg, expectedBearing) << target.latitude << "," << target.longitude;
    EXPECT_EQ(metric.range, std::lround(km));
    // The client's nautical mile factor.
    EXPECT_EQ(nautical.range, std::lround(km * 0.539));
    EXPECT_EQ(nautical.bearingDeg, metric.bearingDeg);
  }
}

TEST(BullseyeBearingRange, NorthReadsAs360AndTextIsPadded) {
  const geo::GeoPoint bullseye{45.0, 39.0};
  EXPECT_EQ(BearingRangeBetween(bullseye, {45.5, 39.0}, false).bearingDeg, 360);
  EXPECT_EQ(BearingRangeBetween(bullseye, {45.5, 39.0}, false).range, 56);  // half a degree of latitude
  EXPECT_EQ(BearingRangeBetween(bullseye, {44.5, 39.0}, false).bearingDeg, 180);
  EXPECT_EQ(BearingRangeText({45, 32}), "045/32");
  EXPECT_EQ(BearingRangeText({360, 0}), "360/0");
  EXPECT_EQ(BearingRangeText({7, 120}), "007/120");
}

TEST(BraaAspect, ThresholdsOnBothSidesOfTheLineOfSight) {
  EXPECT_EQ(AspectOf(0.0), Aspect::Hot);
  EXPECT_EQ(AspectOf(30.0), Aspect::Hot);
  EXPECT_EQ(AspectOf(30.01), Aspect::Flank);
  EXPECT_EQ(AspectOf(70.0), Aspect::Flank);
  EXPECT_EQ(AspectOf(70.01), Aspect::Beam);
  EXPECT_EQ(AspectOf(110.0), Aspect::Beam);
  EXPECT_EQ(AspectOf(110.01), Aspect::Drag);
  EXPECT_EQ(AspectOf(180.0), Aspect::Drag);

  // A hostile due north of the friendly: the line of sight back is 180.
  const geo::GeoPoint friendly{44.0, 38.0}, hostile{44.5, 38.0};
  auto aspectFor = [&](double headingDeg) { return AspectAngleDeg(hostile, Rad(headingDeg), friendly); };
  EXPECT_NEAR(aspectFor(180.0), 0.0, 1e-6);
  EXPECT_NEAR(aspectFor(150.0), 30.0, 1e-6);
  EXPECT_NEAR(aspectFor(210.0), 30.0, 1e-6);  // either side alike
  EXPECT_NEAR(aspectFor(90.0), 90.0, 1e-6);
  EXPECT_NEAR(aspectFor(0.0), 180.0, 1e-6);
  EXPECT_NEAR(aspectFor(359.0), 179.0, 1e-6);
  EXPECT_EQ(AspectOf(aspectFor(149.0)), Aspect::Flank);
  EXPECT_EQ(AspectOf(aspectFor(151.0)), Aspect::Hot);
  EXPECT_EQ(AspectOf(aspectFor(71.0)), Aspect::Beam);    // 109 off the line of sight
  EXPECT_EQ(AspectOf(aspectFor(69.0)), Aspect::Drag);    // 111
  EXPECT_EQ(AspectOf(aspectFor(250.0)), Aspect::Flank);  // 70
  EXPECT_EQ(AspectOf(aspectFor(251.0)), Aspect::Beam);   // 71
}

TEST(BraaAspect, CallGivesBearingRangeAltitudeAndAspectFromTheFriendly) {
  const geo::GeoPoint friendly{44.0, 38.0}, hostile{44.5, 38.0};
  const double km = HaversineKm(44.0, 38.0, 44.5, 38.0);
  // 7,600 m: 760 tens of metres, 249 hundreds of feet (the label's units).
  EXPECT_EQ(BraaText(friendly, {hostile, 7600.0, Rad(180.0)}, false),
            QStringLiteral("360/%1 760 HOT").arg(std::lround(km)));
  EXPECT_EQ(BraaText(friendly, {hostile, 7600.0, Rad(90.0)}, true),
            QStringLiteral("360/%1 249 BEAM").arg(std::lround(km * 0.539)));
  // Seen from the north: running south is running away.
  EXPECT_EQ(BraaText(hostile, {friendly, 500.0, Rad(180.0)}, false),
            QStringLiteral("180/%1 050 DRAG").arg(std::lround(km)));
}

TEST(CursorReadout, DegreesAndDecimalMinutesWithCarryAndHemispheres) {
  EXPECT_EQ(LatitudeText(45.081666), QStringLiteral("N45\u00B004.90'"));
  EXPECT_EQ(LongitudeText(38.95), QStringLiteral("E038\u00B057.00'"));
  EXPECT_EQ(LatitudeText(-12.5), QStringLiteral("S12\u00B030.00'"));
  EXPECT_EQ(LongitudeText(-3.25), QStringLiteral("W003\u00B015.00'"));
  // 59.9999 minutes round into the next degree, never "60.00'".
  EXPECT_EQ(LatitudeText(44.9999999), QStringLiteral("N45\u00B000.00'"));
  EXPECT_EQ(LongitudeText(0.0), QStringLiteral("E000\u00B000.00'"));
}

TEST(CursorReadout, LinesAtKrasnodarWithAndWithoutBullseye) {
  const geo::GeoPoint at{45.081666, 38.95};
  const QStringList plain = CursorReadoutLines(at, std::nullopt, false);
  ASSERT_EQ(plain.size(), 2);
  EXPECT_EQ(plain[0], QStringLiteral("N45\u00B004.90' E038\u00B057.00'"));
  // Zone 37 (36 E ... 42 E); 0.05 degrees west of its central meridian is
  // about 3.93 km west of the false easting.
  const QStringList utm = plain[1].split(' ');
  ASSERT_EQ(utm.size(), 4);
  EXPECT_EQ(utm[0], "UTM");
  EXPECT_EQ(utm[1], "37N");
  const double easting = utm[2].chopped(1).toDouble();
  const double northing = utm[3].chopped(1).toDouble();
  const double expectedEasting = 500000.0 - Rad(0.05) * 6378137.0 * std::cos(Rad(45.081666)) * 0.9996;
  EXPECT_NEAR(easting, expectedEasting, 30.0);
  EXPECT_NEAR(northing, 4993000.0, 2000.0);
  const geo::UtmPoint own = geo::LatLongToUtm(at.latitude, at.longitude);
  EXPECT_EQ(utm[2], QStringLiteral("%1E").arg(std::llround(own.easting), 6, 10, QChar('0')));

  const QStringList withBullseye = CursorReadoutLines(at, geo::GeoPoint{44.581666, 38.95}, true);
  ASSERT_EQ(withBullseye.size(), 3);
  // 30 arc minutes north of the bullseye: 30 NM on the sphere, 29.97 at 0.539.
  EXPECT_EQ(withBullseye[2], QStringLiteral("BE 360/30 NM"));
  EXPECT_EQ(CursorReadoutLines(at, geo::GeoPoint{44.581666, 38.95}, false)[2], QStringLiteral("BE 360/56 km"));
}

}  // namespace
}  // namespace vantor::scope
