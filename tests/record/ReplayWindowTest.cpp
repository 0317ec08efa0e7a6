// The whole window over a recording: no connection, the transport bar under
// the panes driving the replay (play, pause, speeds, the timeline), and the
// record entries of the Airports menu in a live window.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>

#include "RecordingFixtures.h"
#include "TestSupport.h"
#include "vantor/platform/Notifier.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/record/RecordReader.h"
#include "vantor/record/ReplayController.h"
#include "vantor/record/ReplayPlayer.h"
#include "vantor/shell/CMainFrame.h"
#include "vantor/shell/CRivakApp.h"
#include "vantor/shell/ReplayTransportBar.h"

namespace vantor::test {
namespace {

using namespace std::chrono_literals;
using shell::StartupOptions;

// The window's messages, kept for the test.
class KeptMessages final : public Notifier {
 public:
  explicit KeptMessages(std::vector<QString>& kept) : kept_(kept) {}
  void ShowError(const QString& text) override { kept_.push_back(text); }
  void ShowInformation(const QString& text) override { kept_.push_back(text); }

 private:
  std::vector<QString>& kept_;
};

class ReplayWindow : public ::testing::Test {
 protected:
  void Start(StartupOptions options) {
    {
      auto store = SettingsStore::OpenFile(dir_.filePath("rivak.ini"));
      store->WriteString("config", "Installer Language", "1033");
      store->Sync();
    }
    shell::ShellPlatform platform;
    platform.sound = std::make_unique<shell::SilentSoundPlayer>();
    platform.taskBar = std::make_unique<shell::NoTaskBar>();
    platform.workArea = [] { return QRect(0, 0, 1280, 994); };
    platform.connectionNotifier = [this](QWidget*) { return std::make_unique<KeptMessages>(messages_); };
    options.settingsFile = dir_.filePath("rivak.ini");
    options.dataFolders = {dir_.path(), BinDir()};
    options.sounds = false;
    app_ = std::make_unique<shell::CRivakApp>(std::move(options), std::move(platform));
    ASSERT_TRUE(app_->InitInstance());
  }
  void TearDown() override {
    if (app_) app_->ExitInstance();
  }
  // The table a straight play of `bytes` shows at `moment`.
  static std::string TableAt(const std::vector<std::uint8_t>& bytes, std::uint32_t moment) {
    record::OpenFailure failure;
    const auto reader = record::RecordReader::FromBytes(bytes, failure);
    model::ClientState state;
    auto clock = std::make_shared<record::ReplayClock>();
    model::CRivakDoc document(state, record::SecondsFrom(clock));
    record::ReplayPlayer player(*reader, document, clock, Language::English);
    player.PlayTo(moment);
    return DescribeTable(document);
  }

  QString WriteFile(const std::vector<std::uint8_t>& bytes) {
    const QString file = dir_.filePath("mission.vrec");
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return file;
  }

  QTemporaryDir dir_;
  std::vector<QString> messages_;
  std::unique_ptr<shell::CRivakApp> app_;
};

TEST_F(ReplayWindow, TransportBarPlaysPausesChangesSpeedAndSeeks) {
  GeneratedMission mission;
  mission.seconds = 300;
  mission.aircraft = 20;
  const std::vector<std::uint8_t> bytes = EncodeRecording(mission, GenerateMission(mission));
  const QString file = WriteFile(bytes);
  StartupOptions options;
  options.replayFile = file;
  options.seekMs = 60'000;
  options.replayPlays = false;
  Start(std::move(options));
  EXPECT_EQ(app_->Connection(), nullptr);
  record::ReplayController* replay = app_->Replay();
  ASSERT_NE(replay, nullptr);
  EXPECT_FALSE(replay->IsPlaying());
  EXPECT_EQ(DescribeTable(*app_->Document()), TableAt(bytes, 60'000));

  auto* bar = app_->MainWindow()->findChild<shell::ReplayTransportBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->TimeLabel()->text(), "0:01:00 / 0:04:59");
  EXPECT_EQ(bar->Timeline()->value(), 60);
  EXPECT_EQ(bar->Timeline()->maximum(), 299);
  EXPECT_EQ(bar->PlayButton()->text(), "Play");

  // The timeline seeks, backwards and forwards.
  bar->Timeline()->setValue(200);
  EXPECT_EQ(replay->PositionMs(), 200'000u);
  EXPECT_EQ(DescribeTable(*app_->Document()), TableAt(bytes, 200'000));
  bar->Timeline()->setValue(10);
  EXPECT_EQ(DescribeTable(*app_->Document()), TableAt(bytes, 10'000));
  EXPECT_EQ(bar->TimeLabel()->text(), "0:00:10 / 0:04:59");

  // Play at 16x: the picture moves on by itself; pause stops it.
  bar->SpeedButton(16)->click();
  EXPECT_EQ(replay->Speed(), 16);
  bar->PlayButton()->click();
  EXPECT_TRUE(replay->IsPlaying());
  EXPECT_EQ(bar->PlayButton()->text(), "Pause");
  ASSERT_TRUE(WaitUntil([&] { return replay->PositionMs() > 14'000; }, 5s));
  EXPECT_GT(bar->Timeline()->value(), 10);
  bar->PlayButton()->click();
  EXPECT_FALSE(replay->IsPlaying());
  const std::uint32_t paused = replay->PositionMs();
  WaitUntil([] { return false; }, 300ms);
  EXPECT_EQ(replay->PositionMs(), paused);
  EXPECT_EQ(DescribeTable(*app_->Document()), TableAt(bytes, paused));

  // Played to the end it stops there; the menu has nothing to record.
  replay->SeekTo(298'000);
  replay->Play();
  ASSERT_TRUE(WaitUntil([&] { return !replay->IsPlaying(); }, 5s));
  EXPECT_EQ(replay->PositionMs(), replay->DurationMs());
  app_->MainWindow()->PrepareAirportsMenu();
  EXPECT_FALSE(app_->MainWindow()->RecordAction()->isVisible());
  EXPECT_FALSE(app_->MainWindow()->StopRecordingAction()->isVisible());
}

TEST_F(ReplayWindow, DamagedOrCutFileIsToldAndPlaysUpToThere) {
  GeneratedMission mission;
  mission.seconds = 40;
  mission.aircraft = 5;
  std::vector<std::uint8_t> bytes = EncodeRecording(mission, GenerateMission(mission));
  record::OpenFailure failure;
  const auto whole = record::RecordReader::FromBytes(bytes, failure);
  // Block 10 damaged, and the file cut inside block 30.
  bytes[whole->Blocks()[10].offset + record::kBlockHeaderBytes + 1] ^= 0x55;
  bytes.resize(whole->Blocks()[30].offset + 40);
  StartupOptions options;
  options.replayFile = WriteFile(bytes);
  options.replayPlays = false;
  Start(std::move(options));
  // Cut: told at once, with the end of what can be read.
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], "The recording ends at 0:00:29: the rest of the file is missing or damaged.");
  record::ReplayController* replay = app_->Replay();
  replay->SetSpeed(16);
  replay->Play();
  ASSERT_TRUE(WaitUntil([&] { return !replay->IsPlaying(); }, 5s));
  EXPECT_GE(replay->PositionMs(), whole->Blocks()[9].header.lastArrivalMs);
  EXPECT_LT(replay->PositionMs(), whole->Blocks()[10].header.firstArrivalMs);
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[1], "The recording ends at 0:00:09: the rest of the file is missing or damaged.");
  // Back before the damage the replay goes on as before.
  replay->SeekTo(5'000);
  EXPECT_EQ(DescribeTable(*app_->Document()), TableAt(bytes, 5'000));
  EXPECT_EQ(messages_.size(), 2u);
}

TEST_F(ReplayWindow, LiveWindowRecordsFromTheMenuEntries) {
  Start(StartupOptions{});
  ASSERT_NE(app_->Connection(), nullptr);
  EXPECT_EQ(app_->Replay(), nullptr);
  shell::CMainFrame* frame = app_->MainWindow();
  frame->PrepareAirportsMenu();
  EXPECT_TRUE(frame->RecordAction()->isEnabled());
  EXPECT_FALSE(frame->StopRecordingAction()->isEnabled());
  ASSERT_TRUE(app_->StartRecording(dir_.filePath("later.vrec")));
  frame->PrepareAirportsMenu();
  EXPECT_FALSE(frame->RecordAction()->isEnabled());
  EXPECT_TRUE(frame->StopRecordingAction()->isEnabled());
  frame->StopRecordingAction()->trigger();
  EXPECT_FALSE(app_->IsRecording());
  // A file that cannot be made: no recording, the window goes on.
  EXPECT_FALSE(app_->StartRecording(dir_.filePath("no/such/folder/x.vrec")));
  EXPECT_FALSE(app_->IsRecording());
}

}  // namespace
}  // namespace vantor::test
