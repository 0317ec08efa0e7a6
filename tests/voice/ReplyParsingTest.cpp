// Replies of every shape, scripted into the stand-in, and what the library
// makes of them: status line, error codes, the line and payload rules, the
// integer conversion.
#include "VoiceFixture.h"

#include <array>
#include <cstring>

namespace vantor::voice::test {
namespace {

using ::testing::ElementsAre;

class ReplyParsing : public VoiceTest {
 protected:
  void SetUp() override {
    VoiceTest::SetUp();
    StartSim();
  }
  void Answer(const std::string& command, const std::string& reply) {
    sim_.SetControl(AnswerDirective(command, reply));
  }

  // GET_SPEAKERS with `payload`; returns the result code.
  int32_t Speakers(const std::string& payload, int32_t capacity = 16) {
    Answer("GET_SPEAKERS", "OK\r" + payload);
    ids_.fill(-99);
    count_ = capacity;
    return lib_.getSpeakers(ids_.data(), &count_);
  }

  std::array<int32_t, 16> ids_{};
  int32_t count_ = 0;
};

TEST_F(ReplyParsing, StatusLineOkAloneIsSuccessWithEmptyPayload) {
  Answer("GET_CHANNELS", "OK");
  std::array<PxrChannelInfo, 4> channels{};
  int32_t count = 4;
  EXPECT_EQ(lib_.getChannels(channels.data(), &count), 0);
  EXPECT_EQ(count, 0);
}

TEST_F(ReplyParsing, StatusLineStartingWithOkIsDroppedWhole) {
  Answer("GET_CHANNELS", "OKAY 17 whatever\r4 -1 2 16 cfDefault Tower");
  std::array<PxrChannelInfo, 4> channels{};
  int32_t count = 4;
  EXPECT_EQ(lib_.getChannels(channels.data(), &count), 0);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(+channels[0].id, 4);
  EXPECT_EQ(Field(channels[0].name, 30), "Tower");
}

TEST_F(ReplyParsing, ErrorReplyGivesItsCodeAndBecomesTheLastError) {
  Answer("DISCONNECT", "ERROR -42 NOT NOW, PLEASE");
  EXPECT_EQ(lib_.disconnect(), -42);
  EXPECT_EQ(lib_.LastError(), "ERROR -42 NOT NOW, PLEASE");

  // A successful call leaves the text of the last failure.
  sim_.SetControl("");
  EXPECT_EQ(lib_.disconnect(), 0);
  EXPECT_EQ(lib_.LastError(), "ERROR -42 NOT NOW, PLEASE");

  Answer("DISCONNECT", "ERROR -$1F HEX CODE");
  EXPECT_EQ(lib_.disconnect(), -31);
}

TEST_F(ReplyParsing, ErrorReplyWithoutUsableCodeGivesMinus1003) {
  const std::array<std::string, 5> replies{"ERROR -42", "", "ERR", "FAILED", "ERROR abc DENIED"};
  for (const std::string& reply : replies) {
    Answer("DISCONNECT", reply);
    EXPECT_EQ(lib_.disconnect(), -1003) << reply;
    EXPECT_EQ(lib_.LastError(), "ERROR -1003 INVALID ERROR RETURNED (" + reply + ")");
  }
}

// An error reply claiming code 0 must not pass for success: the caller would
// read a count and records that were never filled.
TEST_F(ReplyParsing, ErrorReplyWithCodeZeroIsAFailure) {
  Answer("GET_CHANNELS", "ERROR 0 ALL FINE\r1 -1 0 0 none Lobby");
  std::array<PxrChannelInfo, 4> channels{};
  int32_t count = 4;
  EXPECT_EQ(lib_.getChannels(channels.data(), &count), -1003);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(+channels[0].id, 0);
  EXPECT_EQ(lib_.LastError(), "ERROR -1003 INVALID ERROR RETURNED (ERROR 0 ALL FINE\r1 -1 0 0 none Lobby)");
}

TEST_F(ReplyParsing, ChannelLineFieldsFlagsAndName) {
  Answer("GET_CHANNELS",
         "OK\r7 2 3 16 cfModerated,cfPassword Blue Command\r8 -1 0 4 none Guest\r"
         "9 -1 1 4 cfUnregistered,cfHierarchical,cfDefault A B  C");
  std::array<PxrChannelInfo, 4> channels{};
  int32_t count = 4;
  ASSERT_EQ(lib_.getChannels(channels.data(), &count), 0);
  ASSERT_EQ(count, 3);
  EXPECT_EQ(+channels[0].id, 7);
  EXPECT_EQ(+channels[0].number2, 2);
  EXPECT_EQ(+channels[0].playerCount, 3);
  EXPECT_EQ(+channels[0].number4, 16) << "the fourth number is stored after the flags";
  EXPECT_EQ(+channels[0].flags, PXR_CF_REGISTERED | PXR_CF_MODERATED | PXR_CF_PASSWORD);
  EXPECT_EQ(Field(channels[0].name, 30), "Blue Command");
  EXPECT_EQ(+channels[1].flags, PXR_CF_REGISTERED) << "\"none\" means registered and nothing else";
  EXPECT_EQ(+channels[2].flags, PXR_CF_UNREGISTERED | PXR_CF_HIERARCHICAL | PXR_CF_DEFAULT);
  EXPECT_EQ(Field(channels[2].name, 30), "A B  C") << "the name is the whole rest of the line";
}

TEST_F(ReplyParsing, LongNameFillsTheFieldWithoutNulAndTouchesNothingElse) {
  const std::string name40 = "Combined Air Operations Centre North 123";
  ASSERT_EQ(name40.size(), 40u);
  Answer("GET_CHANNELS", "OK\r5 1 2 3 cfModerated " + name40);
  std::array<PxrChannelInfo, 2> channels{};
  std::memset(channels.data(), 0x5A, sizeof channels);
  int32_t count = 1;
  ASSERT_EQ(lib_.getChannels(channels.data(), &count), 0);
  ASSERT_EQ(count, 1);
  EXPECT_EQ(std::string(channels[0].name, 30), name40.substr(0, 30));
  EXPECT_EQ(+channels[0].flags, PXR_CF_REGISTERED | PXR_CF_MODERATED);
  EXPECT_EQ(+channels[0].number4, 3);
  EXPECT_EQ(+channels[1].id, 0x5A5A5A5A) << "the next element is untouched";

  // A shorter name is followed by NULs, also over an element with old data.
  Answer("GET_CHANNELS", "OK\r5 1 2 3 none Tower");
  ASSERT_EQ(lib_.getChannels(channels.data(), &count), 0);
  EXPECT_EQ(std::string(channels[0].name, 6), std::string("Tower\0", 6));
}

TEST_F(ReplyParsing, ChannelLineMissingANumberFailsWithMinus1004OrMinus1005) {
  std::array<PxrChannelInfo, 4> channels{};
  int32_t count = 4;
  Answer("GET_CHANNELS", "OK\r1 2 3 none");
  EXPECT_EQ(lib_.getChannels(channels.data(), &count), -1004);
  EXPECT_EQ(lib_.LastError(), "ERROR -1004 UNEXPECTED FORMAT RETURNED");
  Answer("GET_CHANNELS", "OK\r1 2 3 none Lobby");
  EXPECT_EQ(lib_.getChannels(channels.data(), &count), -1005);
  EXPECT_EQ(lib_.LastError(), "ERROR -1005 INTEGER EXPECTED");
  EXPECT_EQ(count, 4);
}

TEST_F(ReplyParsing, FailedListKeepsTheCallersCountAndTheElementsReadSoFar) {
  Answer("GET_CHANNELS", "OK\r1 -1 0 8 none Lobby\r2 -1 0 8 none Blue\r3 -1 0 q8 none Red\r4 -1 0 8 none Tower");
  std::array<PxrChannelInfo, 6> channels{};
  std::memset(channels.data(), 0x11, sizeof channels);
  int32_t count = 6;
  EXPECT_EQ(lib_.getChannels(channels.data(), &count), -1005);
  EXPECT_EQ(count, 6);
  EXPECT_EQ(+channels[0].id, 1);
  EXPECT_EQ(+channels[1].id, 2);
  EXPECT_EQ(+channels[2].id, 3) << "fields before the failing one hold their values";
  EXPECT_EQ(+channels[2].number4, 0) << "the failing field keeps its leading-digits value";
  EXPECT_EQ(+channels[2].flags, 0x11111111) << "fields after it keep old contents";
  EXPECT_EQ(+channels[3].id, 0x11111111);
}

TEST_F(ReplyParsing, ListsStopAtTheCapacity) {
  Answer("GET_PLAYERS", "OK\r1 1 none none none A\r2 1 none none none B\r3 1 none none none C");
  std::array<PxrPlayerInfo, 3> players{};
  std::memset(players.data(), 0x22, sizeof players);
  int32_t count = 2;
  EXPECT_EQ(lib_.getPlayers(players.data(), &count), 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(+players[1].id, 2);
  EXPECT_EQ(+players[2].id, 0x22222222);
}

TEST_F(ReplyParsing, PlayerLineFlagsAreFoundByExactName) {
  Answer("GET_PLAYER_INFO_ID 5", "OK\r5 4 pcpAutoOperator ppSuperServerAdmin pfAway|pfRecording|bogus Tower Ctl (Sam)");
  PxrPlayerInfo player{};
  ASSERT_EQ(lib_.getPlayerInfoById(5, &player), 0);
  EXPECT_EQ(+player.id, 5);
  EXPECT_EQ(+player.number2, 4);
  EXPECT_EQ(+player.channelPrivileges, PXR_PCP_AUTO_OPERATOR) << "\"pcpOperator\" does not occur in it";
  EXPECT_EQ(+player.privileges, PXR_PP_SUPER_SERVER_ADMIN);
  EXPECT_EQ(+player.flags, PXR_PF_AWAY | PXR_PF_RECORDING);
  EXPECT_EQ(Field(player.name, 30), "Tower Ctl (Sam)");

  Answer("GET_PLAYER_INFO_ID 5", "OK\r5 4 pcpAdmin,pcpVoiced,pcpAutoVoice ppRegistered,ppCanRegister none Al");
  ASSERT_EQ(lib_.getPlayerInfoById(5, &player), 0);
  EXPECT_EQ(+player.channelPrivileges, PXR_PCP_ADMIN | PXR_PCP_VOICED | PXR_PCP_AUTO_VOICE);
  EXPECT_EQ(+player.privileges, PXR_PP_REGISTERED | PXR_PP_CAN_REGISTER);
  EXPECT_EQ(+player.flags, 0);
}

TEST_F(ReplyParsing, PlayerRecordIsClearedBeforeAFailingExchange) {
  PxrPlayerInfo player{};
  std::memset(&player, 0x33, sizeof player);
  Answer("GET_PLAYER_INFO_NAME Nobody", "ERROR -11 INVALID PLAYER");
  EXPECT_EQ(lib_.getPlayerInfoByName("Nobody", &player), -11);
  EXPECT_EQ(+player.id, 0);
  EXPECT_EQ(+player.flags, 0);
}

TEST_F(ReplyParsing, ChannelInfoWithPlayers) {
  Answer("GET_CHANNEL_INFO_ID 4 GET_PLAYERS_TOO",
         "OK\r4 -1 2 16 none Tower\r5 4 pcpOperator none none Tower Ctl\r8 4 none none pfAway Ground 1");
  PxrChannelInfo channel{};
  std::array<PxrPlayerInfo, 4> players{};
  int32_t count = 4;
  ASSERT_EQ(lib_.getChannelInfoById(4, &channel, players.data(), &count), 0);
  EXPECT_EQ(+channel.id, 4);
  EXPECT_EQ(+channel.playerCount, 2);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(+players[0].channelPrivileges, PXR_PCP_OPERATOR);
  EXPECT_EQ(Field(players[1].name, 30), "Ground 1");

  // Players asked for, but the channel is empty.
  Answer("GET_CHANNEL_INFO_ID 4 GET_PLAYERS_TOO", "OK\r4 -1 0 16 none Tower");
  count = 4;
  ASSERT_EQ(lib_.getChannelInfoById(4, &channel, players.data(), &count), 0);
  EXPECT_EQ(count, 0);

  // A failing channel line: the record was cleared, the count stays.
  Answer("GET_CHANNEL_INFO_ID 4 GET_PLAYERS_TOO", "OK\r4 -1 bad");
  count = 4;
  EXPECT_EQ(lib_.getChannelInfoById(4, &channel, players.data(), &count), -1004);
  EXPECT_EQ(+channel.id, 4);
  EXPECT_EQ(+channel.playerCount, 0);
  EXPECT_EQ(count, 4);
}

TEST_F(ReplyParsing, ServerInfoPayload) {
  const std::string welcome(300, 'w');
  Answer("GET_SERVER_INFO", "OK\rVantor Voice\r" + welcome +
                                "\r2.0.24.1\rLinux\r127.0.0.1:8767\rStand-in\rstClan,stCommercial\r7\r64\r10\r3600");
  PxrServerInfo info{};
  ASSERT_EQ(lib_.getServerInfo(&info), 0);
  EXPECT_EQ(Field(info.text1, 30), "Vantor Voice");
  EXPECT_EQ(std::string(info.text2, 256), welcome.substr(0, 256));
  EXPECT_EQ(+info.version.major, 2);
  EXPECT_EQ(+info.version.minor, 0);
  EXPECT_EQ(+info.version.release, 24);
  EXPECT_EQ(+info.version.build, 1);
  EXPECT_EQ(Field(info.text3, 30), "Linux");
  EXPECT_EQ(Field(info.text4, 30), "127.0.0.1:8767");
  EXPECT_EQ(Field(info.text5, 100), "Stand-in");
  EXPECT_EQ(+info.serverType, PXR_ST_CLAN | PXR_ST_COMMERCIAL);
  EXPECT_EQ(+info.number1, 7);
  EXPECT_EQ(+info.number2, 64);
  EXPECT_EQ(+info.number3, 10);
  EXPECT_EQ(+info.number4, 3600);
}

TEST_F(ReplyParsing, ServerInfoFailures) {
  PxrServerInfo info{};
  // A version line short of its numbers ends the parse.
  Answer("GET_SERVER_INFO", "OK\rName\rWelcome\r2.0\rLinux\raddr\rtext\rstClan\r1\r2\r3\r4");
  EXPECT_EQ(lib_.getServerInfo(&info), -1004);
  EXPECT_EQ(+info.version.major, 2);
  EXPECT_EQ(Field(info.text3, 30), "");
  EXPECT_EQ(+info.number1, 0);

  // The last three numbers are each tried; a failure still marks the result.
  Answer("GET_SERVER_INFO", "OK\rName\rWelcome\r1.2.3.4\rLinux\raddr\rtext\rstPublic\r5\rsix\r7\r8");
  EXPECT_EQ(lib_.getServerInfo(&info), -1005);
  EXPECT_EQ(+info.serverType, PXR_ST_PUBLIC);
  EXPECT_EQ(+info.number1, 5);
  EXPECT_EQ(+info.number2, 0);
  EXPECT_EQ(+info.number3, 7);
  EXPECT_EQ(+info.number4, 8);
}

TEST_F(ReplyParsing, UserInfoPayload) {
  Answer("GET_USER_INFO",
         "OK\r1 8 pcpAdmin ppServerAdmin pfWantVoice Controller\r8 2 1 8 cfPassword Blue Command\r"
         "2 -1 3 32 cfModerated Blue Ops");
  PxrUserInfo user{};
  ASSERT_EQ(lib_.getUserInfo(&user), 0);
  EXPECT_EQ(+user.player.id, 1);
  EXPECT_EQ(+user.player.flags, PXR_PF_WANT_VOICE);
  EXPECT_EQ(Field(user.player.name, 30), "Controller");
  EXPECT_EQ(+user.channel.id, 8);
  EXPECT_EQ(+user.channel.flags, PXR_CF_REGISTERED | PXR_CF_PASSWORD);
  EXPECT_EQ(+user.secondChannel.id, 2);
  EXPECT_EQ(Field(user.secondChannel.name, 30), "Blue Ops");

  // Each record only after the one before succeeded.
  Answer("GET_USER_INFO", "OK\r1 8 none none none Controller\r8 x\r2 -1 3 32 none Blue Ops");
  EXPECT_EQ(lib_.getUserInfo(&user), -1004);
  EXPECT_EQ(+user.player.id, 1);
  EXPECT_EQ(+user.channel.id, 8);
  EXPECT_EQ(+user.secondChannel.id, 0);
}

TEST_F(ReplyParsing, VersionPayloadNeverFails) {
  struct Case {
    std::string payload;
    std::array<int32_t, 4> expected;
  };
  const std::array<Case, 5> cases{{{"2.0.32.60", {2, 0, 32, 60}},
                                   {"7", {0, 0, 0, 7}},
                                   {"1.2", {1, 0, 0, 2}},
                                   {"1.2.3.4beta", {1, 2, 3, 4}},
                                   {"a.b.c.d", {0, 0, 0, 0}}}};
  for (const Case& c : cases) {
    Answer("GET_VERSION", "OK\r" + c.payload);
    PxrVersionInfo version{};
    EXPECT_EQ(lib_.getVersion(&version), 0) << c.payload;
    EXPECT_EQ((std::array<int32_t, 4>{version.major, version.minor, version.release, version.build}), c.expected)
        << c.payload;
  }
}

TEST_F(ReplyParsing, SpeakersEachFollowedBySemicolon) {
  EXPECT_EQ(Speakers("2;5;"), 0);
  EXPECT_EQ(count_, 2);
  EXPECT_THAT(std::vector<int32_t>(ids_.begin(), ids_.begin() + 2), ElementsAre(2, 5));

  EXPECT_EQ(Speakers("2;5"), -1004);
  EXPECT_EQ(count_, 1) << "the speakers count always tells how many were stored";
  EXPECT_EQ(ids_[1], -99);

  EXPECT_EQ(Speakers("2;5;7;", 2), 0);
  EXPECT_EQ(count_, 2);
  EXPECT_EQ(ids_[2], -99);

  EXPECT_EQ(Speakers(""), 0);
  EXPECT_EQ(count_, 0);
}

TEST_F(ReplyParsing, IntegerConversionAcceptsSignsBlanksAndHexForms) {
  ASSERT_EQ(Speakers("$1F;x1f;X1F;0x1F;0X1f;-12;+7;  9;2147483647;-2147483648;$FFFFFFFF;-$10;0;"), 0);
  EXPECT_THAT(std::vector<int32_t>(ids_.begin(), ids_.begin() + count_),
              ElementsAre(31, 31, 31, 31, 31, -12, 7, 9, 2147483647, -2147483647 - 1, -1, -16, 0));
}

TEST_F(ReplyParsing, IntegerConversionFailuresKeepTheLeadingDigitsValue) {
  struct Case {
    std::string token;
    int32_t value;
  };
  const std::array<Case, 11> cases{{{"2147483648", 214748364},
                                    {"-2147483649", -214748364},
                                    {"$100000000", 0x10000000},
                                    {"12ab", 12},
                                    {"-7x", -7},
                                    {"1 ", 1},
                                    {"", 0},
                                    {"-", 0},
                                    {"0x", 0},
                                    {"$G1", 0},
                                    {"1.5", 1}}};
  for (const Case& c : cases) {
    EXPECT_EQ(Speakers(c.token + ";"), -1005) << c.token;
    EXPECT_EQ(count_, 0) << c.token;
    EXPECT_EQ(ids_[0], c.value) << c.token;
    EXPECT_EQ(lib_.LastError(), "ERROR -1005 INTEGER EXPECTED");
  }
}

TEST_F(ReplyParsing, LineFeedIsNoLineSeparator) {
  Answer("GET_CHANNELS", "OK\r1 -1 0 8 none Lobby\n\r2 -1 0 8 none Blue");
  std::array<PxrChannelInfo, 4> channels{};
  int32_t count = 4;
  ASSERT_EQ(lib_.getChannels(channels.data(), &count), 0);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(Field(channels[0].name, 30), "Lobby\n");
}

}  // namespace
}  // namespace vantor::voice::test
