// The information panel and the approach view beside the real button
// panel, wired as the main frame wires them: the channel the strip switches
// to lights up in the information panel, and the ATC button brings the
// approach profile with its arrivals.
#include <gtest/gtest.h>

#include "InfoIlsTestSupport.h"
#include "PanelTestSupport.h"
#include "ScopeTestSupport.h"
#include "vantor/shell/CButtonView.h"
#include "vantor/shell/CILSView.h"
#include "vantor/shell/CInfoView.h"

namespace vantor::shell::test {
namespace {

class SidePanels : public ::testing::Test {
 protected:
  SidePanels() {
    bench.scope->show();
    panel->show();
    info.SetScreenHeightSource([] { return 1200; });
    info.resize(330, 600);
    ils.resize(700, 230);
    QObject::connect(panel.get(), &CButtonView::IlsViewShown, &ils, &CILSView::SetActive);
  }
  static QRect ChannelBand(int slot) { return QRect(30, 75 + 20 * slot, 250, 16); }

 public:
  PanelBench bench;
  std::unique_ptr<CButtonView> panel = bench.MakePanel(std::make_unique<SilentVoice>());
  // As the main frame makes them: the information panel reads the button
  // panel itself; the frame passes the ATC button on to the approach view.
  CInfoView info{*bench.context, bench.scope.get(), panel.get()};
  CILSView ils{*bench.context, bench.scope.get()};
};

TEST_F(SidePanels, TheChannelSwitchedToLightsUp) {
  QImage picture = Dumped(info.RenderImage());
  EXPECT_EQ(BrightestGreen(picture, ChannelBand(0)), 255);
  EXPECT_EQ(BrightestGreen(picture, ChannelBand(2)), 200);
  PanelBench::Click(*panel, PanelBench::StripButton(3));
  ASSERT_EQ(panel->CurrentSlot(), 2);
  picture = Dumped(info.RenderImage());
  EXPECT_EQ(BrightestGreen(picture, ChannelBand(0)), 200);
  EXPECT_EQ(BrightestGreen(picture, ChannelBand(2)), 255);
}

TEST_F(SidePanels, TheAtcButtonBringsTheApproachProfile) {
  // Krasnodar Center (field 32 m, approach at end 1 without wind): an
  // aircraft 2.5 km out, 900 m above the field.
  const geo::GeoPoint arriving = EastOf({45.081389, 38.965833}, 2.5);
  bench.document.UpdateContact(1, "F-16C (Viper)", arriving.latitude, arriving.longitude, 932, 0, true, 'B', 300);
  const QColor yellow(245, 255, 64), runway(255, 255, 255);
  auto frame = [this] {
    bench.scope->RenderImage();
    ils.Tick();
    return Dumped(ils.RenderImage());
  };
  QImage picture = frame();
  EXPECT_FALSE(scope::test::ColourNear(picture, {60, 180}, runway));
  EXPECT_FALSE(scope::test::ColourNear(picture, {205, 80}, yellow));

  PanelBench::Click(*panel, PanelBench::Middle(CButtonView::Control::Atc));
  ASSERT_TRUE(panel->IsAtcMode());
  EXPECT_TRUE(ils.IsActive());
  picture = frame();
  EXPECT_TRUE(scope::test::ColourNear(picture, {60, 180}, runway));
  EXPECT_TRUE(scope::test::ColourNear(picture, {205, 80}, yellow));
  EXPECT_TRUE(scope::test::ColourNear(picture, {195, 80}, yellow));

  PanelBench::Click(*panel, PanelBench::Middle(CButtonView::Control::Atc));
  EXPECT_FALSE(ils.IsActive());
  picture = frame();
  EXPECT_FALSE(scope::test::ColourNear(picture, {205, 80}, yellow));
}

}  // namespace
}  // namespace vantor::shell::test
