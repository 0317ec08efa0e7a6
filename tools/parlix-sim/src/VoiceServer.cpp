#include "VoiceServer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <set>
#include <utility>

namespace vantor::parlixsim {
namespace {

struct FlagName {
  std::string_view name;
  int32_t bit;
};

constexpr std::array<FlagName, 5> kChannelPrivilegeNames{
    {{"pcpAdmin", 1}, {"pcpOperator", 2}, {"pcpAutoOperator", 4}, {"pcpVoiced", 8}, {"pcpAutoVoice", 16}}};
constexpr std::array<FlagName, 5> kPrivilegeNames{{{"ppSuperServerAdmin", 1},
                                                   {"ppServerAdmin", 2},
                                                   {"ppCanRegister", 4},
                                                   {"ppRegistered", 8},
                                                   {"ppUnregistered", 16}}};
constexpr std::array<FlagName, 7> kPlayerFlagNames{{{"pfChannelCommander", 1},
                                                    {"pfWantVoice", 2},
                                                    {"pfNoWhisper", 4},
                                                    {"pfAway", 8},
                                                    {"pfInputMuted", 16},
                                                    {"pfOutputMuted", 32},
                                                    {"pfRecording", 64}}};
constexpr std::array<FlagName, 5> kChannelFlagNames{{{"cfUnregistered", channel_flag::kUnregistered},
                                                     {"cfModerated", channel_flag::kModerated},
                                                     {"cfPassword", channel_flag::kPassword},
                                                     {"cfHierarchical", channel_flag::kHierarchical},
                                                     {"cfDefault", channel_flag::kDefault}}};

constexpr int32_t kPlayerFlagInputMuted = 16;
constexpr int32_t kChannelPrivilegeOperator = 2;
constexpr int32_t kChannelPrivilegeVoiced = 8;
constexpr int32_t kMaxServerPlayers = 64;

const std::string kUnknownCommand = "ERROR -1 UNKNOWN COMMAND";
const std::string kNotConnected = "ERROR -2 NOT CONNECTED";
const std::string kInvalidParameter = "ERROR -3 INVALID PARAMETER";
const std::string kInvalidChannel = "ERROR -10 INVALID CHANNEL";
const std::string kInvalidPlayer = "ERROR -11 INVALID PLAYER";
const std::string kWrongPassword = "ERROR -12 WRONG PASSWORD";
const std::string kChannelFull = "ERROR -13 CHANNEL FULL";

template <std::size_t N>
std::string FlagText(int32_t bits, const std::array<FlagName, N>& names, std::string_view whenNone) {
  std::string text;
  for (const FlagName& flag : names) {
    if ((bits & flag.bit) == 0) continue;
    if (!text.empty()) text += ',';
    text += flag.name;
  }
  return text.empty() ? std::string(whenNone) : text;
}

// Whole names between commas, so "pcpAutoOperator" is not "pcpOperator".
template <std::size_t N>
std::optional<int32_t> FlagBits(std::string_view text, const std::array<FlagName, N>& names) {
  int32_t bits = 0;
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    const std::string_view word = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    if (word.empty() || word == "none" || word == "cfRegistered") continue;
    const auto match = std::find_if(names.begin(), names.end(), [&](const FlagName& f) { return f.name == word; });
    if (match == names.end()) return std::nullopt;
    bits |= match->bit;
  }
  return bits;
}

std::optional<int32_t> ToInt(std::string_view text) {
  int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

// Splits "word rest" at the first `separator`; `rest` is empty without one.
std::pair<std::string_view, std::string_view> SplitAt(std::string_view text, char separator) {
  const std::size_t at = text.find(separator);
  if (at == std::string_view::npos) return {text, {}};
  return {text.substr(0, at), text.substr(at + 1)};
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t at = line.find(';');
    fields.push_back(line.substr(0, at));
    if (at == std::string_view::npos) return fields;
    line.remove_prefix(at + 1);
  }
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

std::string Ok(std::string_view payload = {}) {
  return payload.empty() ? std::string("OK") : "OK\r" + std::string(payload);
}

}  // namespace

ServerSetup DefaultServerSetup() {
  using namespace channel_flag;
  ServerSetup setup;
  setup.channels = {
      {1, -1, 64, kDefault, "Lobby", ""},
      {2, -1, 32, kModerated, "Blue Ops", ""},
      {3, -1, 32, kModerated, "Red Ops", ""},
      {4, -1, 16, 0, "Tower", ""},
      {5, -1, 16, 0, "Approach", ""},
      {6, -1, 16, 0, "Ground", ""},
      {7, -1, 8, 0, "AWACS Magic", ""},
      {8, 2, 8, kModerated | kHierarchical, "Blue Command", "blue"},
      {9, 3, 8, kModerated | kHierarchical, "Red Command", "red"},
      {10, -1, 16, kUnregistered, "Guest", ""},
  };
  setup.players = {
      {1, 1, 1, 2 | 8, 0, "Controller"}, {2, 2, 8, 8, 2, "Viper 11"},  {3, 2, 0, 8, 0, "Viper 12"},
      {4, 3, 8, 8, 0, "Cobra 21"},       {5, 4, 2, 8, 0, "Tower Ctl"}, {6, 7, 8, 8, 0, "Magic"},
      {7, 10, 0, 16, 8, "Guest 7"},
  };
  for (SimChannel& channel : setup.channels) {
    if (!channel.password.empty()) channel.flags |= kPassword;
  }
  return setup;
}

namespace {

// A CR would split the name's reply line, a NUL end the reply there.
bool HoldsControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

}  // namespace

std::optional<std::string> ParseServerSetup(std::string_view text, ServerSetup& setup) {
  ServerSetup parsed;
  std::set<int32_t> channelIds;
  std::set<int32_t> playerIds;
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const auto [rawLine, rest] = SplitAt(text, '\n');
    text = rest;
    const std::string_view line = Trimmed(rawLine);
    if (line.empty() || line.front() == '#') continue;
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    std::vector<std::string_view> fields = Fields(line);
    if (fields.front() == "player") {
      if (fields.size() < 4) return where + "a player needs an id, a channel id and a name";
      SimPlayer player;
      const auto id = ToInt(fields[1]);
      const auto channel = ToInt(fields[2]);
      if (!id || !channel) return where + "player and channel ids must be whole numbers";
      if (!playerIds.insert(*id).second) return where + "player id " + std::to_string(*id) + " is used twice";
      player.id = *id;
      player.channelId = *channel;
      player.name = std::string(fields[3]);
      if (player.name.empty()) return where + "the player name is empty";
      if (HoldsControlCharacter(player.name)) return where + "the player name holds a control character";
      const auto flags = FlagBits(fields.size() > 4 ? fields[4] : "", kPlayerFlagNames);
      const auto channelPrivileges = FlagBits(fields.size() > 5 ? fields[5] : "", kChannelPrivilegeNames);
      const auto privileges = FlagBits(fields.size() > 6 ? fields[6] : "", kPrivilegeNames);
      if (!flags || !channelPrivileges || !privileges) return where + "unknown flag name";
      player.flags = *flags;
      player.channelPrivileges = *channelPrivileges;
      player.privileges = *privileges;
      parsed.players.push_back(std::move(player));
      continue;
    }
    if (fields.size() < 2) return where + "expected id;name[;flags[;password[;parent[;max]]]]";
    SimChannel channel;
    const auto id = ToInt(fields[0]);
    if (!id) return where + "the channel id must be a whole number";
    if (!channelIds.insert(*id).second) return where + "channel id " + std::to_string(*id) + " is used twice";
    channel.id = *id;
    channel.name = std::string(fields[1]);
    if (channel.name.empty()) return where + "the channel name is empty";
    if (HoldsControlCharacter(channel.name)) return where + "the channel name holds a control character";
    const auto flags = FlagBits(fields.size() > 2 ? fields[2] : "", kChannelFlagNames);
    if (!flags) return where + "unknown channel flag name";
    channel.flags = *flags & ~channel_flag::kPassword;
    if (fields.size() > 3) channel.password = std::string(fields[3]);
    if (HoldsControlCharacter(channel.password)) return where + "the password holds a control character";
    if (!channel.password.empty()) channel.flags |= channel_flag::kPassword;
    if (fields.size() > 4 && !fields[4].empty()) {
      const auto parent = ToInt(fields[4]);
      if (!parent) return where + "the parent channel id must be a whole number";
      channel.parentId = *parent;
    }
    if (fields.size() > 5 && !fields[5].empty()) {
      const auto maxPlayers = ToInt(fields[5]);
      if (!maxPlayers || *maxPlayers <= 0) return where + "the player limit must be a positive number";
      channel.maxPlayers = *maxPlayers;
    }
    parsed.channels.push_back(std::move(channel));
  }
  if (parsed.channels.empty()) return std::string("the channel list holds no channel");
  for (const SimPlayer& player : parsed.players) {
    if (channelIds.count(player.channelId) == 0) {
      return "player " + std::to_string(player.id) + " is in unknown channel " + std::to_string(player.channelId);
    }
  }
  if (parsed.players.empty()) {
    const auto defaultChannel = std::find_if(parsed.channels.begin(), parsed.channels.end(),
                                             [](const SimChannel& c) { return c.flags & channel_flag::kDefault; });
    const int32_t home = defaultChannel != parsed.channels.end() ? defaultChannel->id : parsed.channels.front().id;
    parsed.players.push_back(SimPlayer{1, home, 1 | 2, 2 | 8, 0, "Controller"});
  }
  setup = std::move(parsed);
  return std::nullopt;
}

VoiceServer::VoiceServer(ServerSetup setup, Clock clock)
    : channels_(std::move(setup.channels)),
      players_(std::move(setup.players)),
      clock_(std::move(clock)),
      started_(clock_()) {
  if (channels_.empty()) channels_ = DefaultServerSetup().channels;
  if (players_.empty()) players_.push_back(SimPlayer{1, DefaultChannel().id, 1 | 2, 2 | 8, 0, "Controller"});
}

std::string VoiceServer::Answer(std::string_view command) {
  // The command word ends at the first blank or CR.
  const std::size_t wordEnd = command.find_first_of(" \r");
  const std::string_view word = command.substr(0, wordEnd);
  const std::string_view arguments =
      wordEnd == std::string_view::npos ? std::string_view() : command.substr(wordEnd + 1);

  if (word == "GET_VERSION") return Version();
  if (word == "QUIT") {
    quitRequested_ = true;
    return Ok();
  }
  if (word == "CONNECT") {
    if (arguments.empty()) return kInvalidParameter;
    serverAddress_ = std::string(arguments);
    connected_ = true;
    LocalPlayer().channelId = DefaultChannel().id;
    return Ok();
  }
  if (word == "DISCONNECT") {
    connected_ = false;
    return Ok();
  }
  if (word == "SET_PLAYER_FLAGS") {
    const auto flags = FlagBits(arguments, kPlayerFlagNames);
    if (!flags) return kInvalidParameter;
    LocalPlayer().flags = *flags;
    return Ok();
  }
  if (word == "SET_WANT_VOICE_REASON") {
    wantVoiceReason_ = std::string(arguments);
    return Ok();
  }
  const bool known = word == "GET_SERVER_INFO" || word == "GET_USER_INFO" || word == "GET_CHANNEL_INFO_ID" ||
                     word == "GET_CHANNEL_INFO_NAME" || word == "GET_PLAYER_INFO_ID" ||
                     word == "GET_PLAYER_INFO_NAME" || word == "GET_CHANNELS" || word == "GET_PLAYERS" ||
                     word == "GET_SPEAKERS" || word == "SWITCH_CHANNEL_ID" || word == "SWITCH_CHANNEL_NAME" ||
                     word == "SET_OPERATOR" || word == "SET_VOICE" || word == "KICK_PLAYER_FROM_SERVER" ||
                     word == "KICK_PLAYER_FROM_CHANNEL" || word == "SEND_TEXT_MESSAGE_TO_CHANNEL" ||
                     word == "SEND_TEXT_MESSAGE";
  if (!known) return kUnknownCommand;
  if (!connected_) return kNotConnected;

  if (word == "GET_SERVER_INFO") return ServerInfo();
  if (word == "GET_USER_INFO") return UserInfo();
  if (word == "GET_CHANNELS") return ChannelList();
  if (word == "GET_PLAYERS") return PlayerList();
  if (word == "GET_SPEAKERS") return Speakers();
  if (word == "GET_CHANNEL_INFO_ID") {
    const auto [idText, suffix] = SplitAt(arguments, ' ');
    const auto id = ToInt(idText);
    if (!id || (!suffix.empty() && suffix != "GET_PLAYERS_TOO")) return kInvalidParameter;
    const SimChannel* channel = FindChannel(*id);
    return channel != nullptr ? ChannelInfo(*channel, !suffix.empty()) : kInvalidChannel;
  }
  if (word == "GET_CHANNEL_INFO_NAME") {
    const auto [name, suffix] = SplitAt(arguments, '\r');
    if (!suffix.empty() && suffix != "GET_PLAYERS_TOO") return kInvalidParameter;
    const SimChannel* channel = FindChannelByName(name);
    return channel != nullptr ? ChannelInfo(*channel, !suffix.empty()) : kInvalidChannel;
  }
  if (word == "GET_PLAYER_INFO_ID") {
    const auto id = ToInt(arguments);
    if (!id) return kInvalidParameter;
    const SimPlayer* player = FindPlayer(*id);
    return player != nullptr ? Ok(PlayerLine(*player)) : kInvalidPlayer;
  }
  if (word == "GET_PLAYER_INFO_NAME") {
    const SimPlayer* player = FindPlayerByName(arguments);
    return player != nullptr ? Ok(PlayerLine(*player)) : kInvalidPlayer;
  }
  if (word == "SWITCH_CHANNEL_ID") {
    const auto [idText, password] = SplitAt(arguments, ' ');
    const auto id = ToInt(idText);
    if (!id) return kInvalidParameter;
    return SwitchChannel(FindChannel(*id), password);
  }
  if (word == "SWITCH_CHANNEL_NAME") return SwitchChannelByName(arguments);
  if (word == "SET_OPERATOR") return SetPrivilege(arguments, kChannelPrivilegeOperator);
  if (word == "SET_VOICE") return SetPrivilege(arguments, kChannelPrivilegeVoiced);
  if (word == "KICK_PLAYER_FROM_SERVER") return Kick(arguments, true);
  if (word == "KICK_PLAYER_FROM_CHANNEL") return Kick(arguments, false);
  if (word == "SEND_TEXT_MESSAGE_TO_CHANNEL") {
    const auto [idText, message] = SplitAt(arguments, ' ');
    const auto id = ToInt(idText);
    if (!id) return kInvalidParameter;
    return FindChannel(*id) != nullptr ? Ok() : kInvalidChannel;
  }
  return Ok();  // SEND_TEXT_MESSAGE
}

std::string VoiceServer::Version() const { return Ok("2.0.32.60"); }

std::string VoiceServer::ServerInfo() const {
  if (!connected_) return kNotConnected;
  const auto uptime = std::chrono::duration_cast<std::chrono::seconds>(clock_() - started_).count();
  const std::array<std::string, 11> lines{"Vantor Voice",
                                          "Welcome to the Vantor voice server: Blue and Red operations, ATC positions.",
                                          "2.0.24.1",
                                          "Linux",
                                          serverAddress_,
                                          "Parlix stand-in for Vantor",
                                          "stClan,stFreeware",
                                          std::to_string(players_.size()),
                                          std::to_string(kMaxServerPlayers),
                                          std::to_string(channels_.size()),
                                          std::to_string(uptime)};
  std::string payload;
  for (const std::string& line : lines) {
    if (!payload.empty()) payload += '\r';
    payload += line;
  }
  return Ok(payload);
}

std::string VoiceServer::UserInfo() const {
  const SimPlayer& local = LocalPlayer();
  const SimChannel* channel = FindChannel(local.channelId);
  if (channel == nullptr) channel = &DefaultChannel();
  const SimChannel* parent = FindChannel(channel->parentId);
  return Ok(PlayerLine(local) + '\r' + ChannelLine(*channel) + '\r' + ChannelLine(parent ? *parent : *channel));
}

std::string VoiceServer::ChannelInfo(const SimChannel& channel, bool withPlayers) const {
  std::string payload = ChannelLine(channel);
  if (withPlayers) {
    for (const SimPlayer& player : players_) {
      if (player.channelId == channel.id) payload += '\r' + PlayerLine(player);
    }
  }
  return Ok(payload);
}

std::string VoiceServer::ChannelList() const {
  std::string payload;
  for (const SimChannel& channel : channels_) {
    if (!payload.empty()) payload += '\r';
    payload += ChannelLine(channel);
  }
  return Ok(payload);
}

std::string VoiceServer::PlayerList() const {
  std::string payload;
  for (const SimPlayer& player : players_) {
    if (!payload.empty()) payload += '\r';
    payload += PlayerLine(player);
  }
  return Ok(payload);
}

// Who talks changes every few seconds, so a polling client sees traffic.
std::string VoiceServer::Speakers() const {
  const auto slot = std::chrono::duration_cast<std::chrono::seconds>(clock_() - started_).count() / 3;
  std::string payload;
  for (const SimPlayer& player : players_) {
    if (&player == &LocalPlayer() || (player.flags & kPlayerFlagInputMuted) != 0) continue;
    if ((slot + player.id) % 4 == 0) payload += std::to_string(player.id) + ';';
  }
  return Ok(payload);
}

std::string VoiceServer::SwitchChannel(const SimChannel* channel, std::string_view password) {
  if (channel == nullptr) return kInvalidChannel;
  SimPlayer& local = LocalPlayer();
  if (local.channelId == channel->id) return Ok();
  if (!channel->password.empty() && password != channel->password) return kWrongPassword;
  if (PlayersIn(channel->id) >= channel->maxPlayers) return kChannelFull;
  local.channelId = channel->id;
  return Ok();
}

// The name may hold blanks and the password follows the last one: the whole
// text is tried as a name first, then the text before its last blank.
std::string VoiceServer::SwitchChannelByName(std::string_view arguments) {
  if (const SimChannel* channel = FindChannelByName(arguments)) return SwitchChannel(channel, {});
  const std::size_t blank = arguments.rfind(' ');
  if (blank == std::string_view::npos) return kInvalidChannel;
  return SwitchChannel(FindChannelByName(arguments.substr(0, blank)), arguments.substr(blank + 1));
}

std::string VoiceServer::SetPrivilege(std::string_view arguments, int32_t bit) {
  const auto [idText, grant] = SplitAt(arguments, ' ');
  const auto id = ToInt(idText);
  if (!id || (grant != "grGrant" && grant != "grRevoke")) return kInvalidParameter;
  SimPlayer* player = FindPlayer(*id);
  if (player == nullptr) return kInvalidPlayer;
  player->channelPrivileges =
      grant == "grGrant" ? (player->channelPrivileges | bit) : (player->channelPrivileges & ~bit);
  return Ok();
}

std::string VoiceServer::Kick(std::string_view arguments, bool fromServer) {
  const auto [idText, reason] = SplitAt(arguments, ' ');
  const auto id = ToInt(idText);
  if (!id) return kInvalidParameter;
  SimPlayer* player = FindPlayer(*id);
  if (player == nullptr || player == &LocalPlayer()) return kInvalidPlayer;
  if (fromServer) {
    players_.erase(players_.begin() + (player - players_.data()));
  } else {
    player->channelId = DefaultChannel().id;
  }
  return Ok();
}

std::string VoiceServer::ChannelLine(const SimChannel& channel) const {
  std::string flags = FlagText(channel.flags, kChannelFlagNames, "");
  if ((channel.flags & channel_flag::kUnregistered) == 0)
    flags = flags.empty() ? "cfRegistered" : "cfRegistered," + flags;
  return std::to_string(channel.id) + ' ' + std::to_string(channel.parentId) + ' ' +
         std::to_string(PlayersIn(channel.id)) + ' ' + std::to_string(channel.maxPlayers) + ' ' + flags + ' ' +
         channel.name;
}

std::string VoiceServer::PlayerLine(const SimPlayer& player) {
  return std::to_string(player.id) + ' ' + std::to_string(player.channelId) + ' ' +
         FlagText(player.channelPrivileges, kChannelPrivilegeNames, "none") + ' ' +
         FlagText(player.privileges, kPrivilegeNames, "none") + ' ' + FlagText(player.flags, kPlayerFlagNames, "none") +
         ' ' + player.name;
}

int32_t VoiceServer::PlayersIn(int32_t channelId) const {
  return static_cast<int32_t>(
      std::count_if(players_.begin(), players_.end(), [&](const SimPlayer& p) { return p.channelId == channelId; }));
}

const SimChannel* VoiceServer::FindChannel(int32_t id) const {
  const auto it = std::find_if(channels_.begin(), channels_.end(), [&](const SimChannel& c) { return c.id == id; });
  return it != channels_.end() ? &*it : nullptr;
}

const SimChannel* VoiceServer::FindChannelByName(std::string_view name) const {
  const auto it = std::find_if(channels_.begin(), channels_.end(), [&](const SimChannel& c) { return c.name == name; });
  return it != channels_.end() ? &*it : nullptr;
}

SimPlayer* VoiceServer::FindPlayer(int32_t id) {
  const auto it = std::find_if(players_.begin(), players_.end(), [&](const SimPlayer& p) { return p.id == id; });
  return it != players_.end() ? &*it : nullptr;
}

const SimPlayer* VoiceServer::FindPlayer(int32_t id) const {
  const auto it = std::find_if(players_.begin(), players_.end(), [&](const SimPlayer& p) { return p.id == id; });
  return it != players_.end() ? &*it : nullptr;
}

const SimPlayer* VoiceServer::FindPlayerByName(std::string_view name) const {
  const auto it = std::find_if(players_.begin(), players_.end(), [&](const SimPlayer& p) { return p.name == name; });
  return it != players_.end() ? &*it : nullptr;
}

const SimChannel& VoiceServer::DefaultChannel() const {
  const auto it = std::find_if(channels_.begin(), channels_.end(),
                               [](const SimChannel& c) { return (c.flags & channel_flag::kDefault) != 0; });
  return it != channels_.end() ? *it : channels_.front();
}

}  // namespace vantor::parlixsim
