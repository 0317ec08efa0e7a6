// The library's boundary: exports by name, behaviour with no Parlix at all,
// the last-error accessor and the state that lives as long as the library.
#include "VoiceFixture.h"

#include <array>
#include <cstring>

namespace vantor::voice::test {
namespace {

constexpr const char* kNotFound = "ERROR -1000 PARLIX CLIENT NOT FOUND";

using LibraryInterface = VoiceTest;

TEST_F(LibraryInterface, WithoutParlixEveryExportFailsAtOnceWithMinus1000) {
  std::array<PxrChannelInfo, 2> channels{};
  std::array<PxrPlayerInfo, 2> players{};
  std::array<int32_t, 2> ids{};
  PxrVersionInfo version{};
  PxrServerInfo server{};
  PxrUserInfo user{};
  PxrChannelInfo channel{};
  PxrPlayerInfo player{};
  std::memset(&server, 0xAB, sizeof server);
  std::memset(&channel, 0xAB, sizeof channel);
  int32_t channelCount = 2;
  int32_t playerCount = 2;
  int32_t speakerCount = 2;
  int32_t infoCount = 2;

  const long long elapsed = MillisecondsOf([&] {
    EXPECT_EQ(lib_.connect("127.0.0.1"), -1000);
    EXPECT_EQ(lib_.disconnect(), -1000);
    EXPECT_EQ(lib_.quit(), -1000);
    EXPECT_EQ(lib_.switchChannelName("Lobby", ""), -1000);
    EXPECT_EQ(lib_.switchChannelId(1, ""), -1000);
    EXPECT_EQ(lib_.setPlayerFlags(2), -1000);
    EXPECT_EQ(lib_.setWantVoiceReason("r"), -1000);
    EXPECT_EQ(lib_.setOperator(1, 1), -1000);
    EXPECT_EQ(lib_.setVoice(1, 1), -1000);
    EXPECT_EQ(lib_.kickPlayerFromServer(1, "t"), -1000);
    EXPECT_EQ(lib_.kickPlayerFromChannel(1, "t"), -1000);
    EXPECT_EQ(lib_.sendTextMessageToChannel(1, "m"), -1000);
    EXPECT_EQ(lib_.sendTextMessage("m"), -1000);
    EXPECT_EQ(lib_.getVersion(&version), -1000);
    EXPECT_EQ(lib_.getServerInfo(&server), -1000);
    EXPECT_EQ(lib_.getUserInfo(&user), -1000);
    EXPECT_EQ(lib_.getChannelInfoById(1, &channel, players.data(), &infoCount), -1000);
    EXPECT_EQ(lib_.getChannelInfoByName("Lobby", &channel, players.data(), &infoCount), -1000);
    EXPECT_EQ(lib_.getPlayerInfoById(1, &player), -1000);
    EXPECT_EQ(lib_.getPlayerInfoByName("x", &player), -1000);
    EXPECT_EQ(lib_.getChannels(channels.data(), &channelCount), -1000);
    EXPECT_EQ(lib_.getPlayers(players.data(), &playerCount), -1000);
    EXPECT_EQ(lib_.getSpeakers(ids.data(), &speakerCount), -1000);
  });
  EXPECT_LT(elapsed, 1000) << "nothing may be waited for without a Parlix";
  EXPECT_EQ(lib_.LastError(), kNotFound);

  // Records named as cleared are zero; counts keep what the caller passed.
  EXPECT_EQ(+server.serverType, 0);
  EXPECT_EQ(Field(server.text1, sizeof server.text1), "");
  EXPECT_EQ(+channel.id, 0);
  EXPECT_EQ(channelCount, 2);
  EXPECT_EQ(playerCount, 2);
  EXPECT_EQ(speakerCount, 2);
  EXPECT_EQ(infoCount, 2);
  // The library opened nothing further and created no event.
  EXPECT_FALSE(ObjectsPresent(prefix_).Any());
}

// The buffer is `size` bytes: at most size - 1 characters and the NUL, never
// a byte more.
TEST_F(LibraryInterface, LastErrorNeverWritesPastTheCallersBuffer) {
  ASSERT_EQ(lib_.disconnect(), -1000);

  std::array<char, 16> buffer;
  buffer.fill('#');
  lib_.getLastError(buffer.data(), 10);
  EXPECT_STREQ(buffer.data(), "ERROR -10");
  EXPECT_EQ(buffer[10], '#');

  buffer.fill('#');
  lib_.getLastError(buffer.data(), 1);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(buffer[1], '#');

  buffer.fill('#');
  lib_.getLastError(buffer.data(), 0);
  lib_.getLastError(buffer.data(), -4);
  lib_.getLastError(nullptr, 10);
  EXPECT_EQ(buffer[0], '#');

  std::array<char, 64> roomy;
  roomy.fill('#');
  lib_.getLastError(roomy.data(), static_cast<int32_t>(roomy.size()));
  EXPECT_STREQ(roomy.data(), kNotFound);
  EXPECT_EQ(roomy[std::strlen(kNotFound) + 1], '#');
}

TEST(LibraryReload, UnloadingDropsTheLastErrorText) {
  const ScopedPrefix prefix(UniquePrefix());
  {
    PxRemoteLibrary lib;
    ASSERT_TRUE(lib.Loaded());
    EXPECT_EQ(lib.LastError(), "");
    ASSERT_EQ(lib.disconnect(), -1000);
    ASSERT_EQ(lib.LastError(), kNotFound);
  }
  PxRemoteLibrary reloaded;
  ASSERT_TRUE(reloaded.Loaded());
  EXPECT_EQ(reloaded.LastError(), "");
}

// Null record and count pointers are the caller's mistake, but they must
// not bring the caller down.
TEST_F(LibraryInterface, NullRecordsAndCountsAreSurvived) {
  StartSim();
  EXPECT_EQ(lib_.getVersion(nullptr), 0);
  EXPECT_EQ(lib_.getServerInfo(nullptr), 0);
  EXPECT_EQ(lib_.getUserInfo(nullptr), 0);
  EXPECT_EQ(lib_.getChannelInfoById(1, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(lib_.getPlayerInfoById(1, nullptr), 0);
  int32_t count = 5;
  EXPECT_EQ(lib_.getChannels(nullptr, &count), 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(lib_.getPlayers(nullptr, nullptr), 0);
  count = 5;
  EXPECT_EQ(lib_.getSpeakers(nullptr, &count), 0);
  EXPECT_EQ(count, 0);
  std::array<PxrChannelInfo, 1> channels{};
  EXPECT_EQ(lib_.getChannels(channels.data(), nullptr), 0);
}

}  // namespace
}  // namespace vantor::voice::test
