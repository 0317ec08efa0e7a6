#pragma once
// What the host's connection table says about the simulator's multiplayer
// port, and the check's decision from it: clients are let in only while the
// simulator on this host is not a multiplayer client of another host. A
// connection on the port without a listening socket means the simulator
// joined someone else's mission.

#include <cstdint>
#include <string_view>

namespace vantor::server {

inline constexpr std::uint16_t kSimulatorMultiplayerPort = 10308;

struct SimulatorPortState {
  bool connected = false;  // a connection on the port is established
  bool hosting = false;    // a socket listens on the port
};

// The decision: accept when nothing is connected, or when this host hosts.
bool SimulatorHostDecision(const SimulatorPortState& state);

// Scans the kernel's TCP table text (Linux /proc/net/tcp or tcp6): a local
// or remote port equal to `port` in state ESTABLISHED (01) counts as
// connected, in state LISTEN (0A) as hosting.
void ScanKernelTcpTable(std::string_view tableText, std::uint16_t port, SimulatorPortState& state);

// Scans the listing of Windows' "netstat -a" (with or without "-n"): every
// line holding ":<port>" counts as connected when it holds "ESTABLISHED" and
// as hosting when it holds "LISTENING". Lines may end in CR LF.
void ScanNetstatListing(std::string_view listing, std::uint16_t port, SimulatorPortState& state);

}  // namespace vantor::server
