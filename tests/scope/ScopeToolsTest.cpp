// The scope's mouse and key tools, without a window: hit test, labels held
// by the buttons, picking, drawing, measuring, markers, undo, cursors.
#include <gtest/gtest.h>

#include <cstdlib>

#include "ScopeTestSupport.h"
#include "vantor/scope/ScopeTools.h"

namespace vantor::scope::test {
namespace {

// Screen to map and back may land a pixel short (truncation).
bool Near(QPoint a, QPoint b) { return std::abs(a.x() - b.x()) <= 1 && std::abs(a.y() - b.y()) <= 1; }

class Tools : public ::testing::Test {
 protected:
  void SetUp() override { tools.SetDrawing(&scene.map.drawing); }
  void Place(int id, QPoint at) {
    scene.Report(at, {.id = id, .name = "Su-27", .friendly = 0});
    scene.Contact(id).screenX = at.x();
    scene.Contact(id).screenY = at.y();
  }

 public:
  PaintScene scene{800, 600};
  ScopeTools tools{scene.document, scene.geometry, scene.options};
};

TEST_F(Tools, HitTestSquareIncludesLeftAndTopEdgesOnly) {
  Place(1, {100, 100});
  EXPECT_EQ(HitTestContact(scene.document, 100, 100), 1);
  EXPECT_EQ(HitTestContact(scene.document, 95, 100), 1);              // 5 left
  EXPECT_EQ(HitTestContact(scene.document, 105, 100), std::nullopt);  // 5 right
  EXPECT_EQ(HitTestContact(scene.document, 104, 104), 1);
  EXPECT_EQ(HitTestContact(scene.document, 100, 95), 1);
  EXPECT_EQ(HitTestContact(scene.document, 100, 105), std::nullopt);
  EXPECT_EQ(HitTestContact(scene.document, 94, 100), std::nullopt);
}

TEST_F(Tools, LaterContactWinsAndUndrawnOnesAreNeverHit) {
  Place(1, {100, 100});
  Place(2, {103, 100});
  EXPECT_EQ(HitTestContact(scene.document, 101, 100), 2);
  EXPECT_EQ(HitTestContact(scene.document, 97, 100), 1);
  Place(3, {0, 50});
  Place(4, {50, 0});
  EXPECT_EQ(HitTestContact(scene.document, 0, 50), std::nullopt);
  EXPECT_EQ(HitTestContact(scene.document, 2, 50), std::nullopt);
  EXPECT_EQ(HitTestContact(scene.document, 50, 0), std::nullopt);
}

TEST_F(Tools, LeftButtonHoldsLabelsUnlessThePanelKeepsThem) {
  tools.OnButtonDown(MouseButton::Left, {10, 10});
  EXPECT_TRUE(scene.options.labelsShown);
  tools.OnButtonUp(MouseButton::Left);
  EXPECT_FALSE(scene.options.labelsShown);
  scene.options.labelsOption = true;
  tools.OnButtonDown(MouseButton::Left, {10, 10});
  tools.OnButtonUp(MouseButton::Left);
  EXPECT_TRUE(scene.options.labelsShown);
}

TEST_F(Tools, MiddleButtonHidesLabelsOnReleaseWhateverThePanelSays) {
  scene.options.labelsOption = true;
  tools.OnButtonDown(MouseButton::Middle, {10, 10});
  EXPECT_TRUE(scene.options.labelsShown);
  tools.OnButtonUp(MouseButton::Middle);
  EXPECT_FALSE(scene.options.labelsShown);
}

TEST_F(Tools, PickingPassesTheHitContact) {
  Place(1, {100, 100});
  tools.SetPickingMode(true);
  EXPECT_EQ(tools.OnButtonDown(MouseButton::Left, {102, 99}).pickedContact, 1);
  EXPECT_FALSE(scene.options.labelsShown);
  EXPECT_EQ(tools.OnButtonDown(MouseButton::Left, {300, 300}).pickedContact, std::nullopt);
  EXPECT_EQ(tools.Cursor(), ScopeCursor::PointingHand);
}

TEST_F(Tools, DrawingModeAddsPointsInsteadOfPickingOrLabels) {
  Place(1, {100, 100});
  tools.SetPickingMode(true);
  scene.map.drawing.StartDrawing();
  EXPECT_EQ(tools.Cursor(), ScopeCursor::UpArrow);
  const ToolRequest request = tools.OnButtonDown(MouseButton::Left, {100, 100});
  EXPECT_FALSE(request.pickedContact.has_value());
  EXPECT_FALSE(scene.options.labelsShown);
  ASSERT_EQ(scene.map.drawing.Size(), 2u);  // the separator and the point
  const geo::GeoPoint point = scene.map.drawing.Points().back();
  EXPECT_TRUE(Near(scene.At(point), QPoint(100, 100)));
  // Undo takes points back one by one, the separator too, only while drawing.
  EXPECT_TRUE(tools.OnUndo());
  EXPECT_TRUE(tools.OnUndo());
  EXPECT_FALSE(tools.OnUndo());
  scene.map.drawing.StartDrawing();
  scene.map.drawing.StopDrawing();
  EXPECT_FALSE(tools.OnUndo());
  EXPECT_EQ(scene.map.drawing.Size(), 1u);
  EXPECT_EQ(tools.Cursor(), ScopeCursor::PointingHand);
  tools.SetPickingMode(false);
  EXPECT_EQ(tools.Cursor(), ScopeCursor::Cross);
}

TEST_F(Tools, RightButtonMeasuresWhileHeld) {
  EXPECT_FALSE(tools.MeasureTo({5, 5}).has_value());
  tools.OnButtonDown(MouseButton::Right, {200, 300});
  ASSERT_TRUE(tools.MeasureTo({200, 300}).has_value());
  // Without a move the range and bearing read 0.
  const MeasureLine still = *tools.MeasureTo({200, 300});
  EXPECT_EQ(MeasureText(
                geo::ScopeRangeKm(still.anchor.x(), still.anchor.y(), still.cursor.x(), still.cursor.y(), 16, 400, 300),
                geo::ScopeBearing(still.anchor.x(), still.anchor.y(), still.cursor.x(), still.cursor.y()), false),
            "0 KM ( CAP: 0 )");
  EXPECT_EQ(tools.MeasureTo({400, 300})->cursor, QPoint(400, 300));
  tools.OnButtonUp(MouseButton::Right);
  EXPECT_FALSE(tools.MeasureTo({400, 300}).has_value());
}

TEST_F(Tools, DoubleClicks) {
  Place(1, {100, 100});
  EXPECT_EQ(tools.OnDoubleClick(MouseButton::Left, {101, 101}).callsignContact, 1);
  EXPECT_FALSE(tools.OnDoubleClick(MouseButton::Left, {200, 200}).callsignContact.has_value());
  // Right double-click re-centres within the theatre.
  const geo::GeoPoint target = scene.GeoAt(500, 200);
  EXPECT_TRUE(tools.OnDoubleClick(MouseButton::Right, {500, 200}).recentred);
  EXPECT_NEAR(scene.geometry.Centre().latitude, target.latitude, 1e-9);
  EXPECT_EQ(scene.geometry.CentringCommand(), kCarrierCommand);  // the command stays
}

TEST_F(Tools, SpaceBarDropsMarkersAtTheCursor) {
  EXPECT_TRUE(tools.OnKey(Qt::Key_Space, QPoint(300, 250)));
  EXPECT_TRUE(tools.OnKey(Qt::Key_Space, QPoint(500, 250)));
  EXPECT_FALSE(tools.OnKey(Qt::Key_A, QPoint(300, 250)));
  ASSERT_EQ(tools.Markers().size(), 2u);
  EXPECT_TRUE(Near(scene.At(tools.Markers()[0]), QPoint(300, 250)));
  // No cursor position known: nothing dropped.
  EXPECT_TRUE(tools.OnKey(Qt::Key_Space, std::nullopt));
  EXPECT_EQ(tools.Markers().size(), 2u);
}

}  // namespace
}  // namespace vantor::scope::test
