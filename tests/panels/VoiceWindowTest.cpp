// The voice window against a real parlix-sim: occupied channels with their
// players, empty ones left out, nothing when the voice client is not there;
// and the window's own behaviour (hidden at first, ShowAt, 4 s refresh).
#include <gtest/gtest.h>

#include <QImage>

#include "PanelTestSupport.h"
#include "VoiceTestSupport.h"
#include "vantor/shell/CVoiceWnd.h"
#include "vantor/voiceclient/PxRemoteVoiceClient.h"
#include "vantor/voiceclient/VoiceChannels.h"

namespace vantor::shell::test {
namespace {

using voice::test::AnswerDirective;
using voiceclient::VoiceWindowLine;

class VoiceWindow : public ::testing::Test {
 protected:
  VoiceWindow() : prefix_(voice::test::UniquePrefix()), scopedPrefix_(prefix_), sim_(prefix_) {}

  void StartSim() {
    const auto file = folder_.File("channels.txt");
    ASSERT_TRUE(voice::test::WriteFile(file,
                                       "1;Lobby;cfDefault\n2;Blue Ops\n3;Nobody Here\n4;Tower\n"
                                       "player;1;1;Controller\nplayer;2;2;Viper 11\nplayer;3;2;Viper 12\n"
                                       "player;4;4;Tower Ctl\n"));
    ASSERT_TRUE(sim_.Start({"--channels", file.string()})) << sim_.Output();
  }
  std::unique_ptr<CVoiceWnd> Make() {
    return std::make_unique<CVoiceWnd>(*bench_.context,
                                       std::make_unique<voiceclient::PxRemoteVoiceClient>(BuiltPxRemotePath()),
                                       std::make_unique<RecordingNotifier>(bench_.messages));
  }

  PanelBench bench_;
  std::string prefix_;
  voice::test::ScopedPrefix scopedPrefix_;
  voice::test::TemporaryFolder folder_;
  voice::test::ParlixSim sim_;
};

TEST_F(VoiceWindow, ListsOccupiedChannelsWithTheirPlayers) {
  StartSim();
  voiceclient::PxRemoteVoiceClient voice(BuiltPxRemotePath());
  const std::vector<VoiceWindowLine> expected{{"Lobby", false},   {"Controller", true}, {"Blue Ops", false},
                                              {"Viper 11", true}, {"Viper 12", true},   {"Tower", false},
                                              {"Tower Ctl", true}};
  EXPECT_EQ(voiceclient::OccupiedChannelLines(voice), expected);
}

TEST_F(VoiceWindow, AChannelWithoutPlayersIsNotListedEvenWhenItsDetailsNamePlayers) {
  StartSim();
  sim_.SetControl(AnswerDirective("GET_CHANNELS", "OK\r7 -1 0 8 cfRegistered Ghost Room\r2 -1 1 8 cfRegistered Ops") +
                  AnswerDirective("GET_CHANNEL_INFO_ID 7 GET_PLAYERS_TOO",
                                  "OK\r7 -1 0 8 cfRegistered Ghost Room\r9 7 none none none Ghost") +
                  AnswerDirective("GET_CHANNEL_INFO_ID 2 GET_PLAYERS_TOO",
                                  "OK\r2 -1 1 8 cfRegistered Ops\r5 2 none none none Eagle 1"));
  voiceclient::PxRemoteVoiceClient voice(BuiltPxRemotePath());
  EXPECT_EQ(voiceclient::OccupiedChannelLines(voice),
            (std::vector<VoiceWindowLine>{{"Ops", false}, {"Eagle 1", true}}));
  for (const std::string& command : sim_.CommandsWithoutVersion())
    EXPECT_EQ(command.find("GET_CHANNEL_INFO_ID 7"), std::string::npos);
  // A channel whose details fail keeps its own line.
  sim_.SetControl(AnswerDirective("GET_CHANNELS", "OK\r2 -1 1 8 cfRegistered Ops") +
                  AnswerDirective("GET_CHANNEL_INFO_ID 2 GET_PLAYERS_TOO", "ERROR -10 INVALID CHANNEL"));
  EXPECT_EQ(voiceclient::OccupiedChannelLines(voice), (std::vector<VoiceWindowLine>{{"Ops", false}}));
}

TEST_F(VoiceWindow, NothingIsListedWithoutAVoiceClient) {
  voiceclient::PxRemoteVoiceClient voice(BuiltPxRemotePath());
  EXPECT_TRUE(voiceclient::OccupiedChannelLines(voice).empty());
  auto window = Make();
  window->ShowAt(10, 10);
  EXPECT_TRUE(window->Lines().empty());
  EXPECT_EQ(bench_.messages->Count(), 0);
}

TEST_F(VoiceWindow, HiddenUntilShownAtAPlaceThenRefreshedEveryFourSeconds) {
  StartSim();
  bench_.settings.fontSize = 12;
  auto window = Make();
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->RefreshTimer().isActive());
  EXPECT_NEAR(window->windowOpacity(), 150.0 / 255.0, 0.01);
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  window->ApplyShowSetting(false);
  EXPECT_FALSE(window->isVisible());

  const QSize size = window->size();
  window->ApplyShowSetting(true);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->pos(), QPoint(10, 10));
  EXPECT_EQ(window->size(), size);
  EXPECT_TRUE(window->RefreshTimer().isActive());
  EXPECT_EQ(window->RefreshTimer().interval(), 4000);
  ASSERT_EQ(window->Lines().size(), 7u);

  // Players in green, indented under their channel.
  const QImage picture = window->RenderImage();
  int green = 0;
  int greenLeftOfIndent = 0;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const QColor pixel = picture.pixelColor(x, y);
      if (pixel.green() > 100 && pixel.red() < 60 && pixel.blue() < 60) {
        ++green;
        if (x < 30) ++greenLeftOfIndent;
      }
    }
  }
  EXPECT_GT(green, 30);
  EXPECT_EQ(greenLeftOfIndent, 0);

  // Each tick asks again.
  const auto before = sim_.CommandsWithoutVersion().size();
  window->Refresh();
  EXPECT_GT(sim_.CommandsWithoutVersion().size(), before);
  window->hide();
  EXPECT_FALSE(window->RefreshTimer().isActive());
}

TEST_F(VoiceWindow, AMissingLibraryIsReportedWhenTheWindowIsMade) {
  CVoiceWnd window(*bench_.context,
                   std::make_unique<voiceclient::PxRemoteVoiceClient>(bench_.folder.filePath("none.so")),
                   std::make_unique<RecordingNotifier>(bench_.messages));
  EXPECT_EQ(bench_.messages->errors, QStringList({"PxRemote.dll not find, Crash comming !!!!!!!!"}));
  window.ShowAt(10, 10);
  EXPECT_TRUE(window.Lines().empty());
}

}  // namespace
}  // namespace vantor::shell::test
