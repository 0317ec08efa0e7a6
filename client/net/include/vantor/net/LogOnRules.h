#pragma once
// The rules of the log-on that need no socket and no dialog: the sensor
// reset before a connection, the password match, the AWACS adjustments of
// the client's side and the scope's initial centring.

#include <cstdint>
#include <optional>
#include <string_view>

#include "vantor/protocol/ConfigBlock.h"

namespace vantor::model {
struct ClientState;
}

namespace vantor::net {

inline constexpr int kPasswordTries = 3;
inline constexpr int kBlueSide = 0;
inline constexpr int kRedSide = 1;
// Mode word of a side whose AWACS coverage is switched off by "radar only"
// and of the sensor part before a ConfigBlock arrives.
inline constexpr std::int32_t kResetAwacsMode = 8;
// The Airports menu's first command: airfield index i (0 ... 21) is 32700 + i.
inline constexpr int kFirstAirfieldCommand = 32700;
// Krasnodar center, whose radar the scope starts centred on.
inline constexpr int kDefaultCentreAirfield = 10;

// Before each connection: every airfield radar of both sides in service,
// AWACS modes 8, radar-only off, and the AWACS bookkeeping cleared.
void ResetSensorPart(model::ClientState& state);

// Neither coalition has a password: the client logs on as Blue unasked.
bool HasNoPasswords(const protocol::ConfigBlock& block);

// Compares like a case-insensitive strncmp over 9 bytes: the entry's first
// nine bytes against the stored password, letters without regard to case.
bool PasswordMatches(std::string_view entered, std::string_view stored);

// The side whose password the entry matches, Blue tried first; nullopt when
// neither matches.
std::optional<int> SideForPassword(std::string_view entered, const protocol::ConfigBlock& block);

// The side's AWACS after log-on: a simulator AWACS (mode 0) has no static
// position yet; radar-only sides get mode 8 at (0, 0).
void AdjustAwacsForSide(protocol::ConfigBlock& block, int side);

// When the side's Krasnodar center radar is out of service: the centring
// command of the first airfield whose radar is in service; nullopt when the
// scope keeps its centre.
std::optional<int> InitialCentringCommand(const protocol::ConfigBlock& block, int side);

// The log-on's outcome in the client's state, under the contact lock: the
// side, its AWACS and the log-on time `now`. Returns the scope's initial
// centring command, as InitialCentringCommand.
std::optional<int> AdoptSide(model::ClientState& state, int side, std::int64_t now);

}  // namespace vantor::net
