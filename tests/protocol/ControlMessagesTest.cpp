#include <gtest/gtest.h>

#include "vantor/protocol/ControlMessages.h"

using namespace vantor::protocol;

namespace {
std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}
}  // namespace

TEST(ControlMessages, JoinReplyBytes) {
  EXPECT_EQ(EncodeJoinReply(CoalitionCode::Blue), (std::array<std::uint8_t, 2>{6, 0}));
  EXPECT_EQ(EncodeJoinReply(CoalitionCode::Red), (std::array<std::uint8_t, 2>{6, 1}));
}

TEST(ControlMessages, JoinReplyIsAnyReadStartingWithTheVersion) {
  const std::uint8_t red[] = {6, 1};
  ASSERT_TRUE(DecodeJoinReply(red));
  EXPECT_EQ(DecodeJoinReply(red)->coalition, 1);
  const std::uint8_t odd[] = {6, 7, 9};
  EXPECT_EQ(DecodeJoinReply(odd)->coalition, 7);  // stored, not validated
  const std::uint8_t alone[] = {6};
  EXPECT_EQ(DecodeJoinReply(alone)->coalition, 0);
  const std::uint8_t chat[] = {3, 'h', 'i'};
  EXPECT_FALSE(DecodeJoinReply(chat));
  EXPECT_FALSE(DecodeJoinReply({}));
}

TEST(ControlMessages, ChatMessageBytesAndLimits) {
  const auto bytes = EncodeChatMessage(CoalitionCode::Everyone, "hello");
  EXPECT_EQ(bytes, (std::vector<std::uint8_t>{3, 'h', 'e', 'l', 'l', 'o'}));

  const std::string longest(250, 'x');
  const auto full = EncodeChatMessage(CoalitionCode::Red, longest);
  EXPECT_EQ(full.size(), 251u);
  const auto decoded = DecodeChatMessage(full);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->destination, 1);
  EXPECT_EQ(decoded->text, longest);

  EXPECT_EQ(EncodeChatMessage(CoalitionCode::Blue, std::string(400, 'y')).size(), 251u);

  std::vector<std::uint8_t> received(254, 'z');
  received[0] = 3;
  EXPECT_TRUE(DecodeChatMessage(received));
  received.push_back('z');  // 255 bytes
  EXPECT_FALSE(DecodeChatMessage(received));
  EXPECT_FALSE(DecodeChatMessage({}));
}

TEST(ControlMessages, ChatDestinations) {
  EXPECT_TRUE(IsChatForCoalition(3, CoalitionCode::Blue));
  EXPECT_TRUE(IsChatForCoalition(3, CoalitionCode::Red));
  EXPECT_TRUE(IsChatForCoalition(0, CoalitionCode::Blue));
  EXPECT_FALSE(IsChatForCoalition(0, CoalitionCode::Red));
  EXPECT_FALSE(IsChatForCoalition(1, CoalitionCode::Blue));
}

TEST(ControlMessages, ServerFullNotice) {
  EXPECT_EQ(kServerFullNotice.size(), 3u);
  EXPECT_TRUE(StartsWithServerFullNotice(Bytes("FIN")));
  EXPECT_TRUE(StartsWithServerFullNotice(Bytes("FINx")));
  EXPECT_FALSE(StartsWithServerFullNotice(Bytes("FI")));
  EXPECT_FALSE(StartsWithServerFullNotice(Bytes("fin")));
}
