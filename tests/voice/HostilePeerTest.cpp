// The library against a stand-in that misbehaves: late replies, an area that
// shrinks under the call, garbage, a peer that dies mid-exchange. Every call
// returns within its bound with its error, writes nothing outside the
// caller's records, and a healthy stand-in is served normally afterwards.
#include "VoiceFixture.h"

#include <array>
#include <cstring>
#include <thread>

namespace vantor::voice::test {
namespace {

constexpr int32_t kNoReply = -1105;
// Mutex wait plus reply wait, and some room for a loaded machine.
constexpr long long kCallBoundMs = 3500 + 700;

// Records between two guard records; the call gets the middle ones only.
template <typename Record, std::size_t N>
class Guarded {
 public:
  Guarded() { std::memset(records_.data(), kGuardByte, sizeof records_); }
  Record* Data() { return records_.data() + 1; }
  static constexpr int32_t Capacity() { return N; }
  bool GuardsIntact() const {
    const auto* bytes = reinterpret_cast<const unsigned char*>(records_.data());
    const std::size_t last = (N + 1) * sizeof(Record);
    for (std::size_t i = 0; i < sizeof(Record); ++i) {
      if (bytes[i] != kGuardByte || bytes[last + i] != kGuardByte) return false;
    }
    return true;
  }

 private:
  static constexpr unsigned char kGuardByte = 0xA5;
  std::array<Record, N + 2> records_;
};

class HostilePeer : public VoiceTest {
 protected:
  // A first exchange that leaves the version known and the voice server as
  // it was.
  void WarmUp() {
    std::array<PxrChannelInfo, 16> channels{};
    int32_t count = 16;
    ASSERT_EQ(lib_.getChannels(channels.data(), &count), 0);
  }
};

// A voice client that answers in 700 ms: the channel list that arrives after
// pxrGetChannels gave up must not be taken as the player list.
TEST_F(HostilePeer, LateReplyNeverBecomesTheReplyOfTheNextCall) {
  StartSim();
  WarmUp();
  sim_.SetControl("delay 700\n");
  std::array<PxrChannelInfo, 16> channels{};
  int32_t channelCount = 16;
  EXPECT_EQ(lib_.getChannels(channels.data(), &channelCount), kNoReply);

  std::array<PxrPlayerInfo, 16> players{};
  int32_t playerCount = 16;
  const long long elapsed = MillisecondsOf([&] { EXPECT_EQ(lib_.getPlayers(players.data(), &playerCount), kNoReply); });
  EXPECT_LT(elapsed, kCallBoundMs);
  EXPECT_EQ(playerCount, 16) << "a failed call leaves the count as passed";
  EXPECT_EQ(Field(players[0].name, 30), "") << "no channel may be read as a player";

  // Answering promptly again: the next call gets its own answer.
  sim_.SetControl("");
  playerCount = 16;
  ASSERT_EQ(lib_.getPlayers(players.data(), &playerCount), 0);
  EXPECT_EQ(playerCount, 7);
  EXPECT_EQ(Field(players[0].name, 30), "Controller");
  channelCount = 16;
  ASSERT_EQ(lib_.getChannels(channels.data(), &channelCount), 0);
  EXPECT_EQ(Field(channels[0].name, 30), "Lobby");
}

TEST_F(HostilePeer, GarbageRepliesNeverWriteOutsideTheCallersRecords) {
  StartSim();
  WarmUp();
  std::string manyChannels = "OK";
  std::string manyPlayers = "OK";
  std::string manySpeakers = "OK\r";
  for (int i = 0; i < 200; ++i) {
    const std::string number = std::to_string(i);
    manyChannels.append("\r").append(number).append(" 0 1 0 cfModerated").append(100, 'N');
    manyPlayers.append("\r").append(number).append(" 0 pcpAdmin ppRegistered pfAway ").append(100, 'P');
    manySpeakers.append(number).append(";");
  }
  const std::vector<std::string> garbage = {
      manyChannels,
      manyPlayers,
      manySpeakers,
      "OK\r\r\r\r",
      "OK\r1 2",
      "OK\r1 2 3 4 5",
      "OK\r$FFFFFFFF 0x7FFFFFFF -2147483648 99999999999 cf",
      std::string("OK\r1 2 3 4 \xff\xfe\x01", 13),
      "ERROR",
      "ERRORS -12x",
      std::string(5000, 'Z'),
  };
  for (const std::string& reply : garbage) {
    SCOPED_TRACE(reply.substr(0, 40));
    sim_.SetControl(AnswerDirective("*", reply));
    Guarded<PxrChannelInfo, 4> channels;
    int32_t count = channels.Capacity();
    const int32_t channelResult = lib_.getChannels(channels.Data(), &count);
    EXPECT_TRUE(channels.GuardsIntact());
    if (channelResult == 0) {
      EXPECT_GE(count, 0);
      EXPECT_LE(count, channels.Capacity());
    }

    Guarded<PxrPlayerInfo, 4> players;
    count = players.Capacity();
    const int32_t playerResult = lib_.getPlayers(players.Data(), &count);
    EXPECT_TRUE(players.GuardsIntact());
    if (playerResult == 0) {
      EXPECT_LE(count, players.Capacity());
    }

    Guarded<int32_t, 3> speakers;
    count = speakers.Capacity();
    lib_.getSpeakers(speakers.Data(), &count);
    EXPECT_TRUE(speakers.GuardsIntact());
    EXPECT_LE(count, speakers.Capacity());

    Guarded<PxrPlayerInfo, 2> channelPlayers;
    Guarded<PxrChannelInfo, 1> channel;
    count = channelPlayers.Capacity();
    lib_.getChannelInfoById(1, channel.Data(), channelPlayers.Data(), &count);
    EXPECT_TRUE(channelPlayers.GuardsIntact());
    EXPECT_TRUE(channel.GuardsIntact());

    Guarded<PxrServerInfo, 1> server;
    lib_.getServerInfo(server.Data());
    EXPECT_TRUE(server.GuardsIntact());
    Guarded<PxrUserInfo, 1> user;
    lib_.getUserInfo(user.Data());
    EXPECT_TRUE(user.GuardsIntact());

    std::array<char, 12> text{};
    text.fill('#');
    lib_.getLastError(text.data(), 8);
    EXPECT_EQ(text[9], '#') << "at most size characters and the NUL";
  }

  sim_.SetControl("");
  std::array<PxrPlayerInfo, 16> players{};
  int32_t count = 16;
  ASSERT_EQ(lib_.getPlayers(players.data(), &count), 0);
  EXPECT_EQ(count, 7);
}

// Killed after taking the command: the call gives up after its reply wait,
// and a fresh stand-in is served at once.
TEST_F(HostilePeer, PeerDyingInTheMiddleOfAnExchange) {
  StartSim();
  WarmUp();
  sim_.SetControl("delay 5000\n");
  std::array<PxrChannelInfo, 4> channels{};
  int32_t count = 4;
  int32_t result = 0;
  long long elapsed = 0;
  std::thread call([&] { elapsed = MillisecondsOf([&] { result = lib_.getChannels(channels.data(), &count); }); });
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  sim_.Kill();
  call.join();
  EXPECT_EQ(result, kNoReply);
  EXPECT_LT(elapsed, kCallBoundMs);
  EXPECT_EQ(count, 4);

  ParlixSim healthy(prefix_);
  ASSERT_TRUE(healthy.Start()) << healthy.Output();
  const long long next = MillisecondsOf([&] { EXPECT_EQ(lib_.getChannels(channels.data(), &count), 0); });
  EXPECT_LT(next, 1500) << "at most one grace for the lost reply";
  EXPECT_EQ(count, 4);
}

// Holding the mutex or never answering costs each call its bound, no more;
// the next call with a healthy stand-in works.
TEST_F(HostilePeer, SilentPeerKeepsEveryCallWithinItsBound) {
  StartSim();
  WarmUp();
  sim_.SetControl("drop\n");
  for (int i = 0; i < 3; ++i) {
    const long long elapsed = MillisecondsOf([&] { EXPECT_EQ(lib_.disconnect(), kNoReply); });
    EXPECT_LT(elapsed, 1500) << "reply wait plus at most one grace";
  }
  sim_.SetControl("");
  EXPECT_EQ(lib_.disconnect(), 0);
}

}  // namespace
}  // namespace vantor::voice::test
