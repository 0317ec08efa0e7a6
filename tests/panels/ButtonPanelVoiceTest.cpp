// The button panel and the voice client together: the real PxRemote of the
// build, bound at run time, against a real parlix-sim process under an
// object-name prefix of the test's own.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLibrary>
#include <QSignalSpy>

#include "PanelTestSupport.h"
#include "VoiceTestSupport.h"
#include "vantor/shell/PanelLayout.h"
#include "vantor/voiceclient/PxRemoteVoiceClient.h"
#include "vantor/voiceclient/VoiceChannels.h"

namespace vantor::shell::test {
namespace {

using Control = CButtonView::Control;
using voice::test::ParlixSim;
using voice::test::PxRemoteLibrary;
using voice::test::ScopedPrefix;
using voice::test::UniquePrefix;

// The voice server of these tests: channel 6 is empty.
constexpr const char* kChannels =
    "1;Lobby;cfDefault\n"
    "2;Blue Ops;cfModerated\n"
    "3;Red Ops\n"
    "4;Tower\n"
    "5;Approach\n"
    "6;Empty Room\n"
    "player;1;1;Controller\n"
    "player;2;2;Viper 11\n"
    "player;3;2;Viper 12\n"
    "player;4;4;Tower Ctl\n";

class PanelVoice : public ::testing::Test {
 protected:
  PanelVoice() : prefix_(UniquePrefix()), scopedPrefix_(prefix_), sim_(prefix_) {
    bench_.settings.language = Language::English;
    bench_.context->language = Language::English;
  }

  void StartSim(const std::vector<std::string>& extra = {}) {
    const auto file = folder_.File("channels.txt");
    ASSERT_TRUE(voice::test::WriteFile(file, kChannels));
    std::vector<std::string> arguments{"--channels", file.string()};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    ASSERT_TRUE(sim_.Start(arguments)) << sim_.Output();
  }
  std::unique_ptr<CButtonView> Make() {
    auto panel = bench_.MakePanel();
    panel->show();
    return panel;
  }
  // The channel the sim's local player is in, as the voice client tells it.
  int CurrentChannel() {
    PxrUserInfo user{};
    if (library_.getUserInfo(&user) != PXR_OK) return -100;
    return user.channel.id;
  }
  std::vector<std::string> Switches() const {
    std::vector<std::string> switches;
    for (const std::string& command : sim_.CommandsWithoutVersion()) {
      if (command.rfind("SWITCH_CHANNEL_ID", 0) == 0) switches.push_back(command);
    }
    return switches;
  }

  PanelBench bench_;
  std::string prefix_;
  ScopedPrefix scopedPrefix_;
  voice::test::TemporaryFolder folder_;
  ParlixSim sim_;
  PxRemoteLibrary library_;
};

TEST_F(PanelVoice, AssignsAButtonFromTheVoiceClientsChannelList) {
  StartSim();
  bench_.answers->choose = [](const std::vector<std::pair<QString, int>>& listed,
                              bool) -> std::optional<ChannelChoice> {
    for (const auto& [name, id] : listed) {
      if (name == "Tower") return ChannelChoice{id, true};
    }
    return std::nullopt;
  };
  {
    auto panel = Make();
    EXPECT_EQ(bench_.messages->Count(), 0);
    // The names are there from the start, for the information panel.
    EXPECT_EQ(panel->ChannelName(2), "Blue Ops");
    PanelBench::DoubleClick(*panel, PanelBench::StripButton(2), Qt::RightButton);
    ASSERT_EQ(bench_.answers->listsShown.size(), 1u);
    const std::vector<std::pair<QString, int>> expected{{"Lobby", 1}, {"Blue Ops", 2}, {"Red Ops", 3},
                                                        {"Tower", 4}, {"Approach", 5}, {"Empty Room", 6}};
    EXPECT_EQ(bench_.answers->listsShown[0], expected);
    EXPECT_FALSE(bench_.answers->pushPresets[0]);
    EXPECT_EQ(panel->SlotChannel(1), 4);
    EXPECT_TRUE(panel->SlotPush(1));
    EXPECT_EQ(bench_.store->ReadInt("Config", "Canal2", 0), 4);
    EXPECT_EQ(bench_.store->ReadInt("Config", "Canal2Push", 0), 1);
    // A left double click assigns nothing.
    PanelBench::DoubleClick(*panel, PanelBench::StripButton(3), Qt::LeftButton);
    EXPECT_EQ(bench_.answers->listsShown.size(), 1u);
  }
  // The next run finds the assignment again.
  auto later = Make();
  EXPECT_EQ(later->SlotChannel(1), 4);
  EXPECT_TRUE(later->SlotPush(1));
  EXPECT_EQ(later->SlotChannel(0), 0);
}

TEST_F(PanelVoice, SwitchingAndPushModeMoveTheVoiceClientAndBack) {
  StartSim();
  bench_.store->WriteInt("Config", "Canal1", 1);
  bench_.store->WriteInt("Config", "Canal2", 2);
  bench_.store->WriteInt("Config", "Canal3", 4);
  bench_.store->WriteInt("Config", "Canal3Push", 1);
  auto panel = Make();
  ASSERT_EQ(CurrentChannel(), 1);

  PanelBench::Click(*panel, PanelBench::StripButton(2));
  EXPECT_EQ(CurrentChannel(), 2);
  EXPECT_EQ(panel->CurrentSlot(), 1);

  PanelBench::Press(*panel, PanelBench::StripButton(3));
  EXPECT_EQ(CurrentChannel(), 4);  // while held
  EXPECT_EQ(panel->CurrentSlot(), 2);
  PanelBench::Release(*panel, PanelBench::StripButton(3));
  EXPECT_EQ(CurrentChannel(), 2);  // back where it was
  EXPECT_EQ(panel->CurrentSlot(), 1);
  // The empty password goes out as a trailing blank.
  EXPECT_EQ(Switches(),
            (std::vector<std::string>{"SWITCH_CHANNEL_ID 2 ", "SWITCH_CHANNEL_ID 4 ", "SWITCH_CHANNEL_ID 2 "}));
  const KeyChord f3{{29, 56, 61}};
  EXPECT_EQ(*bench_.chords, (std::vector<SentChord>{{f3, KeyAction::Press}, {f3, KeyAction::Release}}));
}

TEST_F(PanelVoice, CancelUnassignsTheButtonAndKeepsItsPushSetting) {
  StartSim();
  bench_.store->WriteInt("Config", "Canal5", 3);
  bench_.store->WriteInt("Config", "Canal5Push", 1);
  auto panel = Make();
  PanelBench::DoubleClick(*panel, PanelBench::StripButton(5), Qt::RightButton);  // no answer: Cancel
  ASSERT_EQ(bench_.answers->pushPresets, std::vector<bool>{true});
  EXPECT_EQ(panel->SlotChannel(4), -1);
  EXPECT_TRUE(panel->SlotPush(4));
  EXPECT_EQ(bench_.store->ReadInt("Config", "Canal5", 0), -1);
  EXPECT_EQ(bench_.store->ReadInt("Config", "Canal5Push", 0), 1);
  // Holding it (still a push button) asks the voice client for channel -1,
  // which refuses quietly; the strip shows the button anyway.
  PanelBench::Press(*panel, PanelBench::StripButton(5));
  EXPECT_EQ(panel->PictureOf(Control::Strip), 222);
  EXPECT_EQ(Switches().back(), "SWITCH_CHANNEL_ID -1 ");
  EXPECT_EQ(CurrentChannel(), 1);
  PanelBench::Release(*panel, PanelBench::StripButton(5));
  EXPECT_EQ(panel->PictureOf(Control::Strip), 149);
  EXPECT_EQ(Switches().back(), "SWITCH_CHANNEL_ID 0 ");
  EXPECT_EQ(bench_.messages->Count(), 0);
}

TEST_F(PanelVoice, WithoutAVoiceClientAssigningSaysSoInTheLanguageAndUnassigns) {
  const std::vector<std::pair<Language, QString>> texts{
      {Language::English, "Can't connect.Parlix running and connected?"},
      {Language::Spanish, "No conectado al servidor Parlix."},
      {Language::French, "Connexion au serveur Parlix Impossible. Vérifier votre connexion."}};
  bench_.store->WriteInt("Config", "Canal1Push", 1);
  for (const auto& [language, text] : texts) {
    bench_.context->language = language;
    bench_.messages->errors.clear();
    auto panel = Make();
    PanelBench::DoubleClick(*panel, PanelBench::StripButton(1), Qt::RightButton);
    EXPECT_EQ(bench_.messages->errors, QStringList({text}));
    EXPECT_TRUE(bench_.answers->listsShown.empty());
    EXPECT_EQ(panel->SlotChannel(0), -1);
    EXPECT_TRUE(panel->SlotPush(0));
    EXPECT_EQ(bench_.store->ReadInt("Config", "Canal1", 0), -1);
  }
}

TEST_F(PanelVoice, WithoutTheLibraryNothingIsCalledAndTheAssignmentsStay) {
  StartSim();
  bench_.store->WriteInt("Config", "Canal2", 3);
  ButtonPanelServices services;
  services.voice = std::make_unique<voiceclient::PxRemoteVoiceClient>(bench_.folder.filePath("libPxRemote.so"));
  EXPECT_FALSE(static_cast<voiceclient::PxRemoteVoiceClient&>(*services.voice).Loaded());
  services.keys = std::make_unique<RecordingKeys>(bench_.chords);
  services.prompts = std::make_unique<ScriptedPrompts>(bench_.answers);
  services.notifier = std::make_unique<RecordingNotifier>(bench_.messages);
  CButtonView panel(*bench_.context, bench_.scope.get(), std::move(services));
  panel.show();
  EXPECT_EQ(bench_.messages->errors, QStringList({"PxRemote.dll not find, Crash comming !!!!!!!!"}));
  PanelBench::Click(panel, PanelBench::StripButton(2));
  EXPECT_EQ(panel.CurrentSlot(), 1);
  EXPECT_EQ(panel.PictureOf(Control::Strip), 150);
  PanelBench::DoubleClick(panel, PanelBench::StripButton(2), Qt::RightButton);
  EXPECT_EQ(bench_.messages->errors.size(), 2);
  EXPECT_EQ(panel.SlotChannel(1), 3);
  EXPECT_EQ(bench_.store->ReadInt("Config", "Canal2", 0), 3);
  EXPECT_TRUE(sim_.CommandsWithoutVersion().empty());
}

TEST(PxRemoteBinding, BindsTheFourExportsAndNeverCallsAMissingOne) {
  voiceclient::PxRemoteVoiceClient full(BuiltPxRemotePath());
  EXPECT_TRUE(full.Loaded());
  EXPECT_TRUE(full.MissingExports().isEmpty());
  EXPECT_TRUE(full.Available());

  voiceclient::PxRemoteVoiceClient missing(QStringLiteral("/nonexistent/libPxRemote.so"));
  EXPECT_FALSE(missing.Loaded());
  EXPECT_FALSE(missing.LoadError().isEmpty());
  std::array<PxrChannelInfo, 3> channels{};
  std::int32_t count = 7;
  EXPECT_EQ(missing.GetChannels(channels, count), voiceclient::kVoiceExportMissing);
  EXPECT_EQ(count, 7);

  // A library that has two of the four.
  voiceclient::PxRemoteVoiceClient partial(QStringLiteral(VANTOR_PARTIAL_PXREMOTE));
  ASSERT_TRUE(partial.Loaded()) << partial.LoadError().toStdString();
  EXPECT_EQ(partial.MissingExports(), QStringList({"pxrGetPlayers", "pxrGetChannelInfoByID"}));
  EXPECT_FALSE(partial.Available());
  PxrChannelInfo channel{};
  std::array<PxrPlayerInfo, 2> players{};
  EXPECT_EQ(partial.GetChannelInfoById(1, channel, players, count), voiceclient::kVoiceExportMissing);
  QLibrary probe(QStringLiteral(VANTOR_PARTIAL_PXREMOTE));
  ASSERT_TRUE(probe.load());
  using CallsFn = int (*)();
  const auto calls = reinterpret_cast<CallsFn>(probe.resolve("partialCalls"));
  ASSERT_NE(calls, nullptr);
  EXPECT_EQ(calls(), 0);
  // The panel over it reports the binding and calls none of the two it has.
  PanelBench host;
  ButtonPanelServices services;
  services.voice = std::make_unique<voiceclient::PxRemoteVoiceClient>(QStringLiteral(VANTOR_PARTIAL_PXREMOTE));
  services.keys = std::make_unique<RecordingKeys>(host.chords);
  services.notifier = std::make_unique<RecordingNotifier>(host.messages);
  services.prompts = std::make_unique<ScriptedPrompts>(host.answers);
  CButtonView panel(*host.context, host.scope.get(), std::move(services));
  PanelBench::Click(panel, PanelBench::StripButton(4));
  EXPECT_EQ(panel.CurrentSlot(), 3);
  EXPECT_EQ(host.messages->errors.size(), 1);
  EXPECT_EQ(calls(), 0);
  probe.unload();
}

}  // namespace
}  // namespace vantor::shell::test
