// The stand-in as a Parlix client: a realistic voice server behind the
// library's exports, its channel list file, its command line and its
// clean-up.
#include "VoiceFixture.h"

#include "Control.h"

#include <algorithm>
#include <array>
#include <filesystem>

namespace vantor::voice::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

class ParlixSimServer : public VoiceTest {
 protected:
  void SetUp() override {
    VoiceTest::SetUp();
    StartSim();
  }

  std::vector<std::string> ChannelNames() {
    std::array<PxrChannelInfo, 50> channels{};
    int32_t count = 50;
    EXPECT_EQ(lib_.getChannels(channels.data(), &count), 0);
    std::vector<std::string> names;
    for (int32_t i = 0; i < count; ++i) names.push_back(Field(channels[i].name, 30));
    return names;
  }

  PxrUserInfo User() {
    PxrUserInfo user{};
    EXPECT_EQ(lib_.getUserInfo(&user), 0) << lib_.LastError();
    return user;
  }
};

TEST_F(ParlixSimServer, DefaultServerHasTheOperationsAndAtcChannels) {
  const std::vector<std::string> names = ChannelNames();
  ASSERT_GE(names.size(), 5u);
  EXPECT_THAT(std::vector<std::string>(names.begin(), names.begin() + 5),
              ElementsAre("Lobby", "Blue Ops", "Red Ops", "Tower", "Approach"));

  PxrServerInfo server{};
  ASSERT_EQ(lib_.getServerInfo(&server), 0);
  EXPECT_EQ(Field(server.text1, 30), "Vantor Voice");
  EXPECT_EQ(+server.number3, static_cast<int32_t>(names.size()));
  EXPECT_NE(+server.serverType, 0);

  const PxrUserInfo user = User();
  EXPECT_EQ(Field(user.player.name, 30), "Controller");
  EXPECT_EQ(Field(user.channel.name, 30), "Lobby");
  EXPECT_NE(user.channel.flags & PXR_CF_DEFAULT, 0);
}

TEST_F(ParlixSimServer, SwitchingChannelsMovesTheLocalPlayer) {
  ASSERT_EQ(lib_.switchChannelId(4, ""), 0);  // as the client's channel buttons do
  PxrUserInfo user = User();
  EXPECT_EQ(+user.channel.id, 4);
  EXPECT_EQ(+user.player.number2, 4);

  ASSERT_EQ(lib_.switchChannelName("Blue Ops", nullptr), 0);
  EXPECT_EQ(Field(User().channel.name, 30), "Blue Ops");

  EXPECT_EQ(lib_.switchChannelId(8, ""), -12);
  EXPECT_EQ(lib_.LastError(), "ERROR -12 WRONG PASSWORD");
  ASSERT_EQ(lib_.switchChannelName("Blue Command", "blue"), 0);
  user = User();
  EXPECT_EQ(Field(user.channel.name, 30), "Blue Command");
  EXPECT_EQ(Field(user.secondChannel.name, 30), "Blue Ops") << "the parent channel";

  EXPECT_EQ(lib_.switchChannelId(999, ""), -10);
  EXPECT_EQ(lib_.switchChannelName("No Such Channel", ""), -10);
  EXPECT_EQ(+User().channel.id, 8);
}

TEST_F(ParlixSimServer, ChannelAndPlayerQueries) {
  PxrChannelInfo channel{};
  std::array<PxrPlayerInfo, 8> players{};
  int32_t count = 8;
  ASSERT_EQ(lib_.getChannelInfoByName("Blue Ops", &channel, players.data(), &count), 0);
  EXPECT_EQ(+channel.id, 2);
  ASSERT_EQ(count, +channel.playerCount);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(Field(players[0].name, 30), "Viper 11");

  PxrPlayerInfo player{};
  ASSERT_EQ(lib_.getPlayerInfoByName("Viper 11", &player), 0);
  EXPECT_EQ(+player.id, 2);
  EXPECT_EQ(lib_.getPlayerInfoById(424242, &player), -11);
  EXPECT_EQ(lib_.getChannelInfoById(424242, &channel, nullptr, nullptr), -10);

  std::array<int32_t, 16> ids{};
  count = 16;
  ASSERT_EQ(lib_.getSpeakers(ids.data(), &count), 0);
  std::array<PxrPlayerInfo, 16> everyone{};
  int32_t playerCount = 16;
  ASSERT_EQ(lib_.getPlayers(everyone.data(), &playerCount), 0);
  for (int32_t i = 0; i < count; ++i) {
    EXPECT_TRUE(std::any_of(everyone.begin(), everyone.begin() + playerCount,
                            [&](const PxrPlayerInfo& p) { return p.id == ids[i]; }));
  }
}

TEST_F(ParlixSimServer, AdministrativeCommandsChangeTheServer) {
  ASSERT_EQ(lib_.setPlayerFlags(PXR_PF_WANT_VOICE | PXR_PF_AWAY), 0);
  EXPECT_EQ(+User().player.flags, PXR_PF_WANT_VOICE | PXR_PF_AWAY);

  PxrPlayerInfo player{};
  ASSERT_EQ(lib_.setOperator(3, 1), 0);
  ASSERT_EQ(lib_.setVoice(3, 1), 0);
  ASSERT_EQ(lib_.getPlayerInfoById(3, &player), 0);
  EXPECT_EQ(+player.channelPrivileges, PXR_PCP_OPERATOR | PXR_PCP_VOICED);
  ASSERT_EQ(lib_.setOperator(3, 0), 0);
  ASSERT_EQ(lib_.getPlayerInfoById(3, &player), 0);
  EXPECT_EQ(+player.channelPrivileges, PXR_PCP_VOICED);

  ASSERT_EQ(lib_.kickPlayerFromChannel(3, "go to the lobby"), 0);
  ASSERT_EQ(lib_.getPlayerInfoById(3, &player), 0);
  EXPECT_EQ(+player.number2, 1);
  ASSERT_EQ(lib_.kickPlayerFromServer(3, "bye"), 0);
  EXPECT_EQ(lib_.getPlayerInfoById(3, &player), -11);

  EXPECT_EQ(lib_.sendTextMessageToChannel(2, "Blue flight, check in"), 0);
  EXPECT_EQ(lib_.sendTextMessageToChannel(999, "nobody"), -10);
  EXPECT_EQ(lib_.sendTextMessage("hello"), 0);
  EXPECT_EQ(lib_.setWantVoiceReason("tower frequency"), 0);
}

TEST_F(ParlixSimServer, DisconnectedClientRefusesServerCommands) {
  ASSERT_EQ(lib_.disconnect(), 0);
  std::array<PxrChannelInfo, 4> channels{};
  int32_t count = 4;
  EXPECT_EQ(lib_.getChannels(channels.data(), &count), -2);
  EXPECT_EQ(lib_.LastError(), "ERROR -2 NOT CONNECTED");
  EXPECT_EQ(lib_.connect(nullptr), -3);
  ASSERT_EQ(lib_.connect("voice.example.org:8767"), 0);
  EXPECT_EQ(lib_.getChannels(channels.data(), &count), 0);
  PxrServerInfo server{};
  ASSERT_EQ(lib_.getServerInfo(&server), 0);
  EXPECT_EQ(Field(server.text4, 30), "voice.example.org:8767");
}

TEST_F(ParlixSimServer, QuitEndsTheStandInAndRemovesItsObjects) {
  ASSERT_EQ(lib_.quit(), 0);
  ASSERT_TRUE(sim_.WaitForOutput("stopped", std::chrono::seconds(5)));
  EXPECT_EQ(sim_.Stop(), 0);
  EXPECT_FALSE(ObjectsPresent(prefix_).Any());
  EXPECT_EQ(lib_.disconnect(), -1000);
}

using ParlixSimProgram = VoiceTest;

TEST_F(ParlixSimProgram, TerminationRemovesEveryObject) {
  StartSim();
  EXPECT_TRUE(ObjectsPresent(prefix_).All());
  EXPECT_EQ(sim_.Stop(), 0);
  EXPECT_FALSE(ObjectsPresent(prefix_).Any());
}

// A second stand-in under the same names must neither take the objects of
// the running one nor, at its end, remove them.
TEST_F(ParlixSimProgram, SecondStandInUnderTheSameNamesIsRefused) {
  StartSim();
  ASSERT_EQ(lib_.disconnect(), 0);
  {
    ParlixSim second(prefix_);
    EXPECT_FALSE(second.Start());
    EXPECT_EQ(second.Stop(), 1);
  }
  EXPECT_TRUE(ObjectsPresent(prefix_).All());
  EXPECT_EQ(lib_.disconnect(), 0);
  EXPECT_EQ(sim_.Stop(), 0);
  EXPECT_FALSE(ObjectsPresent(prefix_).Any());

  ParlixSim next(prefix_);
  ASSERT_TRUE(next.Start()) << next.Output();
  EXPECT_EQ(lib_.disconnect(), 0);
}

TEST_F(ParlixSimProgram, ChannelListFileGivesTheServer) {
  const TemporaryFolder folder;
  const std::filesystem::path path = folder.File("channels.txt");
  ASSERT_TRUE(WriteFile(path,
                        "# Falcrest night mission\n"
                        "10;Lobby;cfDefault\n"
                        "11;Strike Package;cfModerated;hammer\n"
                        "\n"
                        "12;Tower;;;;4\n"
                        "player;1;10;ATC Blue\n"
                        "player;2;11;Hammer 1;pfWantVoice;pcpVoiced;ppRegistered\n"));
  StartSim({"--channels", path.string()});

  std::array<PxrChannelInfo, 8> channels{};
  int32_t count = 8;
  ASSERT_EQ(lib_.getChannels(channels.data(), &count), 0);
  ASSERT_EQ(count, 3);
  EXPECT_EQ(Field(channels[1].name, 30), "Strike Package");
  EXPECT_EQ(+channels[1].flags, PXR_CF_REGISTERED | PXR_CF_MODERATED | PXR_CF_PASSWORD);
  EXPECT_EQ(+channels[1].playerCount, 1);
  EXPECT_EQ(+channels[2].number4, 4);
  EXPECT_EQ(lib_.switchChannelName("Strike Package", "hammer"), 0);
  PxrUserInfo user{};
  ASSERT_EQ(lib_.getUserInfo(&user), 0);
  EXPECT_EQ(Field(user.player.name, 30), "ATC Blue");
  EXPECT_EQ(+user.channel.id, 11);
}

TEST(ParlixSimCommandLine, AnswersHelpAndVersionAndRejectsBadInput) {
  ProgramRun run = RunParlixSim({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* option : {"--channels", "--hold-mutex", "--control", "--prefix", "--size"}) {
    EXPECT_NE(run.output.find(option), std::string::npos) << option;
  }
  run = RunParlixSim({"--version"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_NE(run.output.find(VANTOR_VERSION), std::string::npos);

  const std::string prefix = UniquePrefix();
  const TemporaryFolder folder;
  const std::filesystem::path bad = folder.File("bad.txt");
  ASSERT_TRUE(WriteFile(bad, "1;Lobby\n1;Again\n"));
  run = RunParlixSim({"--prefix", prefix, "--channels", bad.string()});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.errors.find("line 2"), std::string::npos) << run.errors;
  EXPECT_FALSE(ObjectsPresent(prefix).Any());

  // Found by fuzzing: a CR inside a name split the stand-in's reply lines.
  ASSERT_TRUE(WriteFile(bad, "9;\rm\n"));
  run = RunParlixSim({"--prefix", prefix, "--channels", bad.string()});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.errors.find("control character"), std::string::npos) << run.errors;
  EXPECT_EQ(RunParlixSim({"--prefix", prefix, "--size", "3"}).exitCode, 2);
  EXPECT_EQ(RunParlixSim({"--prefix", prefix, "--size=16777217"}).exitCode, 2);
  EXPECT_EQ(RunParlixSim({"--prefix", prefix, "--channels", folder.File("missing.txt").string()}).exitCode, 2);
  // Options it does not know, values missing or unwanted, stray arguments.
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"--prefix", prefix, "--colour", "blue"},
                                             {"--prefix", prefix, "--size"},
                                             {"--prefix", prefix, "--drop=yes"},
                                             {"--prefix", prefix, "stray"},
                                             {"--prefix", prefix, "--delay", "-5"}}) {
    run = RunParlixSim(arguments);
    EXPECT_EQ(run.exitCode, 2) << arguments[2];
    EXPECT_NE(run.errors.find("parlix-sim: "), std::string::npos) << arguments[2];
  }
  // Waits so long that the clock would overflow are refused too.
  for (const char* option : {"--delay", "--hold-mutex"}) {
    EXPECT_EQ(RunParlixSim({"--prefix", prefix, option, "9223372036854775"}).exitCode, 2) << option;
  }
  EXPECT_FALSE(ObjectsPresent(prefix).Any());
  parlixsim::ControlSettings settings;
  EXPECT_TRUE(parlixsim::ParseControl("delay 9223372036854775\n", settings).has_value());
  EXPECT_FALSE(parlixsim::ParseControl("delay 86400000\n", settings).has_value());
}

// A stand-in that no signal reaches (a console program on Windows) is
// stopped through its control file, as cleanly as by SIGTERM.
TEST_F(ParlixSimProgram, StopInTheControlFileEndsItCleanly) {
  StartSim({"--hold-mutex", "60000"});
  sim_.SetControl("stop\n");
  ASSERT_TRUE(sim_.WaitForOutput("stopped", std::chrono::seconds(5))) << sim_.Output();
  EXPECT_EQ(sim_.Stop(), 0);
  EXPECT_FALSE(ObjectsPresent(prefix_).Any());
  EXPECT_EQ(lib_.disconnect(), -1000);
}

}  // namespace
}  // namespace vantor::voice::test
