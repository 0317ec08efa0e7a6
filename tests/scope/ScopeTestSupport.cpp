#include "ScopeTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <mutex>

#include "vantor/geo/Geodesy.h"

namespace vantor::scope::test {

double HeadingRadians(int degrees) { return (degrees + 0.5) / geo::kHeadingRadToDeg; }

PaintScene::PaintScene(int width, int height, unsigned rangeKm, geo::GeoPoint centre) : width(width), height(height) {
  state.isBlue = 1;
  // Blue's AWACS overhead sees every moving aircraft over flat terrain.
  state.configBlock.awacsLatitude[0] = centre.latitude;
  state.configBlock.awacsLongitude[0] = centre.longitude;
  state.configBlock.awacsMode[0] = 9;
  state.configBlock.awacsRangeKm = 400;
  geometry.SetRangeKm(rangeKm);
  Resize(width, height);
  CentreOn(centre);
}

void PaintScene::Resize(int w, int h) {
  width = w;
  height = h;
  const PixelRect rect{0, 0, w, h};
  geometry.UpdateGeometry(rect, rect);
}

void PaintScene::CentreOn(geo::GeoPoint centre) { geometry.OnCentringCommand(kCarrierCommand, FixedCentre(centre)); }

const ScopeFrame& PaintScene::Prepare() {
  const LabelMetrics labels = painter.MeasureLabels(settings.fontSize);
  return preparer.Prepare(
      FrameSources{document, settings, geometry, options, status, map, markers, measure, width, height, labels});
}

QImage PaintScene::Paint() {
  QImage image(width, height, QImage::Format_RGB32);
  painter.Paint(image, Prepare());
  // VANTOR_SCOPE_TEST_DUMP=folder keeps every picture for a look.
  if (const char* folder = std::getenv("VANTOR_SCOPE_TEST_DUMP")) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    static int count = 0;
    image.save(QString("%1/%2.%3.%4.png").arg(folder, test->test_suite_name(), test->name()).arg(++count));
  }
  return image;
}

QPoint PaintScene::At(const geo::GeoPoint& position) const {
  const ScreenPoint point = geometry.GeoToScreen(position.latitude, position.longitude);
  return {point.x, point.y};
}

geo::GeoPoint PaintScene::GeoAt(int x, int y) const {
  const auto position = geometry.ScreenToGeo(x, y);
  EXPECT_TRUE(position.has_value());
  return position.value_or(geo::GeoPoint{});
}

geo::GeoPoint PaintScene::ExactlyAt(QPoint pixel) const {
  // Pixels truncate toward zero: aim at the pixel's middle.
  const geo::GeoPoint corner = GeoAt(pixel.x(), pixel.y());
  const geo::GeoPoint next = GeoAt(pixel.x() + 1, pixel.y() + 1);
  for (double fy : {0.5, 0.25, 0.75, 0.1, 0.9}) {
    for (double fx : {0.5, 0.25, 0.75, 0.1, 0.9}) {
      const geo::GeoPoint candidate{corner.latitude + (next.latitude - corner.latitude) * fy,
                                    corner.longitude + (next.longitude - corner.longitude) * fx};
      if (At(candidate) == pixel) return candidate;
    }
  }
  ADD_FAILURE() << "no position lands on pixel " << pixel.x() << "," << pixel.y();
  return corner;
}

void PaintScene::Report(QPoint pixel, const ContactReport& report) { Report(ExactlyAt(pixel), report); }

void PaintScene::Report(const geo::GeoPoint& position, const ContactReport& report) {
  document.UpdateContact(report.id, report.name, position.latitude, position.longitude, report.altitude,
                         HeadingRadians(report.headingDeg), report.friendly, report.kind, report.speed);
}

model::CContact& PaintScene::Contact(int id) {
  model::CContact* contact = document.FindContact(id);
  EXPECT_NE(contact, nullptr) << "contact " << id;
  if (contact == nullptr) std::abort();
  return *contact;
}

QColor PixelAt(const QImage& image, int x, int y) {
  if (!image.rect().contains(x, y)) return QColor(1, 2, 3);  // never a scope colour
  return QColor::fromRgb(image.pixel(x, y));
}

bool IsColour(const QImage& image, int x, int y, const QColor& colour) {
  return image.rect().contains(x, y) && QColor::fromRgb(image.pixel(x, y)).rgb() == colour.rgb();
}

bool IsColour(const QImage& image, QPoint at, const QColor& colour) { return IsColour(image, at.x(), at.y(), colour); }

bool ColourNear(const QImage& image, QPoint at, const QColor& colour, int reach) {
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx)
      if (IsColour(image, at.x() + dx, at.y() + dy, colour)) return true;
  return false;
}

int CountColour(const QImage& image, const QRect& area, const QColor& colour) {
  return CountNearColour(image, area, colour, 0);
}

int CountNearColour(const QImage& image, const QRect& area, const QColor& colour, int tolerance) {
  int count = 0;
  const QRect clipped = area.intersected(image.rect());
  for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
    for (int x = clipped.left(); x <= clipped.right(); ++x) {
      const QColor pixel = QColor::fromRgb(image.pixel(x, y));
      if (std::abs(pixel.red() - colour.red()) <= tolerance && std::abs(pixel.green() - colour.green()) <= tolerance &&
          std::abs(pixel.blue() - colour.blue()) <= tolerance)
        ++count;
    }
  }
  return count;
}

bool AllBlack(const QImage& image, const QRect& area) {
  return CountColour(image, area, Qt::black) ==
         area.intersected(image.rect()).width() * area.intersected(image.rect()).height();
}

}  // namespace vantor::scope::test
