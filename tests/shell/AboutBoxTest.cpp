// The about box and its falling-characters animation, stepped timer by
// timer to its closing message, and once on real timers.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include <cmath>

#include "vantor/shell/CAboutDlg.h"
#include "vantor/shell/CFallingTextWnd.h"
#include "vantor/shell/DialogUnits.h"

namespace vantor::shell::test {
namespace {

using Animation = CFallingTextWnd;

// Runs the three timers as the clock would, in 5 ms steps, until the
// animation has finished or `limitMs` has passed.
int RunToEnd(Animation& animation, SteppedAnimationTimers& timers, int limitMs = 120000) {
  int now = 0;
  for (; now < limitMs && !animation.IsFinished(); now += 5) {
    if (now % 10 == 0) timers.Fire(Animation::kBannerTimer);
    if (now % 15 == 0) timers.Fire(Animation::kVerticalBannerTimer);
    if (now % 120 == 0) timers.Fire(Animation::kRainTimer);
  }
  return now;
}

int CountColour(const QImage& image, const QRect& area, QColor colour) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (image.pixelColor(x, y) == colour) ++count;
  return count;
}

TEST(AboutBox, CaptionByLanguageAndTheAnimationOverItsTextArea) {
  for (const auto& [language, caption] :
       {std::pair{Language::French, "A propos de Vantor"}, std::pair{Language::English, "About VANTOR"},
        std::pair{Language::Spanish, "Sobre VANTOR"}}) {
    auto timers = std::make_unique<SteppedAnimationTimers>();
    CAboutDlg about(language, nullptr, std::move(timers));
    EXPECT_EQ(about.windowTitle(), caption);
    EXPECT_EQ(about.size(), DialogUnitsToPixels(about.font(), QSize(235, 78)));
    EXPECT_EQ(about.Animation()->geometry(), DialogUnitsToPixels(about.font(), QRect(7, 7, 221, 64)));
    EXPECT_EQ(about.Animation()->LineIndex(), 0);
    EXPECT_EQ(about.Animation()->CurrentLine(), "VANTOR");
  }
}

TEST(AboutBox, SteppedThroughEveryLineTheZoomAndTheClosingMessage) {
  auto owned = std::make_unique<SteppedAnimationTimers>();
  SteppedAnimationTimers& timers = *owned;
  CAboutDlg about(Language::English, nullptr, std::move(owned));
  Animation& animation = *about.Animation();
  QSignalSpy shown(&animation, &Animation::LineShown);
  QSignalSpy finished(&animation, &Animation::AnimationFinished);

  // Created: the three timers at 10, 15 and 120 ms, the banners off screen.
  EXPECT_EQ(timers.Period(Animation::kBannerTimer).count(), 10);
  EXPECT_EQ(timers.Period(Animation::kVerticalBannerTimer).count(), 15);
  EXPECT_EQ(timers.Period(Animation::kRainTimer).count(), 120);
  EXPECT_EQ(animation.BannerX(), -animation.width() / 2);
  EXPECT_EQ(animation.BannerY(), -animation.height() / 3);
  // The line stands centred.
  EXPECT_GT(animation.TargetX(), 0);
  EXPECT_LT(animation.TargetX(), animation.width() / 2);
  EXPECT_GT(animation.ColumnCount(), 10);

  // The first line appears once the banner reaches it.
  const int target = animation.TargetX();
  while (animation.BannerX() < target - 1) timers.Fire(Animation::kBannerTimer);
  EXPECT_EQ(shown.count(), 0);
  timers.Fire(Animation::kBannerTimer);
  ASSERT_EQ(shown.count(), 1);
  EXPECT_EQ(shown.at(0).at(0).toInt(), 0);

  // The rain: every second tick one more column falls.
  for (int tick = 1; tick <= 8; ++tick) {
    timers.Fire(Animation::kRainTimer);
    EXPECT_EQ(animation.ActiveColumnCount(), tick / 2);
  }

  int rainTicksAfterLastLine = 0;
  int now = 0;
  while (!animation.IsFinished() && now < 200000) {
    if (now % 10 == 0) timers.Fire(Animation::kBannerTimer);
    if (now % 15 == 0) timers.Fire(Animation::kVerticalBannerTimer);
    if (now % 120 == 0) {
      const bool ending = animation.LineIndex() == -1;
      if (timers.Fire(Animation::kRainTimer) && ending) ++rainTicksAfterLastLine;
    }
    now += 5;
  }
  ASSERT_TRUE(animation.IsFinished());

  // Every line once, in order, then the zoom: 1.2 per tick up to 10000 %.
  const QStringList lines =
      QString("VANTOR,Version 1.0,Radar display for Falcrest missions,The Vantor project").split(',');
  ASSERT_EQ(shown.count(), lines.size());
  for (int i = 0; i < lines.size(); ++i) EXPECT_EQ(shown.at(i).at(0).toInt(), i);
  EXPECT_EQ(animation.LineIndex(), -1);
  EXPECT_EQ(rainTicksAfterLastLine, static_cast<int>(std::ceil(std::log(10000.0) / std::log(1.2))));
  EXPECT_GE(animation.Zoom(), Animation::kEndZoom);
  EXPECT_EQ(finished.count(), 1);
  for (const int id : {Animation::kBannerTimer, Animation::kVerticalBannerTimer, Animation::kRainTimer})
    EXPECT_FALSE(timers.IsRunning(id)) << id;

  // "Thanks for your attention!" in green in the middle, black around it.
  const QImage picture = animation.Picture();
  const QRect middle(0, animation.height() / 2 - 10, animation.width(), 20);
  EXPECT_GT(CountColour(picture, middle, animation.TextColour()), 30);
  EXPECT_EQ(CountColour(picture, QRect(0, 0, animation.width(), 8), Qt::black), animation.width() * 8);
  // Nothing moves any more.
  EXPECT_FALSE(timers.Fire(Animation::kRainTimer));
  EXPECT_EQ(animation.Picture(), picture);
}

TEST(AboutBox, ANarrowWindowHasNoColumnsButItsBannersRun) {
  auto owned = std::make_unique<SteppedAnimationTimers>();
  SteppedAnimationTimers& timers = *owned;
  Animation animation(nullptr, std::move(owned), 7u);
  animation.SetLines("A");
  animation.Create(QRect(0, 0, 12, 80));
  EXPECT_EQ(animation.ColumnCount(), 0);
  for (int i = 0; i < 20; ++i) EXPECT_TRUE(timers.Fire(Animation::kRainTimer));
  EXPECT_EQ(animation.ActiveColumnCount(), 0);
  const int start = animation.BannerX();
  for (int i = 0; i < 5; ++i) timers.Fire(Animation::kBannerTimer);
  EXPECT_EQ(animation.BannerX(), start + 5);
}

TEST(AboutBox, ASingleLineIsShownOnceAndTheZoomFollows) {
  auto owned = std::make_unique<SteppedAnimationTimers>();
  SteppedAnimationTimers& timers = *owned;
  Animation animation(nullptr, std::move(owned), 11u);
  QSignalSpy shown(&animation, &Animation::LineShown);
  animation.SetLines("Solo");
  animation.Create(QRect(0, 0, 240, 90));
  RunToEnd(animation, timers);
  ASSERT_TRUE(animation.IsFinished());
  EXPECT_EQ(shown.count(), 1);
  EXPECT_EQ(animation.LineIndex(), -1);
}

TEST(AboutBox, RunsOnRealTimers) {
  CAboutDlg about(Language::French);
  about.show();
  Animation& animation = *about.Animation();
  const int start = animation.BannerX();
  QTest::qWait(400);
  // About 40 banner steps and three rain ticks in 400 ms; a loaded machine
  // manages fewer.
  EXPECT_GT(animation.BannerX(), start + 5);
  EXPECT_TRUE(animation.Timers().IsRunning(Animation::kRainTimer));
  about.close();
}

}  // namespace
}  // namespace vantor::shell::test
