// The scope widget: first showing, navigation by wheel and double-click,
// the tools through real mouse and key events, the 500 ms timer, settings
// and the drawing file.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <chrono>
#include <fstream>

#include "ScopeTestSupport.h"
#include "TestSupport.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/scope/CRivakView.h"
#include "vantor/scope/ScopeMapData.h"
#include "vantor/texts/Texts.h"

namespace vantor::scope::test {
namespace {

class View : public ::testing::Test {
 protected:
  // A view with empty map data (no files read), shown at 800 x 600.
  std::unique_ptr<CRivakView> Make(SettingsStore* store = nullptr) {
    auto view = std::make_unique<CRivakView>(CRivakView::Environment{document, settings, store, {}});
    view->SetMapData(std::make_unique<ScopeMapData>());
    view->resize(800, 600);
    return view;
  }
  void Wheel(CRivakView& view, int delta) {
    QWheelEvent event(QPointF(400, 300), view.mapToGlobal(QPointF(400, 300)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&view, &event);
  }

 public:
  model::ClientState state;
  model::CRivakDoc document{state};
  model::ClientSettings settings;
};

TEST_F(View, FirstShowingCentresOnKrasnodarAt50Km) {
  auto view = Make();
  QSignalSpy centring(view.get(), &CRivakView::CentringChanged);
  view->show();
  EXPECT_EQ(view->CentringCommand(), kHomeAirfieldCommand);
  EXPECT_EQ(view->RangeKm(), 50u);
  ASSERT_EQ(centring.count(), 1);
  const auto result = centring.at(0).at(0).value<CentringResult>();
  EXPECT_EQ(result.checkAirfieldCommand, kHomeAirfieldCommand);
  EXPECT_EQ(view->Geometry().Screen().width, 800);
  EXPECT_EQ(view->Geometry().PixelsPerKm(), 16);
  // The runway of Krasnodar Center lies in the middle of the picture.
  const QImage picture = view->RenderImage();
  EXPECT_EQ(picture.size(), QSize(800, 600));
  EXPECT_GT(CountColour(picture, QRect(370, 290, 60, 20), QColor(233, 233, 233)), 20);
}

TEST_F(View, WheelStepsTheRangeAndTellsThePanel) {
  auto view = Make();
  view->show();
  QSignalSpy ranges(view.get(), &CRivakView::RangeChanged);
  Wheel(*view, -120);
  EXPECT_EQ(view->RangeKm(), 100u);
  ASSERT_EQ(ranges.count(), 1);
  EXPECT_EQ(ranges.at(0).at(0).toUInt(), 100u);
  EXPECT_EQ(ranges.at(0).at(1).toInt(), 1038);
  settings.imperial = 1;
  Wheel(*view, 120);
  EXPECT_EQ(view->RangeKm(), 50u);
  EXPECT_EQ(ranges.at(1).at(1).toInt(), 137);
  // A fine wheel turns one step per notch's worth.
  Wheel(*view, 40);
  Wheel(*view, 40);
  EXPECT_EQ(view->RangeKm(), 50u);
  Wheel(*view, 40);
  EXPECT_EQ(view->RangeKm(), 20u);
  // In airfield mode beyond 99 km the wheel does nothing, but the panel still
  // hears of it.
  view->SetRangeKm(100);
  view->SetAirfieldMode(true);
  ranges.clear();
  Wheel(*view, 120);
  EXPECT_EQ(view->RangeKm(), 100u);
  ASSERT_EQ(ranges.count(), 1);
  EXPECT_EQ(ranges.at(0).at(1).toInt(), 0);
}

TEST_F(View, RightDoubleClickRecentres) {
  auto view = Make();
  view->show();
  const auto before = view->Geometry().Centre();
  const auto target = view->Geometry().ScreenToGeo(600, 200);
  QTest::mouseDClick(view.get(), Qt::RightButton, Qt::NoModifier, QPoint(600, 200));
  EXPECT_NE(view->Geometry().Centre(), before);
  EXPECT_NEAR(view->Geometry().Centre().latitude, target->latitude, 1e-9);
  EXPECT_EQ(view->CentringCommand(), kHomeAirfieldCommand);
  EXPECT_FALSE(view->Tools().Measuring());
}

TEST_F(View, MouseToolsThroughRealEvents) {
  auto view = Make();
  view->show();
  QSignalSpy picks(view.get(), &CRivakView::ContactPicked);
  QSignalSpy dialogs(view.get(), &CRivakView::CallsignRequested);
  document.UpdateContact(42, "Su-27", 45.2, 39.1, 3000, 0, 0, 'B', 400);
  view->RenderImage();  // the frame of the paint writes the screen point
  const model::CContact* contact = document.FindContact(42);
  const QPoint at(contact->screenX, contact->screenY);

  QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_TRUE(view->Options().labelsShown);
  QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_FALSE(view->Options().labelsShown);

  view->SetPickingMode(true);
  EXPECT_EQ(view->cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, at + QPoint(3, 3));
  ASSERT_EQ(picks.count(), 1);
  EXPECT_EQ(picks.at(0).at(0).toInt(), 42);
  view->SetPickingMode(false);
  EXPECT_EQ(view->cursor().shape(), Qt::CrossCursor);

  QTest::mouseDClick(view.get(), Qt::LeftButton, Qt::NoModifier, at);
  ASSERT_EQ(dialogs.count(), 1);
  EXPECT_EQ(dialogs.at(0).at(0).toInt(), 42);
  // Nothing under the cursor: no dialog, and outside picking mode no pick.
  QTest::mouseDClick(view.get(), Qt::LeftButton, Qt::NoModifier, at + QPoint(60, 60));
  QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_EQ(dialogs.count(), 1);
  EXPECT_EQ(picks.count(), 1);

  // The measuring line follows the cursor to the next paint.
  QTest::mousePress(view.get(), Qt::RightButton, Qt::NoModifier, QPoint(200, 300));
  QTest::mouseMove(view.get(), QPoint(400, 300));
  EXPECT_TRUE(view->Tools().Measuring());
  QImage picture = view->RenderImage();
  EXPECT_GT(CountColour(picture, QRect(210, 300, 180, 1), QColor(200, 255, 200)), 50);
  QTest::mouseRelease(view.get(), Qt::RightButton, Qt::NoModifier, QPoint(400, 300));
  picture = view->RenderImage();
  EXPECT_EQ(CountColour(picture, QRect(210, 300, 180, 1), QColor(200, 255, 200)), 0);
}

TEST_F(View, SpaceBarMarkersAndUndoKeys) {
  auto view = Make();
  view->show();
  view->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
  view->setFocus();
  QTest::mouseMove(view.get(), QPoint(300, 200));
  QTest::keyClick(view.get(), Qt::Key_Space);
  ASSERT_EQ(view->Tools().Markers().size(), 1u);
  EXPECT_EQ(CountColour(view->RenderImage(), QRect(290, 190, 20, 20), QColor(0, 255, 0)), 16);

  view->StartDrawing();
  EXPECT_EQ(view->cursor().shape(), Qt::UpArrowCursor);
  QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 200));
  QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
  EXPECT_EQ(view->MapData()->drawing.Size(), 3u);
  QTest::keyClick(view.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(view->MapData()->drawing.Size(), 2u);
  QTest::keyClick(view.get(), Qt::Key_Backspace, Qt::AltModifier);
  EXPECT_EQ(view->MapData()->drawing.Size(), 1u);
  view->StopDrawing();
  QTest::keyClick(view.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(view->MapData()->drawing.Size(), 1u);
}

TEST_F(View, RangeRingOptionIsReadAndStoredBack) {
  QTemporaryDir dir;
  auto store = SettingsStore::OpenFile(dir.filePath("rivak.ini"));
  store->WriteInt("config", "ViewCircle", 0);
  store->WriteInt("config", "Intensity", 150);
  {
    auto view = Make(store.get());
    EXPECT_FALSE(view->Options().rangeRingsShown);
    EXPECT_EQ(view->Options().coastlineIntensity, 150);
    view->Options().rangeRingsShown = true;
  }
  EXPECT_EQ(store->ReadInt("config", "ViewCircle", 7), 1);
  auto fresh = Make(nullptr);
  EXPECT_TRUE(fresh->Options().rangeRingsShown);
  EXPECT_EQ(fresh->Options().coastlineIntensity, kDefaultCoastlineIntensity);
}

TEST_F(View, MapFilesAreReadAtTheFirstShowingAndTheDrawingSavedAtTheEnd) {
  QTemporaryDir dir;
  {
    std::ofstream drawing(dir.filePath("dessin.dat").toStdString());
    drawing << "0.000000\t0.000000\n45.100000\t38.900000\n";
  }
  std::vector<std::filesystem::path> folders{dir.path().toStdString(), vantor::test::BinDir().toStdString()};
  {
    CRivakView view(CRivakView::Environment{document, settings, nullptr, folders});
    QSignalSpy missing(&view, &CRivakView::MapDataMissing);
    view.resize(640, 480);
    view.show();
    EXPECT_EQ(missing.count(), 0);  // elevation.dat beside the programs
    ASSERT_NE(view.MapData(), nullptr);
    EXPECT_TRUE(view.MapData()->ElevationLoaded());
    EXPECT_TRUE(view.MapData()->coastline.Loaded());
    EXPECT_EQ(view.MapData()->drawing.Size(), 2u);
    view.StartDrawing();
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
  }
  std::ifstream saved(dir.filePath("dessin.dat").toStdString());
  int lines = 0;
  for (std::string line; std::getline(saved, line);) ++lines;
  EXPECT_EQ(lines, 4);  // the old stroke, a separator, the new point
}

TEST_F(View, MissingTerrainIsReported) {
  QTemporaryDir empty;
  CRivakView view(CRivakView::Environment{document, settings, nullptr, {empty.path().toStdString()}});
  QSignalSpy missing(&view, &CRivakView::MapDataMissing);
  view.resize(640, 480);
  view.show();
  ASSERT_EQ(missing.count(), 1);
  EXPECT_EQ(missing.at(0).at(0).toString(), "Install corrupt. File elevation.dat not found!");
  EXPECT_FALSE(view.MapData()->coastline.Loaded());
  // The scope still paints.
  EXPECT_FALSE(view.RenderImage().isNull());
}

// The one real-time check of the geometry timer: two ticks in about a
// second, each counting the AWACS warning down.
TEST_F(View, TimerTicksEvery500Milliseconds) {
  state.awacsSeen = 1;
  state.awacsLostTicks = 40;
  auto view = Make();
  view->show();  // showing updates the geometry (and the flags) at once
  const int shown = state.awacsLostTicks;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(vantor::test::WaitUntil([&] { return state.awacsLostTicks <= shown - 2; }, std::chrono::seconds(5)));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(900));
  EXPECT_LT(elapsed, std::chrono::milliseconds(2500));  // a loaded machine delays timers
  EXPECT_TRUE(view->Status().awacsLost);
}

TEST_F(View, CentringCommandsAndSidePanel) {
  auto view = Make();
  view->show();
  QSignalSpy centring(view.get(), &CRivakView::CentringChanged);
  view->OnCentringCommand(32701);  // Anapa
  ASSERT_EQ(centring.count(), 1);
  const auto result = centring.at(0).at(0).value<CentringResult>();
  EXPECT_EQ(result.uncheckAirfieldCommand, kHomeAirfieldCommand);
  EXPECT_EQ(result.checkAirfieldCommand, 32701);
  // A radar command without that radar changes nothing.
  view->OnCentringCommand(kFirstRadarCommand + 3);
  EXPECT_EQ(centring.count(), 1);
  EXPECT_EQ(view->CentringCommand(), 32701);
  // The side panel back: 400 km falls to 300 and the panel hears of it.
  view->SetSidePanelHidden(true);
  view->SetRangeKm(400);
  QSignalSpy ranges(view.get(), &CRivakView::RangeChanged);
  view->SetSidePanelHidden(false);
  EXPECT_EQ(view->RangeKm(), 300u);
  ASSERT_EQ(ranges.count(), 1);
  EXPECT_EQ(ranges.at(0).at(1).toInt(), 1040);
}

}  // namespace
}  // namespace vantor::scope::test
