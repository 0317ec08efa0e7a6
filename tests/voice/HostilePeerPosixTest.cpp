// The library against a POSIX stand-in that shrinks its shared area while a
// call reads it: no SIGBUS, a clear error, and the next stand-in is served.
// (A Win32 section keeps its size, so there is no such peer there.)
#include "VoiceFixture.h"

#include <array>

namespace vantor::voice::test {
namespace {

class HostileArea : public VoiceTest {
 protected:
  void WarmUp() {
    std::array<PxrChannelInfo, 16> channels{};
    int32_t count = 16;
    ASSERT_EQ(lib_.getChannels(channels.data(), &count), 0);
  }
};

// The area cut to nothing after the reply is written: no SIGBUS, an invalid
// reply, and the next stand-in is served.
TEST_F(HostileArea, AreaShrunkWhileTheCallReadsItIsNoFault) {
  StartSim();
  WarmUp();
  sim_.SetControl("shrink 0\n");
  std::array<PxrChannelInfo, 16> channels{};
  int32_t count = 16;
  EXPECT_EQ(lib_.getChannels(channels.data(), &count), -1003);
  EXPECT_EQ(lib_.LastError(), "ERROR -1003 INVALID ERROR RETURNED ()");
  EXPECT_EQ(lib_.disconnect(), -1104) << "an area of no size cannot be used";

  ASSERT_EQ(sim_.Stop(), 0);
  ParlixSim healthy(prefix_);
  ASSERT_TRUE(healthy.Start()) << healthy.Output();
  count = 16;
  ASSERT_EQ(lib_.getChannels(channels.data(), &count), 0);
  EXPECT_EQ(count, 10);
}

// Cut in the middle of a long reply: the text ends where the area now ends.
TEST_F(HostileArea, AreaShrunkIntoTheReplyCutsTheReply) {
  StartSim();
  WarmUp();
  // Cut after "2 0 0 0": the second line lacks the blank after its fourth number.
  sim_.SetControl("shrink 28\n" + AnswerDirective("GET_CHANNELS", "OK\r1 0 0 0 none Lobby\r2 0 0 0 none Tower"));
  std::array<PxrChannelInfo, 16> channels{};
  int32_t count = 16;
  EXPECT_EQ(lib_.getChannels(channels.data(), &count), -1004);
  EXPECT_EQ(Field(channels[0].name, 30), "Lobby");
  EXPECT_EQ(count, 16);
}

}  // namespace
}  // namespace vantor::voice::test
