#include "vantor/protocol/ControlMessages.h"

#include <algorithm>

namespace vantor::protocol {

bool StartsWithServerFullNotice(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kServerFullNotice.size()) return false;
  return std::equal(kServerFullNotice.begin(), kServerFullNotice.end(), bytes.begin(),
                    [](char expected, std::uint8_t byte) { return static_cast<std::uint8_t>(expected) == byte; });
}

std::array<std::uint8_t, kJoinReplySize> EncodeJoinReply(CoalitionCode coalition) {
  return {static_cast<std::uint8_t>(kProtocolVersion), static_cast<std::uint8_t>(coalition)};
}

std::optional<JoinReply> DecodeJoinReply(std::span<const std::uint8_t> bytes) {
  if (bytes.empty() || bytes[0] != kProtocolVersion) return std::nullopt;
  JoinReply reply;
  reply.coalition = bytes.size() > 1 ? bytes[1] : 0;
  return reply;
}

std::vector<std::uint8_t> EncodeChatMessage(CoalitionCode destination, std::string_view text) {
  const std::size_t length = std::min(text.size(), kMaxChatTextLength);
  std::vector<std::uint8_t> bytes;
  bytes.reserve(1 + length);
  bytes.push_back(static_cast<std::uint8_t>(destination));
  bytes.insert(bytes.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length));
  return bytes;
}

std::optional<ChatMessage> DecodeChatMessage(std::span<const std::uint8_t> bytes) {
  if (bytes.empty() || bytes.size() >= kChatRejectBytes) return std::nullopt;
  ChatMessage message;
  message.destination = bytes[0];
  message.text.assign(bytes.begin() + 1, bytes.end());
  return message;
}

bool IsChatForCoalition(std::uint8_t destination, CoalitionCode ownCoalition) {
  return destination == static_cast<std::uint8_t>(ownCoalition) ||
         destination == static_cast<std::uint8_t>(CoalitionCode::Everyone);
}

}  // namespace vantor::protocol
