#pragma once
// The 432-byte little-endian image of the server's sensor configuration and
// passwords, sent once per control connection.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "vantor/protocol/Constants.h"

namespace vantor::protocol {

inline constexpr std::size_t kConfigBlockSize = 432;

// Per-coalition arrays are indexed by coalition (0 Blue, 1 Red) and by
// airfield index - 1 (0 = Adler ... 21 = the carrier).
struct ConfigBlock {
  std::int32_t version = kProtocolVersion;
  std::array<std::array<std::int32_t, kAirfieldCount>, 2> airfieldRadarOn{};       // "a%d" / "b%d"
  std::array<std::array<std::int32_t, kAirfieldCount>, 2> airfieldRadarRangeKm{};  // "R%d" / "RR%d"
  std::array<std::int32_t, 2> radarOnly{};                                         // "RadarOnly" / "RadarOnly1"
  std::array<std::string, 2> password;     // "bluepass" / "redpass"; only the first 9 characters travel
  std::int32_t awacsRangeKm = 0;           // "AwacsRange"
  std::array<double, 2> awacsLatitude{};   // "Alat0" / "Alat1"
  std::array<double, 2> awacsLongitude{};  // "Along0" / "Along1"
  std::array<std::int32_t, 2>
      awacsMode{};                // "Awacs" / "Awacs1": 0 simulator AWACS, 1..20 static at this altitude in km
  std::int32_t missionClock = 0;  // seconds, at the moment the block is sent

  bool operator==(const ConfigBlock&) const = default;
};

// Field offsets of the wire image.
namespace config_offset {
inline constexpr std::size_t kVersion = 0;
inline constexpr std::size_t kBlueAirfieldOn = 4;
inline constexpr std::size_t kRedAirfieldOn = 92;
inline constexpr std::size_t kBlueAirfieldRange = 180;
inline constexpr std::size_t kRedAirfieldRange = 268;
inline constexpr std::size_t kBlueRadarOnly = 356;
inline constexpr std::size_t kRedRadarOnly = 360;
inline constexpr std::size_t kBluePassword = 364;
inline constexpr std::size_t kRedPassword = 374;
inline constexpr std::size_t kAwacsRange = 384;
inline constexpr std::size_t kBlueAwacsLatitude = 388;
inline constexpr std::size_t kRedAwacsLatitude = 396;
inline constexpr std::size_t kBlueAwacsLongitude = 404;
inline constexpr std::size_t kRedAwacsLongitude = 412;
inline constexpr std::size_t kBlueAwacsMode = 420;
inline constexpr std::size_t kRedAwacsMode = 424;
inline constexpr std::size_t kMissionClock = 428;
}  // namespace config_offset

using ConfigBlockBytes = std::array<std::uint8_t, kConfigBlockSize>;

// Explicit little-endian packing; passwords are cut to 9 characters and
// padded with NUL, and the bytes after each password field are always 0.
ConfigBlockBytes EncodeConfigBlock(const ConfigBlock& block);
// Reads the first 432 bytes; nullopt when fewer are given. The version is
// not checked here. Passwords end at their first NUL or after 9 characters.
std::optional<ConfigBlock> DecodeConfigBlock(std::span<const std::uint8_t> bytes);

}  // namespace vantor::protocol
