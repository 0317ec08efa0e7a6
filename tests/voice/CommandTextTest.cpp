// The exact command text of every export, as the stand-in receives it, and
// the version check that precedes the first command.
#include "VoiceFixture.h"

#include <array>

namespace vantor::voice::test {
namespace {

using ::testing::ElementsAre;

class CommandText : public VoiceTest {
 protected:
  void SetUp() override {
    VoiceTest::SetUp();
    StartSim();
  }
};

TEST_F(CommandText, CommandOnlyExportsSendTheirTextsExactly) {
  lib_.connect("10.0.0.5:8767");
  lib_.connect(nullptr);
  lib_.disconnect();
  lib_.switchChannelName("Blue Ops", nullptr);
  lib_.switchChannelName("Blue Ops", "");
  lib_.switchChannelName("Blue Command", "blue");
  lib_.switchChannelName(nullptr, nullptr);
  lib_.switchChannelId(5, "");
  lib_.switchChannelId(5, nullptr);
  lib_.switchChannelId(-3, "a b");
  lib_.setWantVoiceReason("need to talk");
  lib_.setWantVoiceReason(nullptr);
  lib_.setOperator(4, 2);
  lib_.setOperator(4, 0);
  lib_.setVoice(4, -1);
  lib_.setVoice(4, 0);
  lib_.kickPlayerFromServer(7, "bye now");
  lib_.kickPlayerFromServer(7, nullptr);
  lib_.kickPlayerFromChannel(3, "move");
  lib_.sendTextMessageToChannel(2, "hello all");
  lib_.sendTextMessageToChannel(2, nullptr);
  lib_.sendTextMessage("hi\rthere");
  lib_.sendTextMessage(nullptr);
  lib_.quit();
  EXPECT_THAT(
      sim_.CommandsWithoutVersion(),
      ElementsAre("CONNECT 10.0.0.5:8767", "CONNECT ", "DISCONNECT", Logged("SWITCH_CHANNEL_NAME\rBlue Ops"),
                  Logged("SWITCH_CHANNEL_NAME\rBlue Ops "), Logged("SWITCH_CHANNEL_NAME\rBlue Command blue"),
                  Logged("SWITCH_CHANNEL_NAME\r"), "SWITCH_CHANNEL_ID 5 ", "SWITCH_CHANNEL_ID 5",
                  "SWITCH_CHANNEL_ID -3 a b", "SET_WANT_VOICE_REASON need to talk", "SET_WANT_VOICE_REASON ",
                  "SET_OPERATOR 4 grGrant", "SET_OPERATOR 4 grRevoke", "SET_VOICE 4 grGrant", "SET_VOICE 4 grRevoke",
                  "KICK_PLAYER_FROM_SERVER 7 bye now", "KICK_PLAYER_FROM_SERVER 7 ", "KICK_PLAYER_FROM_CHANNEL 3 move",
                  "SEND_TEXT_MESSAGE_TO_CHANNEL 2 hello all", "SEND_TEXT_MESSAGE_TO_CHANNEL 2 ",
                  Logged("SEND_TEXT_MESSAGE hi\rthere"), "SEND_TEXT_MESSAGE ", "QUIT"));
}

TEST_F(CommandText, PlayerFlagsAreSentByNameInBitOrder) {
  lib_.setPlayerFlags(0);
  lib_.setPlayerFlags(128 | 256 | static_cast<int32_t>(0x80000000u));
  lib_.setPlayerFlags(PXR_PF_WANT_VOICE | PXR_PF_AWAY);
  lib_.setPlayerFlags(127);
  lib_.setPlayerFlags(PXR_PF_RECORDING | 1024);
  EXPECT_THAT(sim_.CommandsWithoutVersion(),
              ElementsAre("SET_PLAYER_FLAGS none", "SET_PLAYER_FLAGS none", "SET_PLAYER_FLAGS pfWantVoice,pfAway",
                          "SET_PLAYER_FLAGS pfChannelCommander,pfWantVoice,pfNoWhisper,pfAway,pfInputMuted,"
                          "pfOutputMuted,pfRecording",
                          "SET_PLAYER_FLAGS pfRecording"));
}

TEST_F(CommandText, DataExportsSendTheirTextsAndAskForPlayersOnlyWithRoom) {
  PxrVersionInfo version{};
  PxrServerInfo server{};
  PxrUserInfo user{};
  PxrChannelInfo channel{};
  PxrPlayerInfo player{};
  std::array<PxrPlayerInfo, 10> players{};
  std::array<PxrChannelInfo, 10> channels{};
  std::array<int32_t, 10> ids{};

  lib_.getVersion(&version);
  lib_.getServerInfo(&server);
  lib_.getUserInfo(&user);
  int32_t count = 10;
  lib_.getChannelInfoById(4, &channel, players.data(), &count);
  count = 0;
  EXPECT_EQ(lib_.getChannelInfoById(4, &channel, players.data(), &count), 0);
  EXPECT_EQ(count, 0);
  count = 10;
  EXPECT_EQ(lib_.getChannelInfoById(4, &channel, nullptr, &count), 0);
  EXPECT_EQ(count, 0) << "without players asked for the count becomes 0";
  lib_.getChannelInfoById(4, &channel, players.data(), nullptr);
  count = 10;
  lib_.getChannelInfoByName("Blue Ops", &channel, players.data(), &count);
  lib_.getChannelInfoByName("Blue Ops", &channel, nullptr, nullptr);
  lib_.getChannelInfoByName(nullptr, &channel, nullptr, nullptr);
  lib_.getPlayerInfoById(3, &player);
  lib_.getPlayerInfoByName("Viper 11", &player);
  lib_.getPlayerInfoByName(nullptr, &player);
  count = 10;
  lib_.getChannels(channels.data(), &count);
  count = 10;
  lib_.getPlayers(players.data(), &count);
  count = 10;
  lib_.getSpeakers(ids.data(), &count);

  EXPECT_THAT(sim_.Commands(),
              ElementsAre("GET_VERSION", "GET_VERSION", "GET_SERVER_INFO", "GET_USER_INFO",
                          "GET_CHANNEL_INFO_ID 4 GET_PLAYERS_TOO", "GET_CHANNEL_INFO_ID 4", "GET_CHANNEL_INFO_ID 4",
                          "GET_CHANNEL_INFO_ID 4", Logged("GET_CHANNEL_INFO_NAME Blue Ops\rGET_PLAYERS_TOO"),
                          "GET_CHANNEL_INFO_NAME Blue Ops", "GET_CHANNEL_INFO_NAME ", "GET_PLAYER_INFO_ID 3",
                          "GET_PLAYER_INFO_NAME Viper 11", "GET_PLAYER_INFO_NAME ", "GET_CHANNELS", "GET_PLAYERS",
                          "GET_SPEAKERS"));
}

// The explicit pxrGetVersion does not fill the cached version: only the
// check before another command does, and then it runs once.
TEST_F(CommandText, VersionIsQueriedBeforeTheFirstCommandOnly) {
  PxrVersionInfo version{};
  ASSERT_EQ(lib_.getVersion(&version), 0);
  EXPECT_EQ(+version.major, 2);
  lib_.disconnect();
  lib_.connect("voice.example:8767");
  lib_.getVersion(&version);
  lib_.disconnect();
  EXPECT_THAT(sim_.Commands(), ElementsAre("GET_VERSION", "GET_VERSION", "DISCONNECT", "CONNECT voice.example:8767",
                                           "GET_VERSION", "DISCONNECT"));
}

TEST_F(CommandText, MajorVersionZeroIsQueriedBeforeEveryCommandUntilItChanges) {
  sim_.SetControl(AnswerDirective("GET_VERSION", "OK\r0.9.1.7"));
  EXPECT_EQ(lib_.disconnect(), 0);
  EXPECT_EQ(lib_.disconnect(), 0);
  sim_.SetControl(AnswerDirective("GET_VERSION", "OK\r3.0.0.1"));
  EXPECT_EQ(lib_.disconnect(), 0);
  EXPECT_EQ(lib_.disconnect(), 0);
  sim_.SetControl(AnswerDirective("GET_VERSION", "OK\r0.0.0.0"));
  EXPECT_EQ(lib_.disconnect(), 0);
  EXPECT_THAT(sim_.Commands(), ElementsAre("GET_VERSION", "DISCONNECT", "GET_VERSION", "DISCONNECT", "GET_VERSION",
                                           "DISCONNECT", "DISCONNECT", "DISCONNECT"));
}

TEST_F(CommandText, FailedVersionQueryStopsTheCommandBeforeItIsSent) {
  sim_.SetControl(AnswerDirective("GET_VERSION", "ERROR -77 BUSY RIGHT NOW"));
  std::array<PxrChannelInfo, 4> channels{};
  int32_t count = 4;
  EXPECT_EQ(lib_.getChannels(channels.data(), &count), -77);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(lib_.LastError(), "ERROR -77 BUSY RIGHT NOW");
  EXPECT_EQ(lib_.switchChannelId(2, ""), -77);
  EXPECT_THAT(sim_.Commands(), ElementsAre("GET_VERSION", "GET_VERSION"));
}

TEST_F(CommandText, ReloadedLibraryChecksTheVersionAgain) {
  lib_.disconnect();
  lib_.disconnect();
  lib_.Reload();  // the cached version starts at zero again
  ASSERT_TRUE(lib_.Loaded());
  lib_.disconnect();
  EXPECT_THAT(sim_.Commands(), ElementsAre("GET_VERSION", "DISCONNECT", "DISCONNECT", "GET_VERSION", "DISCONNECT"));
}

}  // namespace
}  // namespace vantor::voice::test
