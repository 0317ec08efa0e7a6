// Reference positions come from an independent Krüger-series UTM
// implementation (true pi, six-term series), accurate to the millimetre; the
// scope's series with its slightly short degree factor stays within a metre.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "vantor/geo/Geodesy.h"

using namespace vantor::geo;

namespace {
constexpr double kMetreTolerance = 1.0;
}

TEST(GeodesyConstants, DegreeFactorsAreTheFixedLiterals) {
  EXPECT_EQ(kDegToRad, 0.01745329);
  EXPECT_DOUBLE_EQ(kRadToDeg, 57.29577957855229);
  EXPECT_EQ(kHeadingRadToDeg, 57.29578);
}

TEST(LatLongToUtm, DefaultScopeCentreInZone37) {
  const UtmPoint utm = LatLongToUtm(45.081666, 38.95);
  EXPECT_EQ(utm.zone, 37);
  EXPECT_NEAR(utm.northing, 4992023.739, kMetreTolerance);
  EXPECT_NEAR(utm.easting, 496064.837, kMetreTolerance);
}

TEST(LatLongToUtm, NorwayAndSvalbardZones) {
  const UtmPoint norway = LatLongToUtm(60.0, 5.0);
  EXPECT_EQ(norway.zone, 32);  // band arithmetic alone gives 31
  EXPECT_NEAR(norway.northing, 6658157.202, kMetreTolerance);
  EXPECT_NEAR(norway.easting, 276979.926, kMetreTolerance);

  const UtmPoint svalbard = LatLongToUtm(75.0, 10.0);
  EXPECT_EQ(svalbard.zone, 33);
  // Five degrees off the central meridian at 75 N the short series drifts a
  // little more.
  EXPECT_NEAR(svalbard.northing, 8329692.651, 2.0);
  EXPECT_NEAR(svalbard.easting, 355706.567, 2.0);

  EXPECT_EQ(LatLongToUtm(56.0, 3.0).zone, 32);
  EXPECT_EQ(LatLongToUtm(64.0, 5.0).zone, 31);  // 64 is outside the Norway band
  EXPECT_EQ(LatLongToUtm(60.0, 12.0).zone, 33);
  EXPECT_EQ(LatLongToUtm(72.0, 8.99).zone, 31);
  EXPECT_EQ(LatLongToUtm(72.0, 9.0).zone, 33);
  EXPECT_EQ(LatLongToUtm(80.0, 21.0).zone, 35);
  EXPECT_EQ(LatLongToUtm(80.0, 33.0).zone, 37);
  EXPECT_EQ(LatLongToUtm(80.0, 42.0).zone, 38);  // past the last Svalbard band: the plain zone
  EXPECT_EQ(LatLongToUtm(84.0, 10.0).zone, 32);
}

TEST(LatLongToUtm, SouthernHemisphereAddsTheFalseNorthing) {
  const UtmPoint cape = LatLongToUtm(-33.9, 18.4);
  EXPECT_EQ(cape.zone, 34);
  EXPECT_NEAR(cape.northing, 6245888.045, kMetreTolerance);
  EXPECT_NEAR(cape.easting, 259583.222, kMetreTolerance);

  // "34N" keeps the offset, so the point comes back in the north; a letter
  // below N removes it again.
  const GeoPoint viaNorth = UtmToLatLong(cape.northing, cape.easting, "34N");
  EXPECT_GT(viaNorth.latitude, 0.0);
  const GeoPoint viaSouth = UtmToLatLong(cape.northing, cape.easting, "34H");
  EXPECT_NEAR(viaSouth.latitude, -33.9, 1e-5);
  EXPECT_NEAR(viaSouth.longitude, 18.4, 1e-5);
}

TEST(LatLongToUtm, LongitudeIsNormalisedBeforeTheZone) {
  const UtmPoint wrapped = LatLongToUtm(45.0, 190.0);
  EXPECT_EQ(wrapped.zone, 2);
  EXPECT_NEAR(wrapped.northing, 4983436.768, kMetreTolerance);
  EXPECT_NEAR(wrapped.easting, 578815.303, kMetreTolerance);
  EXPECT_EQ(LatLongToUtm(45.0, 550.0).zone, 2);
}

TEST(LatLongToUtm, RoundTripAtTheDefaultCentre) {
  const UtmPoint utm = LatLongToUtm(45.081666, 38.95);
  const GeoPoint back = UtmToLatLong(utm.northing, utm.easting, FormatZone(utm.zone));
  EXPECT_NEAR(back.latitude, 45.081666, 1e-5);
  EXPECT_NEAR(back.longitude, 38.95, 1e-5);
}

TEST(LatLongToUtm, RoundTripOverTheTheatre) {
  for (double lat = 42.0; lat <= 46.0; lat += 0.5) {
    for (double lon = 33.0; lon <= 44.0; lon += 0.5) {
      const UtmPoint utm = LatLongToUtm(lat, lon);
      const GeoPoint back = UtmToLatLong(utm.northing, utm.easting, FormatZone(utm.zone));
      EXPECT_NEAR(back.latitude, lat, 1e-5) << lat << " " << lon;
      EXPECT_NEAR(back.longitude, lon, 1e-5) << lat << " " << lon;
    }
  }
}

TEST(UtmToLatLong, ZoneTextParsing) {
  const UtmPoint utm = LatLongToUtm(45.081666, 38.95);
  const GeoPoint withN = UtmToLatLong(utm.northing, utm.easting, "37N");
  const GeoPoint withX = UtmToLatLong(utm.northing, utm.easting, "37X");
  EXPECT_DOUBLE_EQ(withN.latitude, withX.latitude);
  // Without a letter the character code is below 'N': southern.
  const GeoPoint bare = UtmToLatLong(utm.northing, utm.easting, "37");
  EXPECT_LT(bare.latitude, 0.0);
  // Garbage gives finite numbers, never a crash.
  const GeoPoint garbage = UtmToLatLong(utm.northing, utm.easting, "99999999999999999999N");
  EXPECT_TRUE(std::isfinite(garbage.latitude));
  EXPECT_TRUE(std::isfinite(UtmToLatLong(utm.northing, utm.easting, "").latitude));
}

TEST(UtmToLatLong, ScopesOwnTextOfAZoneBelowOneStaysNorthern) {
  // Longitudes below -186 keep their value through the normalisation and
  // fall in zones 0, -1 ...; "-2N" must come back as zone -2, not as a
  // southern zone 0.
  const UtmPoint utm = LatLongToUtm(45.0, -200.0);
  ASSERT_EQ(utm.zone, -2);
  const GeoPoint back = UtmToLatLong(utm.northing, utm.easting, FormatZone(utm.zone));
  EXPECT_NEAR(back.latitude, 45.0, 1e-5);
  EXPECT_NEAR(back.longitude, -200.0, 1e-5);
  // A sign without digits reads nothing: the sign itself is below 'N'.
  EXPECT_LT(UtmToLatLong(utm.northing, utm.easting, "-N").latitude, 0.0);
  EXPECT_GT(UtmToLatLong(4992023.0, 496064.0, " +37N").latitude, 0.0);
}

TEST(FormatZone, WritesTheNumberAndN) {
  EXPECT_EQ(FormatZone(37), "37N");
  EXPECT_EQ(FormatZone(2), "2N");
  EXPECT_EQ(FormatZone(-1), "-1N");
}

TEST(RadiansToWholeDegrees, TruncatesTowardZero) {
  EXPECT_EQ(RadiansToWholeDegrees(0.0), 0);
  EXPECT_EQ(RadiansToWholeDegrees(1.5707963), 89);  // 89.99999...
  EXPECT_EQ(RadiansToWholeDegrees(3.1415), 179);
  EXPECT_EQ(RadiansToWholeDegrees(3.14159265), 180);  // 180.0000006
  EXPECT_EQ(RadiansToWholeDegrees(-0.5), -28);
  EXPECT_EQ(RadiansToWholeDegrees(6.28), 359);
  EXPECT_EQ(RadiansToWholeDegrees(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(RadiansToWholeDegrees(1e300), INT_MAX);
}

TEST(TruncToInt, SaturatesInsteadOfOverflowing) {
  EXPECT_EQ(TruncToInt(-2.7), -2);
  EXPECT_EQ(TruncToInt(2.7), 2);
  EXPECT_EQ(TruncToInt(-1e20), INT_MIN);
  EXPECT_EQ(TruncToInt(std::numeric_limits<double>::infinity()), INT_MAX);
}

TEST(ScopeRangeKm, FourAxesAtThirteenPixelsPerKm) {
  // 130 px at 13 px/km is 10 km, shown as 9.7266 -> 9.
  EXPECT_EQ(ScopeRangeKm(330, 300, 460, 300, 13, 330, 300), 9);
  EXPECT_EQ(ScopeRangeKm(330, 300, 200, 300, 13, 330, 300), 9);
  EXPECT_EQ(ScopeRangeKm(330, 300, 330, 170, 13, 330, 300), 9);
  EXPECT_EQ(ScopeRangeKm(330, 300, 330, 430, 13, 330, 300), 9);
  EXPECT_EQ(ScopeRangeKm(330, 300, 1630, 300, 13, 330, 300), 97);
  EXPECT_EQ(ScopeRangeKm(330, 300, 330, -1000, 13, 330, 300), 97);
  EXPECT_EQ(ScopeRangeKm(0, 0, 660, 0, 13, 330, 300), 49);
  EXPECT_EQ(ScopeRangeKm(330, 300, 730, 300, 4, 330, 300), 97);
}

TEST(ScopeRangeKm, EqualPointsAndZeroScale) {
  EXPECT_EQ(ScopeRangeKm(100, 100, 100, 100, 13, 330, 300), 0);
  EXPECT_EQ(ScopeRangeKm(330, 300, 330, 300, 13, 330, 300), 0);
  EXPECT_EQ(ScopeRangeKm(0, 0, 660, 0, 0, 330, 300), 0);
}

TEST(ScopeBearing, FourAxesDiagonalsAndEqualPoints) {
  EXPECT_DOUBLE_EQ(ScopeBearing(100, 100, 50, 100), 270.0);  // straight left
  // 90 + acos(0) x 57.29578 = 180.0000008, displayed as 180.
  EXPECT_NEAR(ScopeBearing(100, 100, 100, 150), 180.0, 1e-5);  // straight below
  EXPECT_DOUBLE_EQ(ScopeBearing(100, 100, 100, 50), 0.0);      // straight above: 90 - 90
  EXPECT_DOUBLE_EQ(ScopeBearing(100, 100, 150, 100), 90.0);    // straight right
  EXPECT_NEAR(ScopeBearing(100, 100, 150, 50), 45.0, 1e-4);
  EXPECT_NEAR(ScopeBearing(100, 100, 150, 150), 135.0, 1e-4);
  EXPECT_NEAR(ScopeBearing(100, 100, 50, 150), 225.0, 1e-4);
  EXPECT_NEAR(ScopeBearing(100, 100, 50, 50), 315.0, 1e-4);
  EXPECT_DOUBLE_EQ(ScopeBearing(100, 100, 100, 100), 0.0);
  // Just left of north comes out above 359 and is shown as 0.
  EXPECT_DOUBLE_EQ(ScopeBearing(1000, 1000, 999, 0), 0.0);
  EXPECT_NEAR(ScopeBearing(1000, 1000, 1001, 0), 0.0573, 1e-3);
}
