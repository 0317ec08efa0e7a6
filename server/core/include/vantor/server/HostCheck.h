#pragma once
// The check made at every client accept: the host's connection table is read
// for the simulator's multiplayer port and judged by SimulatorHostDecision.

#include "vantor/server/ConnectionTable.h"

#include <string>
#include <vector>

namespace vantor::server {

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
