// The panel's pictures: every number the panel shows exists, at 100 % and
// 200 % scale; light grey takes the panel's colour; the states of a picture
// differ; and the whole panel renders (written as PNG files for a look when
// VANTOR_PANEL_PICTURES names a folder).
#include <gtest/gtest.h>

#include <QDir>

#include "PanelTestSupport.h"
#include "vantor/shell/PanelArtwork.h"
#include "vantor/shell/PanelLayout.h"

namespace vantor::shell::test {
namespace {

using namespace panel;

std::vector<int> AllPictures() {
  std::vector<int> pictures{154, 155, 156, 141, 211, 228, 229, 231, 232};
  for (int i = 0; i < 8; ++i) {
    pictures.push_back(1033 + i);
    pictures.push_back(133 + i);
  }
  for (int i = 0; i < 4; ++i) pictures.push_back(224 + i);
  pictures.insert(pictures.end(), kStripPictures.begin(), kStripPictures.end());
  return pictures;
}

TEST(PanelArtwork, EveryPictureAtBothScalesAndTheirStatesDiffer) {
  const PanelArtwork artwork(Language::English);
  for (const int picture : AllPictures()) {
    const QSize size = PanelArtwork::PictureSize(picture);
    ASSERT_FALSE(size.isEmpty()) << picture;
    const QImage& normal = artwork.Picture(picture, 1.0);
    const QImage& doubled = artwork.Picture(picture, 2.0);
    EXPECT_EQ(normal.size(), size) << picture;
    EXPECT_EQ(doubled.size(), size * 2) << picture;
    EXPECT_EQ(doubled.deviceIndependentSize().toSize(), size) << picture;
  }
  EXPECT_FALSE(PanelArtwork::Known(999));
  EXPECT_TRUE(artwork.Picture(999, 1.0).isNull());
  const auto differ = [&](int a, int b) { return artwork.Picture(a, 1.0) != artwork.Picture(b, 1.0); };
  EXPECT_TRUE(differ(154, 155));
  EXPECT_TRUE(differ(228, 229));
  EXPECT_TRUE(differ(231, 232));
  EXPECT_TRUE(differ(1033, 133));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(differ(224 + i, 225 + i));
  for (std::size_t i = 0; i + 1 < kStripPictures.size(); ++i)
    EXPECT_TRUE(differ(kStripPictures[i], kStripPictures[i + 1]));
  // The lit band of a range picture is where its band is.
  const QImage& twoKm = artwork.Picture(1033, 1.0);
  const QImage& threeHundred = artwork.Picture(1040, 1.0);
  const QColor firstBand = twoKm.pixelColor(8, 6);
  EXPECT_GT(firstBand.red(), 200);  // amber
  EXPECT_LT(threeHundred.pixelColor(8, 6).red(), 120);
  EXPECT_GT(threeHundred.pixelColor(8, 7 * kRangeBandHeight + 6).red(), 200);
}

TEST(PanelArtwork, LightGreyTakesThePanelColour) {
  QImage image(3, 1, QImage::Format_ARGB32_Premultiplied);
  image.setPixelColor(0, 0, QColor(192, 192, 192));
  image.setPixelColor(1, 0, QColor(192, 192, 193));
  image.setPixelColor(2, 0, QColor(0, 0, 0, 0));
  const QImage masked = MaskLightGrey(image, kPanelColour);
  EXPECT_EQ(masked.pixelColor(0, 0), QColor(90, 93, 99));
  EXPECT_EQ(masked.pixelColor(1, 0), QColor(192, 192, 193));
  EXPECT_EQ(masked.pixelColor(2, 0).alpha(), 0);
}

TEST(PanelArtwork, ThePanelRendersInItsConsoleColourAtBothScales) {
  PanelBench bench;
  auto panel = bench.MakePanel(std::make_unique<SilentVoice>());
  panel->show();
  const QImage normal = panel->RenderImage(1.0);
  const QImage doubled = panel->RenderImage(2.0);
  EXPECT_EQ(normal.size(), kPanelSize);
  EXPECT_EQ(doubled.size(), kPanelSize * 2);
  // Bare console between the groups is the frame's grey, give or take the
  // plate's shading.
  const QColor plate = normal.pixelColor(kPanelSize.width() - 30, kStripRect.bottom() + 4);
  EXPECT_NEAR(plate.red(), 90, 8);
  EXPECT_NEAR(plate.green(), 93, 8);
  EXPECT_NEAR(plate.blue(), 99, 8);
  // The lit range band (50 km, the fifth) is amber.
  const QColor lit = normal.pixelColor(kRangeRect.left() + 8, kRangeRect.top() + 4 * kRangeBandHeight + 6);
  EXPECT_GT(lit.red(), 200);
  EXPECT_GT(lit.green(), 120);

  // In use: ATC mode, nautical units, labels, channel 3, talking.
  using Control = CButtonView::Control;
  PanelBench::Click(*panel, PanelBench::Middle(Control::Atc));
  PanelBench::Click(*panel, PanelBench::Middle(Control::Units));
  PanelBench::Click(*panel, PanelBench::Middle(Control::Labels));
  PanelBench::Click(*panel, QPoint(kIntensitySplitX + 10, kIntensityRect.center().y()));
  PanelBench::Click(*panel, PanelBench::StripButton(3));
  PanelBench::Press(*panel, PanelBench::Middle(Control::Talk));
  const QImage busy = panel->RenderImage(2.0);
  EXPECT_NE(busy, doubled);
  const QColor talking = busy.pixelColor(kTalkRect.center() * 2 + QPoint(0, 20));
  EXPECT_GT(talking.red(), 150);
  EXPECT_LT(talking.green(), 110);
  PanelBench::Release(*panel, PanelBench::Middle(Control::Talk));

  const QByteArray folder = qgetenv("VANTOR_PANEL_PICTURES");
  if (!folder.isEmpty()) {
    const QDir into(QString::fromLocal8Bit(folder));
    QDir().mkpath(into.path());
    normal.save(into.filePath("panel.png"));
    doubled.save(into.filePath("panel@2x.png"));
    busy.save(into.filePath("panel-in-use@2x.png"));
  }
}

}  // namespace
}  // namespace vantor::shell::test
