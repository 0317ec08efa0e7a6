#pragma once
// The check made at every client accept: clients are let in only while the
// simulator on this host is not a multiplayer client of another host. The
// host's connection table is read for the simulator's multiplayer port; a
// connection there without a listening socket means the simulator joined
// someone else's mission.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// Scans a netstat listing: every line holding ":<port>" counts as connected
// when it holds "ESTABLISHED" and as hosting when it holds "LISTENING".
void ScanNetstatListing(std::string_view listing, std::uint16_t port, SimulatorPortState& state);

class HostCheck {
 public:
  virtual ~HostCheck() = default;
  // True = accept the client.
  virtual bool SimulatorHostCheck() = 0;
};

// Reads the kernel's TCP tables; false when none of them can be read.
class KernelTcpTableHostCheck final : public HostCheck {
 public:
  explicit KernelTcpTableHostCheck(std::vector<std::string> tablePaths = {"/proc/net/tcp", "/proc/net/tcp6"});
  bool SimulatorHostCheck() override;

 private:
  std::vector<std::string> tablePaths_;
};

// Runs the operating system's netstat and reads its listing; false when no
// listing arrives within 30 seconds.
class NetstatHostCheck final : public HostCheck {
 public:
  explicit NetstatHostCheck(std::string program = "netstat");
  bool SimulatorHostCheck() override;

 private:
  std::string program_;
};

// Always accepts (or always refuses): for hosts that never run the simulator.
class FixedHostCheck final : public HostCheck {
 public:
  explicit FixedHostCheck(bool accept) : accept_(accept) {}
  bool SimulatorHostCheck() override { return accept_; }

 private:
  bool accept_;
};

}  // namespace vantor::server
