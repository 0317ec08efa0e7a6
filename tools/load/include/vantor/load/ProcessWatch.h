#pragma once
// CPU time and resident memory of running processes, and the datagrams the
// system dropped at a UDP port, as Linux shows them under /proc. Elsewhere
// the readers find nothing and the figures are reported as unavailable.
// Plain C++.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::load {

struct ProcessUsage {
  double cpuSeconds = 0.0;  // user plus system time so far
  std::uint64_t residentBytes = 0;
};

// From the text of /proc/<pid>/stat and /proc/<pid>/status; `ticksPerSecond`
// is the clock tick of the first.
std::optional<double> ParseCpuSeconds(std::string_view statText, long ticksPerSecond);
std::optional<std::uint64_t> ParseResidentBytes(std::string_view statusText);
// The process's name in /proc/<pid>/stat (between the parentheses).
std::optional<std::string> ParseProcessName(std::string_view statText);

// Reads the live values; nullopt when the process is gone or /proc is not there.
std::optional<ProcessUsage> ReadProcessUsage(std::int64_t pid);
std::optional<std::string> ReadProcessName(std::int64_t pid);

struct UdpSocketState {
  std::uint64_t drops = 0;        // datagrams the system threw away for want of room
  std::uint64_t queuedBytes = 0;  // waiting to be read
};

// The UDP socket bound to (IPv4 `address` in dotted form, `port`) in the
// text of /proc/net/udp.
std::optional<UdpSocketState> ParseUdpSocket(std::string_view procNetUdp, std::string_view address, std::uint16_t port);
std::optional<UdpSocketState> ReadUdpSocket(std::string_view address, std::uint16_t port);

// One process watched over a run: a sample a second.
class ProcessWatch {
 public:
  struct Sample {
    double atSeconds = 0.0;  // since the run began
    ProcessUsage usage;
  };
  struct Summary {
    std::optional<double> cpuPercent;       // of one core, over [from, to]
    std::optional<double> peakCpuPercent;   // over the busiest 10 s inside [from, to]
    std::optional<double> earlyResidentMb;  // one minute in (half-way for shorter spans)
    std::optional<double> endResidentMb;
    std::optional<double> residentGrowthPercent;  // end against early
    std::optional<double> peakResidentMb;
  };

  ProcessWatch(std::string label, std::int64_t pid) : label_(std::move(label)), pid_(pid) {}

  // Reads the process now; false when it could not be read (gone).
  bool Take(double atSeconds);
  // For tests and replays.
  void Add(Sample sample) { samples_.push_back(sample); }

  const std::string& Label() const { return label_; }
  std::int64_t Pid() const { return pid_; }
  const std::vector<Sample>& Samples() const { return samples_; }
  bool Lost() const { return lost_; }
  Summary Summarise(double fromSeconds, double toSeconds) const;

 private:
  std::string label_;
  std::int64_t pid_;
  std::vector<Sample> samples_;
  bool lost_ = false;
};

}  // namespace vantor::load
