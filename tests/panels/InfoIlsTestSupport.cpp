#include "InfoIlsTestSupport.h"

#include <gtest/gtest.h>

#include <QString>

#include <cmath>
#include <cstdlib>

#include "vantor/geo/Geodesy.h"
#include "vantor/scope/SensorVisibility.h"

namespace vantor::shell::test {
namespace {

// Bisection on the measured distance itself, so the result is exactly as
// far as the code under test will find it (to a micrometre).
template <typename Move>
geo::GeoPoint Along(geo::GeoPoint from, double km, Move move) {
  double low = 0.0, high = 1.0;
  for (int i = 0; i < 200; ++i) {
    const double mid = (low + high) / 2;
    const geo::GeoPoint at = move(mid);
    if (scope::ChordDistanceKm(from.latitude, from.longitude, at.latitude, at.longitude) < km)
      low = mid;
    else
      high = mid;
  }
  return move(high);
}

}  // namespace

geo::GeoPoint NorthOf(geo::GeoPoint from, double km) {
  return Along(from, km, [from](double d) { return geo::GeoPoint{from.latitude + d, from.longitude}; });
}

geo::GeoPoint EastOf(geo::GeoPoint from, double km) {
  return Along(from, km, [from](double d) { return geo::GeoPoint{from.latitude, from.longitude + d}; });
}

int BrightestGreen(const QImage& image, const QRect& area) {
  int brightest = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (qRed(pixel) == 0 && qBlue(pixel) == 0) brightest = std::max(brightest, qGreen(pixel));
    }
  return brightest;
}

int Lit(const QImage& image, const QRect& area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if ((image.pixel(x, y) & 0xffffff) != 0) ++count;
  return count;
}

const QImage& Dumped(const QImage& image) {
  if (const char* folder = std::getenv("VANTOR_PANELS_TEST_DUMP")) {
    static int count = 0;
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    image.save(QString("%1/%2.%3.%4.png").arg(folder, test->test_suite_name(), test->name()).arg(++count));
  }
  return image;
}

}  // namespace vantor::shell::test
