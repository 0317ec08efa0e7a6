#pragma once
// The server's settings: the sensor and password part that clients receive
// as their ConfigBlock, the radar type flags, the number of client slots and
// whether the simulator is started. Stored under section "Config" of the
// server's settings store, key for key as the configuration pages expect.

#include <QString>

#include <optional>
#include <string>

#include "vantor/protocol/ConfigBlock.h"
#include "vantor/server/FeedPacing.h"
#include "vantor/server/RadarTypeFilter.h"

namespace vantor {
class SettingsStore;
}

namespace vantor::server {

inline constexpr int kDefaultMaxClient = 2;
// The feed intake ("FeedIntake"): bytes read per 100 ms pacing step. Below
// the default a record of the feed might no longer fit; 16 MiB is more than
// 200,000 objects a batch.
inline constexpr std::size_t kMaxFeedIntakeBytes = 16 * 1024 * 1024;

struct ServerConfig {
  protocol::ConfigBlock block;  // version 6; missionClock is filled per client
  RadarTypeFlags radarTypeShown{};
  int maxClient = kDefaultMaxClient;                      // 1 ... 10
  int notLaunch = 0;                                      // 1 = do not start the simulator
  std::size_t feedIntakeBytes = kDefaultFeedIntakeBytes;  // kDefaultFeedIntakeBytes ... kMaxFeedIntakeBytes

  bool operator==(const ServerConfig&) const = default;
};

// What a fresh installation holds.
ServerConfig DefaultServerConfig();

// Every key but "notlaunchfalcrest" and "MaxClient" (read by
// LoadStartSettings). Missing keys take their defaults; a coordinate that
// does not read keeps the value `config` had; "FeedIntake" is kept in its
// range.
void LoadConfig(const SettingsStore& store, ServerConfig& config);
// Every key but "notlaunchfalcrest" (written when the server starts).
bool SaveConfig(SettingsStore& store, const ServerConfig& config);
// "notlaunchfalcrest" (default 0) and "MaxClient" (default 2, clamped to 1 ... 10).
void LoadStartSettings(const SettingsStore& store, ServerConfig& config);
bool SaveNotLaunch(SettingsStore& store, int notLaunch);

// The configuration as the INI text of a settings file: section [Config]
// with every key the server reads from it, in the order they are loaded.
QString ConfigIniText(const ServerConfig& config);
// A string value in double quotes, as settings files read it back exactly
// (commas, semicolons, quotes and outer blanks included).
QString QuotedIniValue(const QString& value);

int ClampMaxClient(int value);
std::size_t ClampFeedIntake(long long value);
// A password as it travels: its UTF-8 text cut to at most 9 bytes, never
// inside a character.
std::string CutPassword(const QString& password);
// Coordinates are stored as "%f" text and read back from its first 9
// characters with "%lf".
QString FormatCoordinate(double degrees);
std::optional<double> ParseCoordinate(const QString& stored);

}  // namespace vantor::server
