#pragma once
// The voice server a Parlix client would be connected to, as parlix-sim plays
// it: channels, players, the local player, and the answers to every command
// of the remote-control language.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::parlixsim {

// Bit values as the remote-control replies name them.
namespace channel_flag {
inline constexpr int32_t kUnregistered = 2;
inline constexpr int32_t kModerated = 4;
inline constexpr int32_t kPassword = 8;
inline constexpr int32_t kHierarchical = 16;
inline constexpr int32_t kDefault = 32;
}  // namespace channel_flag

struct SimChannel {
  int32_t id = 0;
  int32_t parentId = -1;
  int32_t maxPlayers = 32;
  int32_t flags = 0;  // channel_flag bits; cfPassword follows the password
  std::string name;
  std::string password;
};

struct SimPlayer {
  int32_t id = 0;
  int32_t channelId = 0;
  int32_t channelPrivileges = 0;  // pcp* bits
  int32_t privileges = 0;         // pp* bits
  int32_t flags = 0;              // pf* bits
  std::string name;
};

struct ServerSetup {
  std::vector<SimChannel> channels;
  std::vector<SimPlayer> players;  // the first one is the local player
};

// A realistic server for the demo: operations channels of both coalitions
// and the ATC positions, with a few players in them.
ServerSetup DefaultServerSetup();

// Reads a channel list: lines "id;name[;flags[;password[;parent[;max]]]]" for
// channels and "player;id;channel id;name[;flags[;channel privileges[;privileges]]]"
// for players; flags are comma-separated names ("cfModerated,cfDefault").
// Blank lines and lines starting with '#' are skipped. Without player lines a
// local player "Controller" joins the default channel. Returns an error text
// on failure.
std::optional<std::string> ParseServerSetup(std::string_view text, ServerSetup& setup);

class VoiceServer {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  explicit VoiceServer(ServerSetup setup, Clock clock = std::chrono::steady_clock::now);

  // The full reply text ("OK..." or "ERROR <code> <message>") for a command.
  std::string Answer(std::string_view command);

  // True once a QUIT command has been answered.
  bool QuitRequested() const { return quitRequested_; }

 private:
  std::string Version() const;
  std::string ServerInfo() const;
  std::string UserInfo() const;
  std::string ChannelInfo(const SimChannel& channel, bool withPlayers) const;
  std::string ChannelList() const;
  std::string PlayerList() const;
  std::string Speakers() const;
  std::string SwitchChannel(const SimChannel* channel, std::string_view password);
  std::string SwitchChannelByName(std::string_view arguments);
  std::string SetPrivilege(std::string_view arguments, int32_t bit);
  std::string Kick(std::string_view arguments, bool fromServer);

  std::string ChannelLine(const SimChannel& channel) const;
  static std::string PlayerLine(const SimPlayer& player);
  int32_t PlayersIn(int32_t channelId) const;
  const SimChannel* FindChannel(int32_t id) const;
  const SimChannel* FindChannelByName(std::string_view name) const;
  SimPlayer* FindPlayer(int32_t id);
  const SimPlayer* FindPlayer(int32_t id) const;
  const SimPlayer* FindPlayerByName(std::string_view name) const;
  const SimChannel& DefaultChannel() const;
  SimPlayer& LocalPlayer() { return players_.front(); }
  const SimPlayer& LocalPlayer() const { return players_.front(); }

  std::vector<SimChannel> channels_;
  std::vector<SimPlayer> players_;
  Clock clock_;
  std::chrono::steady_clock::time_point started_;
  bool connected_ = true;
  bool quitRequested_ = false;
  std::string serverAddress_ = "127.0.0.1:8767";
  std::string wantVoiceReason_;
};

}  // namespace vantor::parlixsim
