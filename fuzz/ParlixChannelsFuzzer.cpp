// parlix-sim's channel file, and the stand-in built from it answering the
// library's commands: every "OK" answer must parse with the library's own
// reply parser, since the stand-in speaks for Parlix in every voice test.
#include <PxRemote.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "ReplyParser.h"
#include "VoiceServer.h"

using namespace vantor;

namespace {

std::string_view Payload(const std::string& reply) {
  const std::size_t line = reply.find('\r');
  return line == std::string::npos ? std::string_view() : std::string_view(reply).substr(line + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  parlixsim::ServerSetup setup;
  if (parlixsim::ParseServerSetup(text, setup)) return 0;  // refused with a message
  const auto start = std::chrono::steady_clock::time_point{};
  parlixsim::VoiceServer server(setup, [start] { return start; });

  int32_t code = 0;
  std::string lastError;
  const voice::ParseStatus status{code, lastError};
  constexpr int32_t kRoom = 64;
  std::vector<PxrChannelInfo> channels(kRoom);
  std::vector<PxrPlayerInfo> players(kRoom);
  std::vector<int32_t> ids(kRoom);

  const auto ok = [](const std::string& reply) { return reply.starts_with("OK"); };
  std::string reply = server.Answer("GET_CHANNELS");
  FUZZ_CHECK(ok(reply));
  std::string_view payload = Payload(reply);
  int32_t count = kRoom;
  FUZZ_CHECK(voice::ParseChannelList(payload, channels.data(), kRoom, &count, status));

  reply = server.Answer("GET_PLAYERS");
  FUZZ_CHECK(ok(reply));
  payload = Payload(reply);
  count = kRoom;
  FUZZ_CHECK(voice::ParsePlayerList(payload, players.data(), kRoom, &count, status));

  reply = server.Answer("GET_USER_INFO");
  PxrUserInfo user{};
  if (ok(reply)) FUZZ_CHECK(voice::ParseUserPayload(Payload(reply), user, status));
  reply = server.Answer("GET_SERVER_INFO");
  PxrServerInfo info{};
  if (ok(reply)) FUZZ_CHECK(voice::ParseServerPayload(Payload(reply), info, status));
  reply = server.Answer("GET_SPEAKERS");
  if (ok(reply)) FUZZ_CHECK(voice::ParseSpeakers(Payload(reply), ids.data(), kRoom, count, status));

  for (const parlixsim::SimChannel& channel : setup.channels) {
    reply = server.Answer("GET_CHANNEL_INFO_ID " + std::to_string(channel.id) + " GET_PLAYERS_TOO");
    if (!ok(reply)) continue;
    payload = Payload(reply);
    PxrChannelInfo parsed{};
    FUZZ_CHECK(voice::ParseChannelLine(payload, parsed, status));
    FUZZ_CHECK(parsed.id == channel.id);
    count = kRoom;
    FUZZ_CHECK(voice::ParsePlayerList(payload, players.data(), kRoom, &count, status));
    (void)server.Answer("SWITCH_CHANNEL_ID " + std::to_string(channel.id) + " " + channel.password);
  }
  for (const parlixsim::SimPlayer& player : setup.players) {
    reply = server.Answer("GET_PLAYER_INFO_ID " + std::to_string(player.id));
    if (!ok(reply)) continue;
    payload = Payload(reply);
    PxrPlayerInfo parsed{};
    FUZZ_CHECK(voice::ParsePlayerLine(payload, parsed, status));
    FUZZ_CHECK(parsed.id == player.id);
  }
  return 0;
}
