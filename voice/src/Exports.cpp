// The library's C interface: each export builds one command text, runs it
// through the session and parses the payload into the caller's records.
#include <PxRemote.h>

#include "ParlixChannel.h"
#include "RemoteSession.h"
#include "ReplyParser.h"

#include <cstring>
#include <new>
#include <string>

namespace {

using vantor::voice::CommandOutcome;
using vantor::voice::RemoteSession;

// The last-error text, the cached version and what the exchanges remember
// are process-wide by contract: one session per loaded library, created at
// load and released at unload.
vantor::voice::ExchangeMemory exchanges;
RemoteSession session{[](std::string_view command) { return vantor::voice::SendCommand(command, exchanges); }};

// Null texts are sent as empty texts.
std::string Text(const char* text) { return text != nullptr ? std::string(text) : std::string(); }

std::string Grant(int32_t grant) { return grant != 0 ? "grGrant" : "grRevoke"; }

// Nothing may escape through the C boundary; the only thing that can throw
// here is an allocation.
template <typename Body>
int32_t Guarded(Body body) noexcept {
  try {
    return body();
  } catch (...) {
    try {
      session.SetLastError("ERROR -1108 OUT OF MEMORY IN PXREMOTE");
    } catch (...) {
    }
    return PXR_ERR_INTERNAL;
  }
}

int32_t Run(const std::string& command) {
  return Guarded([&] { return session.ExecuteCommand(command).code; });
}

// A channel line, then the players when they were asked for; without them
// the count (when given) becomes 0.
int32_t ChannelInfo(const std::string& command, PxrChannelInfo* channel, PxrPlayerInfo* players, int32_t* count,
                    bool withPlayers) {
  return Guarded([&] {
    PxrChannelInfo scratch{};
    PxrChannelInfo& target = channel != nullptr ? *channel : scratch;
    target = PxrChannelInfo{};
    const CommandOutcome outcome = session.ExecuteCommand(command);
    if (!outcome.success) return outcome.code;
    int32_t code = 0;
    std::string_view payload = outcome.payload;
    if (!vantor::voice::ParseChannelLine(payload, target, session.Status(code))) return code;
    if (withPlayers && !payload.empty()) {
      vantor::voice::ParsePlayerList(payload, players, *count, count, session.Status(code));
    } else if (count != nullptr) {
      *count = 0;
    }
    return code;
  });
}

int32_t PlayerInfo(const std::string& command, PxrPlayerInfo* player) {
  return Guarded([&] {
    PxrPlayerInfo scratch{};
    PxrPlayerInfo& target = player != nullptr ? *player : scratch;
    target = PxrPlayerInfo{};
    const CommandOutcome outcome = session.ExecuteCommand(command);
    if (!outcome.success) return outcome.code;
    int32_t code = 0;
    std::string_view payload = outcome.payload;
    vantor::voice::ParsePlayerLine(payload, target, session.Status(code));
    return code;
  });
}

bool PlayersWanted(const PxrPlayerInfo* players, const int32_t* count) {
  return players != nullptr && count != nullptr && *count > 0;
}

}  // namespace

extern "C" {

PXR_API int32_t PXR_CALL pxrConnect(const char* address) {
  return Guarded([&] { return Run("CONNECT " + Text(address)); });
}

PXR_API int32_t PXR_CALL pxrDisconnect(void) {
  return Guarded([] { return Run("DISCONNECT"); });
}

PXR_API int32_t PXR_CALL pxrQuit(void) {
  return Guarded([] { return Run("QUIT"); });
}

// The name follows a CR so that it may hold blanks; the password follows a
// blank, and an empty one still brings its blank.
PXR_API int32_t PXR_CALL pxrSwitchChannelName(const char* name, const char* password) {
  return Guarded([&] {
    std::string command = "SWITCH_CHANNEL_NAME\r" + Text(name);
    if (password != nullptr) command += ' ' + std::string(password);
    return Run(command);
  });
}

PXR_API int32_t PXR_CALL pxrSwitchChannelID(int32_t channelId, const char* password) {
  return Guarded([&] {
    std::string command = "SWITCH_CHANNEL_ID " + std::to_string(channelId);
    if (password != nullptr) command += ' ' + std::string(password);
    return Run(command);
  });
}

PXR_API int32_t PXR_CALL pxrSetPlayerFlags(int32_t flags) {
  return Guarded([&] { return Run("SET_PLAYER_FLAGS " + vantor::voice::PlayerFlagList(flags)); });
}

PXR_API int32_t PXR_CALL pxrSetWantVoiceReason(const char* reason) {
  return Guarded([&] { return Run("SET_WANT_VOICE_REASON " + Text(reason)); });
}

PXR_API int32_t PXR_CALL pxrSetOperator(int32_t playerId, int32_t grant) {
  return Guarded([&] { return Run("SET_OPERATOR " + std::to_string(playerId) + ' ' + Grant(grant)); });
}

PXR_API int32_t PXR_CALL pxrSetVoice(int32_t playerId, int32_t grant) {
  return Guarded([&] { return Run("SET_VOICE " + std::to_string(playerId) + ' ' + Grant(grant)); });
}

PXR_API int32_t PXR_CALL pxrKickPlayerFromServer(int32_t playerId, const char* text) {
  return Guarded([&] { return Run("KICK_PLAYER_FROM_SERVER " + std::to_string(playerId) + ' ' + Text(text)); });
}

PXR_API int32_t PXR_CALL pxrKickPlayerFromChannel(int32_t playerId, const char* text) {
  return Guarded([&] { return Run("KICK_PLAYER_FROM_CHANNEL " + std::to_string(playerId) + ' ' + Text(text)); });
}

PXR_API int32_t PXR_CALL pxrSendTextMessageToChannel(int32_t channelId, const char* message) {
  return Guarded(
      [&] { return Run("SEND_TEXT_MESSAGE_TO_CHANNEL " + std::to_string(channelId) + ' ' + Text(message)); });
}

PXR_API int32_t PXR_CALL pxrSendTextMessage(const char* message) {
  return Guarded([&] { return Run("SEND_TEXT_MESSAGE " + Text(message)); });
}

PXR_API int32_t PXR_CALL pxrGetVersion(PxrVersionInfo* info) {
  return Guarded([&] {
    PxrVersionInfo scratch{};
    return session.QueryVersion(info != nullptr ? *info : scratch);
  });
}

PXR_API int32_t PXR_CALL pxrGetServerInfo(PxrServerInfo* info) {
  return Guarded([&] {
    PxrServerInfo scratch{};
    PxrServerInfo& target = info != nullptr ? *info : scratch;
    target = PxrServerInfo{};
    const CommandOutcome outcome = session.ExecuteCommand("GET_SERVER_INFO");
    if (!outcome.success) return outcome.code;
    int32_t code = 0;
    vantor::voice::ParseServerPayload(outcome.payload, target, session.Status(code));
    return code;
  });
}

PXR_API int32_t PXR_CALL pxrGetUserInfo(PxrUserInfo* info) {
  return Guarded([&] {
    PxrUserInfo scratch{};
    PxrUserInfo& target = info != nullptr ? *info : scratch;
    target = PxrUserInfo{};
    const CommandOutcome outcome = session.ExecuteCommand("GET_USER_INFO");
    if (!outcome.success) return outcome.code;
    int32_t code = 0;
    vantor::voice::ParseUserPayload(outcome.payload, target, session.Status(code));
    return code;
  });
}

PXR_API int32_t PXR_CALL pxrGetChannelInfoByID(int32_t channelId, PxrChannelInfo* channel, PxrPlayerInfo* players,
                                               int32_t* count) {
  return Guarded([&] {
    const bool withPlayers = PlayersWanted(players, count);
    std::string command = "GET_CHANNEL_INFO_ID " + std::to_string(channelId);
    if (withPlayers) command += " GET_PLAYERS_TOO";
    return ChannelInfo(command, channel, players, count, withPlayers);
  });
}

PXR_API int32_t PXR_CALL pxrGetChannelInfoByName(const char* name, PxrChannelInfo* channel, PxrPlayerInfo* players,
                                                 int32_t* count) {
  return Guarded([&] {
    const bool withPlayers = PlayersWanted(players, count);
    std::string command = "GET_CHANNEL_INFO_NAME " + Text(name);
    if (withPlayers) command += "\rGET_PLAYERS_TOO";
    return ChannelInfo(command, channel, players, count, withPlayers);
  });
}

PXR_API int32_t PXR_CALL pxrGetPlayerInfoByID(int32_t playerId, PxrPlayerInfo* player) {
  return Guarded([&] { return PlayerInfo("GET_PLAYER_INFO_ID " + std::to_string(playerId), player); });
}

PXR_API int32_t PXR_CALL pxrGetPlayerInfoByName(const char* name, PxrPlayerInfo* player) {
  return Guarded([&] { return PlayerInfo("GET_PLAYER_INFO_NAME " + Text(name), player); });
}

PXR_API int32_t PXR_CALL pxrGetChannels(PxrChannelInfo* channels, int32_t* count) {
  return Guarded([&] {
    const int32_t capacity = channels != nullptr && count != nullptr ? *count : 0;
    const CommandOutcome outcome = session.ExecuteCommand("GET_CHANNELS");
    if (!outcome.success) return outcome.code;
    int32_t code = 0;
    std::string_view payload = outcome.payload;
    vantor::voice::ParseChannelList(payload, channels, capacity, count, session.Status(code));
    return code;
  });
}

PXR_API int32_t PXR_CALL pxrGetPlayers(PxrPlayerInfo* players, int32_t* count) {
  return Guarded([&] {
    const int32_t capacity = players != nullptr && count != nullptr ? *count : 0;
    const CommandOutcome outcome = session.ExecuteCommand("GET_PLAYERS");
    if (!outcome.success) return outcome.code;
    int32_t code = 0;
    std::string_view payload = outcome.payload;
    vantor::voice::ParsePlayerList(payload, players, capacity, count, session.Status(code));
    return code;
  });
}

PXR_API int32_t PXR_CALL pxrGetSpeakers(int32_t* ids, int32_t* count) {
  return Guarded([&] {
    const int32_t capacity = ids != nullptr && count != nullptr ? *count : 0;
    const CommandOutcome outcome = session.ExecuteCommand("GET_SPEAKERS");
    if (!outcome.success) return outcome.code;
    int32_t code = 0;
    int32_t stored = 0;
    vantor::voice::ParseSpeakers(outcome.payload, ids, capacity, stored, session.Status(code));
    if (count != nullptr) *count = stored;
    return code;
  });
}

// At most size - 1 characters and the NUL: the buffer is `size` bytes long.
PXR_API void PXR_CALL pxrGetLastError(char* buffer, int32_t size) {
  if (buffer == nullptr || size <= 0) return;
  const std::string& text = session.LastError();
  const std::size_t room = static_cast<std::size_t>(size) - 1;
  const std::size_t length = text.size() < room ? text.size() : room;
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
}

}  // extern "C"
