#pragma once
// The small messages of the TCP control channel: the join reply, chat
// messages and the server-full notice. Control messages carry no length:
// each is written with one send and taken as what one read returns.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vantor/protocol/Constants.h"

namespace vantor::protocol {

// Sent by the server instead of the ConfigBlock when every slot is taken.
inline constexpr std::string_view kServerFullNotice = "FIN";
bool StartsWithServerFullNotice(std::span<const std::uint8_t> bytes);

// Client to server: version 6, then the client's coalition (0 or 1).
struct JoinReply {
  std::uint8_t version = kProtocolVersion;
  std::uint8_t coalition = 0;
};
inline constexpr std::size_t kJoinReplySize = 2;
std::array<std::uint8_t, kJoinReplySize> EncodeJoinReply(CoalitionCode coalition);
// A control read before the join is a join attempt when its first byte is
// the protocol version; the second byte (0 when absent) is the coalition and
// is not validated.
std::optional<JoinReply> DecodeJoinReply(std::span<const std::uint8_t> bytes);

// Either direction after the join: destination byte, then the text bytes.
struct ChatMessage {
  std::uint8_t destination = static_cast<std::uint8_t>(CoalitionCode::Everyone);
  std::string text;
};
// The text is cut to kMaxChatTextLength bytes, so what is written is never
// refused by a reader.
std::vector<std::uint8_t> EncodeChatMessage(CoalitionCode destination, std::string_view text);
// nullopt for an empty read and for one of kChatRejectBytes bytes or more.
std::optional<ChatMessage> DecodeChatMessage(std::span<const std::uint8_t> bytes);
// Whether a client of `ownCoalition` shows a message sent to `destination`.
bool IsChatForCoalition(std::uint8_t destination, CoalitionCode ownCoalition);

}  // namespace vantor::protocol
