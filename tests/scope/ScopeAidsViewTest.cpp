// The controller's aids on the picture and through the widget's real
// events: the bullseye symbol and the labels' extra lines, the flashing
// conflict highlight and its list, the BRAA gesture, the context menu that
// places the bullseye, the cursor readout.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ScopeTestSupport.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/scope/ScopeMapData.h"
#include "vantor/scope/TacticalReadouts.h"

namespace vantor::scope::test {
namespace {

const QColor kBullseyeColour(80, 200, 255);
const QColor kLabelText(245, 255, 64);
const QColor kConflictColour(255, 140, 0);
const QColor kBraaRing(245, 255, 64);

// Pixels other than black: texts are drawn smoothed, so few of their pixels
// have the text colour itself.
int Lit(const QImage& image, const QRect& area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.valid(x, y) && (image.pixel(x, y) & 0xFFFFFF) != 0) ++count;
  return count;
}

TEST(AidsPicture, BullseyeSymbolAndTheHostileLabelsExtraLine) {
  PaintScene scene;
  scene.options.rangeRingsShown = false;
  scene.options.labelsShown = true;
  const geo::GeoPoint bullseye = scene.ExactlyAt({300, 200});
  scene.settings.bullseyeLatitude = bullseye.latitude;
  scene.settings.bullseyeLongitude = bullseye.longitude;
  scene.Report(QPoint(500, 400), {.id = 16777300, .name = "Su-27", .friendly = 0});
  // The third line sits right-aligned under the second: anchor (490, 390).
  const QRect thirdLine(380, 390, 100, 12);

  QImage plain = scene.Paint();  // placed but switched off
  EXPECT_EQ(CountColour(plain, QRect(270, 170, 61, 61), kBullseyeColour), 0);
  EXPECT_EQ(Lit(plain, thirdLine), 0);

  scene.settings.bullseye = true;
  const QImage shown = scene.Paint();
  // The three rings cross the horizontal through the centre 6, 12 and 18
  // pixels out; the cross reaches 22.
  for (const int radius : {6, 12, 18}) {
    EXPECT_EQ(shown.pixelColor(300 + radius, 190).rgb() == kBullseyeColour.rgb() ||
                  CountColour(shown, QRect(300 + radius - 1, 195, 3, 10), kBullseyeColour) > 0,
              true)
        << radius;
  }
  EXPECT_EQ(shown.pixelColor(300 + 22, 200).rgb(), kBullseyeColour.rgb());
  EXPECT_EQ(shown.pixelColor(300, 200 - 22).rgb(), kBullseyeColour.rgb());
  EXPECT_GT(Lit(shown, thirdLine), 20);
  // The two lines above are where they always were.
  EXPECT_EQ(shown.copy(380, 366, 100, 24), plain.copy(380, 366, 100, 24));
}

TEST(AidsPicture, ConflictRingsFlashTheLineAndListStay) {
  PaintScene scene;
  scene.options.rangeRingsShown = false;
  const int quietTop = Lit(scene.Paint(), QRect(70, 48, 300, 12));  // the frame's edge may reach in
  scene.settings.conflictAlert = true;
  scene.Report(QPoint(300, 300), {.id = 1, .name = "F-16C (Colt)", .headingDeg = 90, .speed = 800.0});
  scene.Report(QPoint(420, 300), {.id = 2, .name = "F-16C (Uzi)", .headingDeg = 270, .speed = 800.0});
  scene.options.alertFlashOn = true;
  const QImage lit = scene.Paint();
  ASSERT_EQ(scene.preparer.Frame().conflicts.size(), 1u);
  EXPECT_GT(CountColour(lit, QRect(320, 299, 80, 3), kConflictColour), 60);      // the joining line
  EXPECT_GT(CountColour(lit, QRect(300 - 13, 285, 4, 30), kConflictColour), 0);  // ring, left of the first
  EXPECT_GT(Lit(lit, QRect(70, 48, 300, 12)), quietTop + 60);                    // "CONFLICT ..."

  scene.options.alertFlashOn = false;
  const QImage dark = scene.Paint();
  EXPECT_GT(CountColour(dark, QRect(320, 299, 80, 3), kConflictColour), 60);
  EXPECT_EQ(CountColour(dark, QRect(300 - 13, 285, 4, 30), kConflictColour), 0);
  EXPECT_GT(Lit(dark, QRect(70, 48, 300, 12)), quietTop + 60);

  scene.settings.conflictAlert = false;
  const QImage off = scene.Paint();
  EXPECT_EQ(CountColour(off, QRect(0, 0, 800, 600), kConflictColour), 0);
  EXPECT_EQ(Lit(off, QRect(70, 48, 300, 12)), quietTop);
}

class AidsView : public ::testing::Test {
 protected:
  std::unique_ptr<CRivakView> Make() {
    auto view = std::make_unique<CRivakView>(CRivakView::Environment{document, settings, store.get(), {}});
    view->SetMapData(std::make_unique<ScopeMapData>());
    view->resize(800, 600);
    view->show();
    return view;
  }
  QPoint Place(CRivakView& view, int id, double lat, double lon, int friendly) {
    document.UpdateContact(id, friendly ? "F-16C (Viper)" : "Su-27", lat, lon, 3000, 0, friendly, 'B', 400);
    view.RenderImage();  // the frame writes the screen point
    const model::CContact* contact = document.FindContact(id);
    return {contact->screenX, contact->screenY};
  }

 public:
  QTemporaryDir dir;
  std::unique_ptr<SettingsStore> store = SettingsStore::OpenFile(dir.filePath("rivak.ini"));
  model::ClientState state;
  model::CRivakDoc document{state};
  model::ClientSettings settings;
};

TEST_F(AidsView, CtrlClickChoosesTheFriendlyForBraaAndAgainEndsIt) {
  auto view = Make();
  const QPoint friendly = Place(*view, 7, 45.2, 39.0, 1);
  const QPoint hostile = Place(*view, 16777300, 45.3, 39.1, 0);

  // Off: Ctrl + left is the plain left button, holding the labels.
  QTest::mousePress(view.get(), Qt::LeftButton, Qt::ControlModifier, friendly);
  EXPECT_TRUE(view->Options().labelsShown);
  EXPECT_FALSE(view->Options().braaFriendly);
  QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::ControlModifier, friendly);

  settings.showBraa = true;
  QTest::mouseClick(view.get(), Qt::LeftButton, Qt::ControlModifier, friendly + QPoint(2, -3));
  EXPECT_EQ(view->Options().braaFriendly, 7);
  EXPECT_FALSE(view->Options().labelsShown);  // the gesture leaves the labels alone
  QImage picture = view->RenderImage();
  ASSERT_TRUE(view->Frame().braaFriendly);
  EXPECT_GT(CountColour(picture, QRect(friendly.x() - 11, friendly.y() - 11, 23, 23), kBraaRing), 10);

  QTest::mouseClick(view.get(), Qt::LeftButton, Qt::ControlModifier, friendly);
  EXPECT_FALSE(view->Options().braaFriendly);
  QTest::mouseClick(view.get(), Qt::LeftButton, Qt::ControlModifier, friendly);
  EXPECT_EQ(view->Options().braaFriendly, 7);
  // A hostile, or empty space, ends the calls.
  QTest::mouseClick(view.get(), Qt::LeftButton, Qt::ControlModifier, hostile);
  EXPECT_FALSE(view->Options().braaFriendly);
}

TEST_F(AidsView, CtrlRightClickMenuPlacesTheBullseyeAndStoresIt) {
  auto view = Make();
  view->RenderImage();
  const QPoint at(250, 180);
  // Both aids off: Ctrl + right click measures, as it always did.
  QTest::mousePress(view.get(), Qt::RightButton, Qt::ControlModifier, at);
  EXPECT_TRUE(view->Tools().Measuring());
  QTest::mouseRelease(view.get(), Qt::RightButton, Qt::ControlModifier, at);

  settings.bullseye = true;  // switched on in the dialog, not placed yet
  bool menuSeen = false;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    menuSeen = true;
    ASSERT_EQ(menu->actions().size(), 3);
    EXPECT_FALSE(menu->actions()[1]->isEnabled());  // nothing to remove yet
    EXPECT_FALSE(menu->actions()[2]->isEnabled());  // no BRAA calls to end
    menu->setActiveAction(menu->actions()[0]);
    QTest::keyClick(menu, Qt::Key_Return);
  });
  QTest::mousePress(view.get(), Qt::RightButton, Qt::ControlModifier, at + QPoint(1, 0));
  QTest::mouseRelease(view.get(), Qt::RightButton, Qt::ControlModifier, at + QPoint(1, 0));
  EXPECT_TRUE(menuSeen);
  EXPECT_FALSE(view->Tools().Measuring());  // the measuring tool never saw it

  const auto expected = view->Geometry().ScreenToGeo(at.x() + 1, at.y());
  ASSERT_TRUE(expected);
  EXPECT_TRUE(settings.bullseye);
  EXPECT_DOUBLE_EQ(settings.bullseyeLatitude, expected->latitude);
  const model::ClientSettings stored = model::ClientSettings::Load(*store);
  EXPECT_TRUE(stored.bullseye);
  EXPECT_NEAR(stored.bullseyeLatitude, expected->latitude, 1e-6);
  EXPECT_NEAR(stored.bullseyeLongitude, expected->longitude, 1e-6);
  view->RenderImage();
  ASSERT_TRUE(view->Frame().bullseye);
  EXPECT_LE(std::abs(view->Frame().bullseye->x - (at.x() + 1)), 1);
  EXPECT_LE(std::abs(view->Frame().bullseye->y - at.y()), 1);

  view->RemoveBullseye();
  EXPECT_FALSE(model::ClientSettings::Load(*store).bullseye);
  EXPECT_NEAR(model::ClientSettings::Load(*store).bullseyeLatitude, expected->latitude, 1e-6);  // kept
}

TEST_F(AidsView, CursorReadoutFollowsTheMouseOnlyWhileSwitchedOn) {
  auto view = Make();
  view->RenderImage();
  QTest::mouseMove(view.get(), QPoint(200, 200));
  EXPECT_FALSE(view->CursorReadout()->isVisible());

  settings.showCursorReadout = true;
  settings.bullseye = true;
  settings.bullseyeLatitude = 45.0;
  settings.bullseyeLongitude = 39.0;
  for (const QPoint at : {QPoint(300, 250), QPoint(520, 410)}) {
    QTest::mouseMove(view.get(), at);
    ASSERT_TRUE(view->CursorReadout()->isVisible());
    const auto position = view->Geometry().ScreenToGeo(at.x(), at.y());
    EXPECT_EQ(view->CursorReadout()->Lines(), CursorReadoutLines(*position, geo::GeoPoint{45.0, 39.0}, false));
  }
  // In the top right corner, clear of the frame.
  const QRect box = view->CursorReadout()->geometry();
  EXPECT_GT(box.left(), 400);
  EXPECT_LE(box.right(), 800 - 42);
  EXPECT_GE(box.top(), 42);

  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(view.get(), &leave);
  EXPECT_FALSE(view->CursorReadout()->isVisible());
  view->Tick();  // the timer does not bring it back while the mouse is away
  EXPECT_FALSE(view->CursorReadout()->isVisible());
}

}  // namespace
}  // namespace vantor::scope::test
