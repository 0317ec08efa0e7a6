// The information panel as a widget: the lines a screen has room for, the
// active channel, the friendly list, the comparison blocks filled by
// picking contacts with real clicks on a real scope, the side column's
// expand and collapse requests, and the centring check in ATC mode.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "InfoIlsScene.h"
#include "InfoIlsTestSupport.h"
#include "ScopeTestSupport.h"
#include "vantor/shell/CInfoView.h"

namespace vantor::shell::test {
namespace {

constexpr int kWidth = 330;
constexpr int kHeight = 600;

class InfoView : public InfoIlsScene {
 protected:
  InfoView() {
    info.resize(kWidth, kHeight);
    info.SetClock([] { return std::int64_t{1'000'000}; });
    info.SetScreenHeightSource([this] { return screenHeight; });
    channels.Name(0, 3, "Tower");
    channels.Name(1, 4, "Approach");
    channels.assigned = {3, 4, 3, 4, 3, 4};
    info.show();
  }
  QImage Picture() { return Dumped(info.RenderImage()); }
  // The band of channel line `slot` (0 ... 5).
  static QRect ChannelBand(int slot) { return QRect(30, 75 + 20 * slot, 250, 16); }
  static QRect BlockBand(int block, int topUp, int bottomUp) {
    const int left = block == 0 ? 25 : kWidth / 2 + 5;
    const int right = block == 0 ? kWidth / 2 - 5 : kWidth - 25;
    return QRect(left, kHeight - topUp, right - left, topUp - bottomUp);
  }
  void Click(QWidget* widget, QPoint at = QPoint()) {
    if (at.isNull())
      QTest::mouseClick(widget, Qt::LeftButton);
    else
      QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
  }

 public:
  int screenHeight = 1200;
  FakeChannels channels;
  CInfoView info{context, &scope, &channels};
};

TEST_F(InfoView, ChannelLinesByScreenHeight) {
  for (int height : {850, 851, 880, 881, 1020}) {
    screenHeight = height;
    const QImage picture = Picture();
    for (int slot = 0; slot < 4; ++slot) EXPECT_GT(Lit(picture, ChannelBand(slot)), 20) << height << " " << slot;
    EXPECT_EQ(Lit(picture, ChannelBand(4)) > 0, height >= 851) << height;
    EXPECT_EQ(Lit(picture, ChannelBand(5)) > 0, height >= 881) << height;
  }
}

TEST_F(InfoView, TheFriendlyListNeedsMoreThan1020Pixels) {
  document.UpdateContact(1, "F-16C (Viper)", 45.0, 38.0, 3000, 0, true, 'B', 500);
  document.UpdateContact(2, "F-15C (Eagle)", 45.1, 38.0, 3000, 0, true, 'B', 500);
  document.AssignCallsign("KOD", 1);
  document.AssignCallsign("KOD", 2);
  const QRect list(30, 205, 250, 22);  // 30 below the sixth channel line, 10 apart
  screenHeight = 1020;
  EXPECT_EQ(Lit(Picture(), list), 0);
  screenHeight = 1021;
  const QImage picture = Picture();
  EXPECT_GT(Lit(picture, QRect(30, 205, 250, 10)), 20);
  EXPECT_GT(Lit(picture, QRect(30, 215, 250, 10)), 20);
  EXPECT_EQ(BrightestGreen(picture, list), 255);
}

TEST_F(InfoView, TheActiveChannelIsBright) {
  channels.current = 2;
  QImage picture = Picture();
  for (int slot = 0; slot < 6; ++slot) EXPECT_EQ(BrightestGreen(picture, ChannelBand(slot)), slot == 2 ? 255 : 200);
  channels.current = 5;
  picture = Picture();
  EXPECT_EQ(BrightestGreen(picture, ChannelBand(2)), 200);
  EXPECT_EQ(BrightestGreen(picture, ChannelBand(5)), 255);
  // Clock and zone, dim green, centred.
  EXPECT_EQ(BrightestGreen(picture, QRect(25, 30, kWidth - 50, 15)), 200);
  EXPECT_EQ(BrightestGreen(picture, QRect(25, 50, kWidth - 50, 15)), 200);
  EXPECT_EQ(Lit(picture, QRect(10, 30, 15, 35)), 0);
}

TEST_F(InfoView, WithoutTheButtonPanelEveryChannelIsNotUsed) {
  const ChannelStateSource* noPanel = nullptr;
  CInfoView alone(context, nullptr, noPanel);
  alone.resize(kWidth, kHeight);
  alone.SetScreenHeightSource([] { return 900; });
  const QImage picture = Dumped(alone.RenderImage());
  EXPECT_EQ(BrightestGreen(picture, ChannelBand(0)), 255);
  EXPECT_EQ(BrightestGreen(picture, ChannelBand(5)), 200);
  alone.SetChannelSource(&channels);
  channels.current = 3;
  EXPECT_EQ(BrightestGreen(Dumped(alone.RenderImage()), ChannelBand(3)), 255);
  // The button panel's own accessors, through the adapter the panel keeps.
  struct ButtonPanelLike {
    int CurrentSlot() const { return 4; }
    int SlotChannel(int) const { return 3; }
    const std::array<PxrChannelInfo, 50>& ChannelRecords() const { return records; }
    std::array<PxrChannelInfo, 50> records{};
  } panel;
  alone.AdoptChannelSource(std::make_unique<PanelChannelState<ButtonPanelLike>>(panel));
  EXPECT_EQ(BrightestGreen(Dumped(alone.RenderImage()), ChannelBand(3)), 200);
  EXPECT_EQ(BrightestGreen(Dumped(alone.RenderImage()), ChannelBand(4)), 255);
}

TEST_F(InfoView, PickingAndCancellingWithRealClicksOnTheScope) {
  document.UpdateContact(1, "F-16C (Viper)", 45.15, 38.90, 3000, 0, true, 'B', 500);
  document.UpdateContact(2, "Su-27 (Ivan)", 45.00, 39.05, 5000, 1.0, false, 'B', 800);
  document.UpdateContact(3, "F-15C (Eagle)", 45.10, 39.10, 4000, 0, true, 'B', 500);
  const QPoint a = OnScope(1), b = OnScope(2), c = OnScope(3);
  QImage picture = Picture();
  EXPECT_EQ(Lit(picture, BlockBand(0, 117, 25)), 0);
  EXPECT_EQ(Lit(picture, BlockBand(1, 117, 25)), 0);

  Click(info.PickButton(0));
  EXPECT_TRUE(scope.Tools().PickingMode());
  EXPECT_EQ(scope.cursor().shape(), Qt::PointingHandCursor);
  Click(&scope, a + QPoint(2, -3));
  EXPECT_EQ(info.Picks().State(), PickState::Block1Second);
  EXPECT_TRUE(scope.Tools().PickingMode());
  // Only the first: its values beside zeros, no bearing and range.
  picture = Picture();
  EXPECT_GT(Lit(picture, BlockBand(0, 117, 107)), 20);
  EXPECT_GT(Lit(picture, BlockBand(0, 100, 90)), 20);
  EXPECT_EQ(Lit(picture, BlockBand(0, 35, 25)), 0);

  Click(&scope, b);
  EXPECT_FALSE(scope.Tools().PickingMode());
  EXPECT_EQ(info.Picks().State(), PickState::Idle);
  EXPECT_EQ(info.Picks().Picked()[0], 1);
  EXPECT_EQ(info.Picks().Picked()[1], 2);
  picture = Picture();
  EXPECT_GT(Lit(picture, BlockBand(0, 35, 25)), 20);
  EXPECT_EQ(Lit(picture, BlockBand(1, 117, 25)), 0);

  // Block 2: one pick, then a press of either button cancels.
  Click(info.PickButton(1));
  Click(&scope, c);
  EXPECT_EQ(info.Picks().State(), PickState::Block2Second);
  Click(info.PickButton(0));
  EXPECT_FALSE(scope.Tools().PickingMode());
  EXPECT_EQ(info.Picks().State(), PickState::Idle);
  Click(&scope, a);  // picking is off: nothing picked
  EXPECT_EQ(info.Picks().Picked()[3], std::nullopt);
  EXPECT_EQ(info.Picks().Picked()[2], 3);
  // The next press starts again with the first contact of its block.
  Click(info.PickButton(1));
  EXPECT_TRUE(scope.Tools().PickingMode());
  EXPECT_EQ(info.Picks().State(), PickState::Block2First);
  Click(&scope, b);
  Click(&scope, a);
  EXPECT_EQ(info.Picks().Picked()[2], 2);
  EXPECT_EQ(info.Picks().Picked()[3], 1);
  picture = Picture();
  EXPECT_GT(Lit(picture, BlockBand(1, 35, 25)), 20);

  // A contact that leaves the table reads "none" and zeros: no bearing line.
  document.UpdateContact(2, "Su-27 (Ivan)", 45.0, 0, 0, 0, false, 'B', 0);
  ASSERT_EQ(document.FindContact(2), nullptr);
  picture = Picture();
  EXPECT_GT(Lit(picture, BlockBand(0, 117, 107)), 20);
  EXPECT_EQ(Lit(picture, BlockBand(0, 35, 25)), 0);
  EXPECT_EQ(Lit(picture, BlockBand(1, 35, 25)), 0);
}

TEST_F(InfoView, ButtonsFollowTheSize) {
  EXPECT_EQ(info.PickButton(0)->geometry(), QRect(30, kHeight - 140, 20, 20));
  EXPECT_EQ(info.PickButton(1)->geometry(), QRect(kWidth / 2 + 20, kHeight - 140, 20, 20));
  info.resize(400, 700);
  EXPECT_EQ(info.PickButton(0)->geometry(), QRect(30, 560, 20, 20));
  EXPECT_EQ(info.PickButton(1)->geometry(), QRect(220, 560, 20, 20));
  EXPECT_EQ(info.PickButton(0)->text(), "C1");
  EXPECT_EQ(info.PickButton(1)->text(), "C2");
}

TEST_F(InfoView, MouseOpensTheColumnAndTheCornerFoldsItAway) {
  QSignalSpy requests(&info, &CInfoView::ExpandRequested);
  QTest::mouseMove(&info, QPoint(100, 100));
  ASSERT_GE(requests.count(), 1);
  EXPECT_TRUE(requests.last().at(0).toBool());
  requests.clear();
  // 30 pixels from the right edge is too far; 29 from both is in.
  QTest::mouseClick(&info, Qt::LeftButton, Qt::NoModifier, QPoint(kWidth - 30, kHeight - 10));
  QTest::mouseClick(&info, Qt::LeftButton, Qt::NoModifier, QPoint(kWidth - 10, kHeight - 30));
  QTest::mouseClick(&info, Qt::RightButton, Qt::NoModifier, QPoint(kWidth - 10, kHeight - 10));
  for (const auto& request : requests) EXPECT_TRUE(request.at(0).toBool());
  requests.clear();
  QTest::mouseClick(&info, Qt::LeftButton, Qt::NoModifier, QPoint(kWidth - 29, kHeight - 29));
  ASSERT_EQ(requests.count(), 1);
  EXPECT_FALSE(requests.at(0).at(0).toBool());
}

TEST_F(InfoView, InAtcModeTheScopeIsBroughtBackOntoItsAirfield) {
  const geo::GeoPoint krasnodar{45.081667, 38.95};
  const geo::GeoPoint away{45.2, 39.2};
  scope.CentreOn(away.latitude, away.longitude);
  info.Tick();
  EXPECT_EQ(scope.Geometry().Centre(), away);  // not in ATC mode
  scope.SetAirfieldMode(true);
  info.Tick();
  EXPECT_EQ(scope.Geometry().Centre(), krasnodar);
  EXPECT_EQ(scope.CentringCommand(), scope::kHomeAirfieldCommand);
  // The carrier's record has no position: the scope stays on the carrier.
  document.UpdateContact(900, "Admiral Kuznetsov", 43.5, 38.5, 0, 0, false, 'D', 30);
  scope.OnCentringCommand(scope::kCarrierCommand);
  info.Tick();
  EXPECT_EQ(scope.Geometry().Centre(), (geo::GeoPoint{43.5, 38.5}));
}

}  // namespace
}  // namespace vantor::shell::test
