// Push-to-talk and push buttons on a real X server: the test starts its own
// Xvfb, the panel presses its chords through XTEST, and a second connection
// reads the keyboard's state with XQueryKeymap. Without Xvfb the test fails:
// it never skips.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <chrono>
#include <memory>
#include <thread>

#include "BuildPaths.h"
#include "PanelTestSupport.h"
#include "TestProcess.h"

#include <X11/Xlib.h>

namespace vantor::shell::test {
namespace {

using Control = CButtonView::Control;

// Keycodes of an evdev X server: scan code + 8.
constexpr int kControlKeycode = 37;
constexpr int kAltKeycode = 64;
constexpr int kF2Keycode = 68;
constexpr int kF10Keycode = 76;

class XServer {
 public:
  // Starts Xvfb on a display number nobody uses and waits until it answers.
  bool Start(std::string& error) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (program.isEmpty()) {
      error = "Xvfb is not installed (Debian package xvfb); this test needs a real X server";
      return false;
    }
    const int first = 90 + static_cast<int>(vantor::test::CurrentProcessId() % 400);
    for (int number = first; number < first + 200; ++number) {
      if (QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)) ||
          QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(number)))
        continue;
      name_ = ":" + std::to_string(number);
      process_ = std::make_unique<vantor::test::TestProcess>(
          program.toStdString(),
          std::vector<std::string>{name_, "-noreset", "-nolisten", "tcp", "-screen", "0", "640x480x24"});
      if (!process_->Started()) {
        error = "Xvfb did not start: " + process_->StartError();
        return false;
      }
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (std::chrono::steady_clock::now() < deadline && process_->Running()) {
        if (Display* probe = XOpenDisplay(name_.c_str())) {
          XCloseDisplay(probe);
          return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
      process_.reset();  // another test took the number first: try the next one
    }
    error = "Xvfb did not come up on any display number";
    return false;
  }
  ~XServer() {
    if (process_) {
      process_->RequestStop();
      process_->WaitForExit(std::chrono::seconds(5));
    }
  }
  const std::string& Name() const { return name_; }

 private:
  std::string name_;
  std::unique_ptr<vantor::test::TestProcess> process_;
};

// The keyboard as a second client of the server sees it.
class KeyboardWatcher {
 public:
  explicit KeyboardWatcher(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}
  ~KeyboardWatcher() {
    if (display_ != nullptr) XCloseDisplay(display_);
  }
  bool Open() const { return display_ != nullptr; }
  bool Down(int keycode) {
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    return (keys[keycode / 8] & (1 << (keycode % 8))) != 0;
  }

 private:
  Display* display_;
};

TEST(KeyChordsOnX11, HeldWhileTheButtonIsHeldAndUpAfterRelease) {
  XServer server;
  std::string error;
  ASSERT_TRUE(server.Start(error)) << error;
  QString whyNot;
  auto keys = OpenXTestKeyChordInjector(QByteArray::fromStdString(server.Name()), whyNot);
  ASSERT_NE(keys, nullptr) << whyNot.toStdString();
  KeyboardWatcher watcher(server.Name());
  ASSERT_TRUE(watcher.Open());

  PanelBench bench;
  bench.store->WriteInt("Config", "Canal2Push", 1);
  auto panel = bench.MakePanel(std::make_unique<SilentVoice>(), std::move(keys));
  panel->show();

  for (const int keycode : {kControlKeycode, kAltKeycode, kF10Keycode, kF2Keycode}) ASSERT_FALSE(watcher.Down(keycode));
  PanelBench::Press(*panel, PanelBench::Middle(Control::Talk));
  EXPECT_TRUE(watcher.Down(kControlKeycode));
  EXPECT_TRUE(watcher.Down(kAltKeycode));
  EXPECT_TRUE(watcher.Down(kF10Keycode));
  EXPECT_FALSE(watcher.Down(kF2Keycode));
  PanelBench::Release(*panel, PanelBench::Middle(Control::Talk));
  EXPECT_FALSE(watcher.Down(kControlKeycode));
  EXPECT_FALSE(watcher.Down(kAltKeycode));
  EXPECT_FALSE(watcher.Down(kF10Keycode));

  // Push-mode button 2 holds Ctrl+Alt+F2.
  PanelBench::Press(*panel, PanelBench::StripButton(2));
  EXPECT_TRUE(watcher.Down(kControlKeycode));
  EXPECT_TRUE(watcher.Down(kAltKeycode));
  EXPECT_TRUE(watcher.Down(kF2Keycode));
  EXPECT_FALSE(watcher.Down(kF10Keycode));
  PanelBench::Release(*panel, PanelBench::StripButton(2));
  EXPECT_FALSE(watcher.Down(kControlKeycode));
  EXPECT_FALSE(watcher.Down(kAltKeycode));
  EXPECT_FALSE(watcher.Down(kF2Keycode));
  EXPECT_EQ(bench.messages->Count(), 0);
}

TEST(KeyChordsOnX11, NoDisplayOrAHeadlessPlatformGivesTheNotice) {
  QString whyNot;
  EXPECT_EQ(OpenXTestKeyChordInjector(QByteArrayLiteral(":4999"), whyNot), nullptr);
  EXPECT_FALSE(whyNot.isEmpty());
  auto offscreen = CreateSystemKeyChordInjector(QStringLiteral("offscreen"));
  EXPECT_EQ(offscreen->Send(kPushToTalkChord, KeyAction::Press), KeyChordOutcome::Unavailable);
  EXPECT_EQ(offscreen->UnavailableReason(), "offscreen");
  EXPECT_EQ(ChannelButtonChord(1), (KeyChord{{29, 56, 59}}));
  EXPECT_EQ(ChannelButtonChord(6), (KeyChord{{29, 56, 64}}));
}

}  // namespace
}  // namespace vantor::shell::test
