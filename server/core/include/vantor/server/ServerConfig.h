#pragma once
// The server's settings: the sensor and password part that clients receive
// as their ConfigBlock, the radar type flags, the number of client slots and
// whether the simulator is started. Stored under section "Config" of the
// server's settings store, key for key as the configuration pages expect.

#include <QString>

#include <optional>

#include "vantor/protocol/ConfigBlock.h"
#include "vantor/server/RadarTypeFilter.h"

namespace vantor {
class SettingsStore;
}

namespace vantor::server {

inline constexpr int kDefaultMaxClient = 2;

struct ServerConfig {
  protocol::ConfigBlock block;  // version 6; missionClock is filled per client
  RadarTypeFlags radarTypeShown{};
  int maxClient = kDefaultMaxClient;  // 1 ... 10
  int notLaunch = 0;                  // 1 = do not start the simulator

  bool operator==(const ServerConfig&) const = default;
};

// What a fresh installation holds.
ServerConfig DefaultServerConfig();

// Every key but "notlaunchfalcrest" and "MaxClient" (read by
// LoadStartSettings). Missing keys take their defaults; a coordinate that
// does not read keeps the value `config` had.
void LoadConfig(const SettingsStore& store, ServerConfig& config);
// Every key but "notlaunchfalcrest" (written when the server starts).
void SaveConfig(SettingsStore& store, const ServerConfig& config);
// "notlaunchfalcrest" (default 0) and "MaxClient" (default 2, clamped to 1 ... 10).
void LoadStartSettings(const SettingsStore& store, ServerConfig& config);
void SaveNotLaunch(SettingsStore& store, int notLaunch);

int ClampMaxClient(int value);
// Coordinates are stored as "%f" text and read back from its first 9
// characters with "%lf".
QString FormatCoordinate(double degrees);
std::optional<double> ParseCoordinate(const QString& stored);

}  // namespace vantor::server
