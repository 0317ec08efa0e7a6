// The paint pass draws a prepared frame and nothing else: it leaves the
// document alone, a frame paints the same picture however the table has
// moved on since, and the approach region answers as Qt's polygon does.
#include <gtest/gtest.h>

#include <QPolygon>

#include <random>
#include <vector>

#include "ScopeTestSupport.h"
#include "vantor/scope/ScopeArtwork.h"

namespace vantor::scope::test {
namespace {

TEST(PaintPass, LeavesTheDocumentAsItFindsIt) {
  PaintScene scene(800, 600, 20);
  scene.options.rangeRingsShown = false;
  scene.options.labelsShown = true;
  scene.options.coverageShown = true;
  scene.options.windDirectionDeg = 270;
  scene.geometry.SetAirfieldMode(true);
  scene.geometry.OnCentringCommand(kHomeAirfieldCommand, FixedCentre(kSeaCentre));
  scene.Report(QPoint(300, 250), {.id = 16777217, .name = "Su-27", .friendly = 0, .headingDeg = 90});
  scene.Report(QPoint(500, 350), {.id = 5, .name = "F-16C (Viper 1-1)", .friendly = 1});
  scene.Report(QPoint(200, 400), {.id = 6, .name = "HAWK SR", .friendly = 1, .kind = 'A', .speed = 0});
  const ScopeFrame& frame = scene.Prepare();
  ASSERT_EQ(frame.contacts.size(), 3u);
  QImage first(800, 600, QImage::Format_RGB32);
  scene.painter.Paint(first, frame);

  // Scribble over what a paint pass used to write, and move a contact on.
  for (model::CContact& contact : scene.document.Contacts()) contact.screenX = contact.screenY = -7;
  std::vector<bool> scribbledFlips;
  for (model::CAirfield& runway : scene.document.Airfields()) {
    runway.activeEndFlipped = !runway.activeEndFlipped;
    scribbledFlips.push_back(runway.activeEndFlipped);
  }
  scene.Report(QPoint(600, 100), {.id = 5, .name = "F-16C (Viper 1-1)", .friendly = 1});
  const int previousCommand = scene.geometry.PreviousCentringCommand();
  const int previousRange = scene.geometry.PreviousRangeKm();

  QImage again(800, 600, QImage::Format_RGB32);
  scene.painter.Paint(again, frame);
  for (const model::CContact& contact : scene.document.Contacts()) {
    EXPECT_EQ(contact.screenX, -7) << contact.id;
    EXPECT_EQ(contact.screenY, -7) << contact.id;
  }
  std::size_t runwayIndex = 0;
  for (const model::CAirfield& runway : scene.document.Airfields())
    EXPECT_EQ(runway.activeEndFlipped, scribbledFlips[runwayIndex++]) << runway.menuId;
  EXPECT_EQ(scene.geometry.PreviousCentringCommand(), previousCommand);
  EXPECT_EQ(scene.geometry.PreviousRangeKm(), previousRange);
  // The picture is the frame's: the contact is still drawn where it was.
  EXPECT_EQ(again, first);
}

TEST(PaintPass, PicturesOfAFrameAndOfAFullPassAgree) {
  PaintScene scene(800, 600);
  scene.options.labelsShown = true;
  scene.Report(QPoint(300, 250), {.id = 16777217, .name = "Su-27", .friendly = 0, .headingDeg = 45});
  const QImage whole = scene.Paint();
  QImage fromFrame(800, 600, QImage::Format_RGB32);
  scene.painter.Paint(fromFrame, scene.preparer.Frame());
  EXPECT_EQ(fromFrame, whole);
}

// The approach view tests contacts against the region as the scope's
// polygon region does: alternate fill, left and top edges inside.
TEST(ApproachRegion, AnswersAsQtsPolygonDoes) {
  std::mt19937 random(5);
  std::uniform_int_distribution<int> coordinate(-6, 6);
  model::CAirfield runway;
  for (int round = 0; round < 200; ++round) {
    const ScreenPoint end1{coordinate(random), coordinate(random)};
    const ScreenPoint end2{coordinate(random), coordinate(random)};
    const ApproachGeometry approach(runway, round % 2 == 0, end1, end2);
    QPolygon polygon;
    for (const ScreenPoint& corner : approach.Region()) polygon << QPoint(corner.x, corner.y);
    for (int y = -110; y <= 110; y += 3)
      for (int x = -110; x <= 110; x += 3)
        ASSERT_EQ(approach.InRegion({x, y}), polygon.containsPoint(QPoint(x, y), Qt::OddEvenFill))
            << "runway " << end1.x << "," << end1.y << " - " << end2.x << "," << end2.y << " at " << x << "," << y;
  }
}

}  // namespace
}  // namespace vantor::scope::test
