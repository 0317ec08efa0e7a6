#pragma once
// Constants and small shared types of the wire protocol. Plain C++.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantor::protocol {

inline constexpr int kProtocolVersion = 6;
inline constexpr std::uint16_t kClientPort = 10310;  // TCP control port on the server, UDP track port on the client
inline constexpr std::uint16_t kFeedPort = 10311;    // simulator feed
inline constexpr int kJoinTimeoutMs = 15000;
inline constexpr int kAirfieldCount = 22;                // airfield index 1 ... 22
inline constexpr std::size_t kPasswordLength = 9;        // passwords travel as their first 9 characters
inline constexpr std::size_t kMaxDatagramBytes = 10000;  // a receiver reads at most this much of a datagram
// The receive buffer a client asks for on its track port. A broadcast of a
// large mission (about 800 kB for 10,000 objects) arrives at once and must
// wait there while the client is busy drawing; the system's default holds
// a fifth of it. Systems may grant less.
inline constexpr int kTrackReceiveBufferBytes = 4 * 1024 * 1024;
inline constexpr std::size_t kControlReadBytes = 10000;  // one control-channel read
inline constexpr std::size_t kMaxChatTextLength = 250;   // what a sender puts in one chat message
inline constexpr std::size_t kChatRejectBytes = 255;     // a received chat message this long or longer is refused
inline constexpr int kMaxClientSlots = 10;

// One byte on the control channel.
enum class CoalitionCode : std::uint8_t { Blue = 0, Red = 1, Everyone = 3 };

// The coalition character inside a track record.
enum class SideLetter : char { Blue = 'A', Red = 'B' };

inline constexpr std::size_t kRadarTypeCount = 23;
// The ground radar type names, in the order shared by the server's "Ra%d"
// keys, its filter and the client's radar type table.
extern const std::array<std::string_view, kRadarTypeCount> RadarTypeNames;

}  // namespace vantor::protocol
