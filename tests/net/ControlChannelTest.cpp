// The control connection's reading rules: the ConfigBlock across reads, the
// server-full notice, and chat messages by destination and length.
#include <gtest/gtest.h>

#include <vector>

#include "vantor/net/ControlChannel.h"
#include "vantor/protocol/ControlMessages.h"

namespace vantor::net {
namespace {

using protocol::CoalitionCode;

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> Block(std::int32_t version = 6) {
  protocol::ConfigBlock block;
  block.version = version;
  block.password = {"bluepass1", "red"};
  block.missionClock = 43260;
  const auto encoded = protocol::EncodeConfigBlock(block);
  return {encoded.begin(), encoded.end()};
}

TEST(Handshake, BlockSplitOverTwoReadsIsAssembled) {
  const auto block = Block();
  HandshakeAssembler assembler;
  EXPECT_EQ(assembler.Feed(std::span(block).first(200)), HandshakeAssembler::Result::NeedMore);
  EXPECT_EQ(assembler.Collected(), 200u);
  EXPECT_FALSE(assembler.Done());
  EXPECT_EQ(assembler.Feed(std::span(block).subspan(200)), HandshakeAssembler::Result::BlockReady);
  EXPECT_TRUE(assembler.Done());
  EXPECT_TRUE(std::equal(block.begin(), block.end(), assembler.Block().begin()));
  EXPECT_EQ(assembler.BlockVersion(), 6);
  const auto decoded = protocol::DecodeConfigBlock(assembler.Block());
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->password[0], "bluepass1");
  EXPECT_EQ(decoded->missionClock, 43260);
}

TEST(Handshake, ByteByByteAndExtraBytes) {
  auto block = Block(5);
  block.push_back(0x42);  // anything after the block in the same read is not a message
  HandshakeAssembler assembler;
  for (std::size_t i = 0; i + 2 < block.size(); ++i) {
    ASSERT_EQ(assembler.Feed(std::span(block).subspan(i, 1)), HandshakeAssembler::Result::NeedMore) << i;
  }
  EXPECT_EQ(assembler.Feed(std::span(block).last(2)), HandshakeAssembler::Result::BlockReady);
  EXPECT_EQ(assembler.BlockVersion(), 5);
  // Nothing more is taken once the block is there.
  EXPECT_EQ(assembler.Feed(std::span(block).first(10)), HandshakeAssembler::Result::NeedMore);
}

TEST(Handshake, ServerFullAtTheStartOnly) {
  HandshakeAssembler full;
  EXPECT_EQ(full.Feed(Bytes("FIN")), HandshakeAssembler::Result::ServerFull);
  EXPECT_TRUE(full.Done());

  // The notice may arrive in pieces.
  HandshakeAssembler pieces;
  EXPECT_EQ(pieces.Feed(Bytes("FI")), HandshakeAssembler::Result::NeedMore);
  EXPECT_EQ(pieces.Feed(Bytes("N")), HandshakeAssembler::Result::ServerFull);

  // "FIN" inside a block is just data.
  auto block = Block();
  HandshakeAssembler later;
  EXPECT_EQ(later.Feed(std::span(block).first(100)), HandshakeAssembler::Result::NeedMore);
  EXPECT_EQ(later.Feed(Bytes("FIN")), HandshakeAssembler::Result::NeedMore);
}

TEST(Chat, ShownByDestination) {
  const auto toEveryone = protocol::EncodeChatMessage(CoalitionCode::Everyone, "hello all");
  const auto toBlue = protocol::EncodeChatMessage(CoalitionCode::Blue, "blue only");
  const auto toRed = protocol::EncodeChatMessage(CoalitionCode::Red, "red only");
  for (CoalitionCode own : {CoalitionCode::Blue, CoalitionCode::Red}) {
    const ChatReceipt all = ReadChatMessage(toEveryone, own, Language::English);
    EXPECT_EQ(all.kind, ChatReceipt::Kind::Shown);
    EXPECT_EQ(all.text, "hello all");
  }
  EXPECT_EQ(ReadChatMessage(toBlue, CoalitionCode::Blue, Language::English).kind, ChatReceipt::Kind::Shown);
  EXPECT_EQ(ReadChatMessage(toBlue, CoalitionCode::Red, Language::English).kind, ChatReceipt::Kind::NotForUs);
  EXPECT_EQ(ReadChatMessage(toRed, CoalitionCode::Blue, Language::English).kind, ChatReceipt::Kind::NotForUs);
  EXPECT_EQ(ReadChatMessage(toRed, CoalitionCode::Red, Language::English).text, "red only");
  // Destinations other than 0, 1 and 3 reach nobody.
  EXPECT_EQ(ReadChatMessage(Bytes("\x02hi"), CoalitionCode::Blue, Language::English).kind, ChatReceipt::Kind::NotForUs);
  // The destination byte alone is an empty message.
  const ChatReceipt empty = ReadChatMessage(Bytes(std::string_view("\x03", 1)), CoalitionCode::Red, Language::English);
  EXPECT_EQ(empty.kind, ChatReceipt::Kind::Shown);
  EXPECT_EQ(empty.text, "");
}

TEST(Chat, TwoHundredFiftyFiveBytesOrMoreAreRefused) {
  std::vector<std::uint8_t> longest(254, 'x');
  longest[0] = 3;
  const ChatReceipt accepted = ReadChatMessage(longest, CoalitionCode::Blue, Language::English);
  EXPECT_EQ(accepted.kind, ChatReceipt::Kind::Shown);
  EXPECT_EQ(accepted.text.size(), 253);

  for (std::size_t size : {255u, 256u, 10000u}) {
    std::vector<std::uint8_t> tooLong(size, 'x');
    tooLong[0] = 7;  // even when not addressed to us
    const ChatReceipt refused = ReadChatMessage(tooLong, CoalitionCode::Red, Language::Spanish);
    EXPECT_EQ(refused.kind, ChatReceipt::Kind::Invalid);
    EXPECT_EQ(refused.text, "Receive a invalide Msg");
  }
}

TEST(Chat, TextEncoding) {
  // UTF-8 on the wire; other bytes read as Latin-1; the text ends at a NUL.
  EXPECT_EQ(DecodeChatText(Bytes("Contr\xc3\xb4le")), QString::fromUtf8("Contrôle"));
  EXPECT_EQ(DecodeChatText(Bytes("Contr\xf4le")), QString::fromUtf8("Contrôle"));
  EXPECT_EQ(DecodeChatText(Bytes(std::string_view("ab\0cd", 5))), "ab");

  EXPECT_EQ(EncodeChatText("short"), "short");
  EXPECT_EQ(EncodeChatText(QString(300, 'a')).size(), 250);
  // 249 ASCII bytes then a two-byte character: the character does not fit.
  const QByteArray cut = EncodeChatText(QString(249, 'a') + QString::fromUtf8("é") + "b");
  EXPECT_EQ(cut.size(), 249);
  EXPECT_EQ(DecodeChatText(std::span(reinterpret_cast<const std::uint8_t*>(cut.constData()),
                                     static_cast<std::size_t>(cut.size()))),
            QString(249, 'a'));
}

}  // namespace
}  // namespace vantor::net
