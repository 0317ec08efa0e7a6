// The client's side of the control connection, read by read: the ConfigBlock
// collected across reads (or "FIN"), the log-on rules on the block that
// arrived, then one chat message per read.
#include <QString>

#include <cstdint>

#include "FuzzSupport.h"
#include "vantor/net/ControlChannel.h"
#include "vantor/net/LogOnRules.h"
#include "vantor/protocol/ConfigBlock.h"
#include "vantor/protocol/ControlMessages.h"

using namespace vantor;

namespace {

std::span<const std::uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

void CheckLogOn(const protocol::ConfigBlock& received, std::string_view entered) {
  for (const int side : {net::kBlueSide, net::kRedSide}) {
    protocol::ConfigBlock block = received;
    net::AdjustAwacsForSide(block, side);
    if (block.radarOnly[static_cast<std::size_t>(side)] != 0) {
      FUZZ_CHECK(block.awacsMode[static_cast<std::size_t>(side)] == net::kResetAwacsMode);
    }
    if (const auto command = net::InitialCentringCommand(block, side)) {
      FUZZ_CHECK(*command >= net::kFirstAirfieldCommand &&
                 *command < net::kFirstAirfieldCommand + protocol::kAirfieldCount);
    }
  }
  if (const auto side = net::SideForPassword(entered, received)) {
    FUZZ_CHECK(*side == net::kBlueSide || *side == net::kRedSide);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  const std::uint8_t setup = input.Byte();
  const auto own = (setup & 1) != 0 ? protocol::CoalitionCode::Red : protocol::CoalitionCode::Blue;
  const auto language = static_cast<Language>(setup >> 1 & 3);
  const std::string_view entered = input.Chunk();

  net::HandshakeAssembler handshake;
  while (!input.Empty()) {
    const std::string_view read = input.Chunk();
    if (read.empty()) continue;  // a read returns at least one byte
    if (!handshake.Done()) {
      const auto result = handshake.Feed(Bytes(read));
      if (result == net::HandshakeAssembler::Result::ServerFull) return 0;
      if (result == net::HandshakeAssembler::Result::NeedMore) {
        FUZZ_CHECK(handshake.Collected() < protocol::kConfigBlockSize);
        continue;
      }
      if (handshake.BlockVersion() != protocol::kProtocolVersion) return 0;
      const std::optional<protocol::ConfigBlock> block = protocol::DecodeConfigBlock(handshake.Block());
      FUZZ_CHECK(block.has_value());
      // Written again, the block reads back the same (bytewise: a NaN
      // position is not equal to itself).
      const protocol::ConfigBlockBytes once = protocol::EncodeConfigBlock(*block);
      const std::optional<protocol::ConfigBlock> again = protocol::DecodeConfigBlock(once);
      FUZZ_CHECK(again.has_value() && protocol::EncodeConfigBlock(*again) == once);
      CheckLogOn(*block, entered);
      continue;
    }
    const net::ChatReceipt receipt = net::ReadChatMessage(Bytes(read), own, language);
    if (read.size() >= protocol::kChatRejectBytes) FUZZ_CHECK(receipt.kind == net::ChatReceipt::Kind::Invalid);
    if (receipt.kind == net::ChatReceipt::Kind::Shown) FUZZ_CHECK(receipt.text.size() < 255);
    // What this client would send back: never refused by a reader.
    const QByteArray text = net::EncodeChatText(receipt.text + QString::fromUtf8(read.data(), read.size()));
    FUZZ_CHECK(text.size() <= static_cast<qsizetype>(protocol::kMaxChatTextLength));
  }
  return 0;
}
