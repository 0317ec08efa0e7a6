#include "vantor/load/ProcessWatch.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#ifdef __linux__
#include <unistd.h>
#endif

namespace vantor::load {
namespace {

constexpr double kBytesPerMb = 1024.0 * 1024.0;
constexpr double kEarlySeconds = 60.0;
constexpr double kPeakSpanSeconds = 10.0;
// Fields of /proc/<pid>/stat after the name: state is field 3, utime 14 and
// stime 15, counted from 1.
constexpr int kUtimeFieldAfterName = 14 - 3;

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::vector<std::string_view> SplitWords(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
    if (i > start) words.push_back(text.substr(start, i - start));
  }
  return words;
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text, int base = 10) {
  Number value{};
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
  return value;
}

// "0200007F:2846" -> address bytes as printed by the kernel (the raw
// network-order word shown as a host number) and the port.
std::optional<std::pair<std::array<std::uint8_t, 4>, std::uint16_t>> ParseHexEndpoint(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon != 8) return std::nullopt;
  const auto word = ParseNumber<std::uint32_t>(text.substr(0, colon), 16);
  const auto port = ParseNumber<std::uint16_t>(text.substr(colon + 1), 16);
  if (!word || !port) return std::nullopt;
  std::array<std::uint8_t, 4> bytes{};
  std::memcpy(bytes.data(), &*word, bytes.size());
  return std::make_pair(bytes, *port);
}

std::optional<std::array<std::uint8_t, 4>> ParseDotted(std::string_view text) {
  std::array<std::uint8_t, 4> bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::size_t dot = i + 1 < bytes.size() ? text.find('.') : text.size();
    if (dot == std::string_view::npos) return std::nullopt;
    const auto part = ParseNumber<std::uint8_t>(text.substr(0, dot));
    if (!part) return std::nullopt;
    bytes[i] = *part;
    text.remove_prefix(std::min(text.size(), dot + 1));
  }
  return bytes;
}

}  // namespace

std::optional<double> ParseCpuSeconds(std::string_view statText, long ticksPerSecond) {
  // The name may hold blanks and parentheses; the fields follow its last ")".
  const std::size_t close = statText.rfind(')');
  if (close == std::string_view::npos || ticksPerSecond <= 0) return std::nullopt;
  const auto fields = SplitWords(statText.substr(close + 1));
  if (fields.size() <= static_cast<std::size_t>(kUtimeFieldAfterName + 1)) return std::nullopt;
  const auto user = ParseNumber<std::uint64_t>(fields[kUtimeFieldAfterName]);
  const auto system = ParseNumber<std::uint64_t>(fields[kUtimeFieldAfterName + 1]);
  if (!user || !system) return std::nullopt;
  return static_cast<double>(*user + *system) / static_cast<double>(ticksPerSecond);
}

std::optional<std::string> ParseProcessName(std::string_view statText) {
  const std::size_t open = statText.find('(');
  const std::size_t close = statText.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) return std::nullopt;
  return std::string(statText.substr(open + 1, close - open - 1));
}

std::optional<std::uint64_t> ParseResidentBytes(std::string_view statusText) {
  constexpr std::string_view kKey = "VmRSS:";
  std::size_t at = statusText.find(kKey);
  // The key starts a line.
  while (at != std::string_view::npos && at != 0 && statusText[at - 1] != '\n') at = statusText.find(kKey, at + 1);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view line = statusText.substr(at + kKey.size());
  line = line.substr(0, line.find('\n'));
  const auto words = SplitWords(line);
  if (words.size() != 2 || words[1] != "kB") return std::nullopt;
  const auto kilobytes = ParseNumber<std::uint64_t>(words[0]);
  if (!kilobytes) return std::nullopt;
  return *kilobytes * 1024;
}

std::optional<ProcessUsage> ReadProcessUsage(std::int64_t pid) {
#ifdef __linux__
  const std::string folder = "/proc/" + std::to_string(pid) + "/";
  const auto stat = ReadWholeFile(folder + "stat");
  const auto status = ReadWholeFile(folder + "status");
  if (!stat || !status) return std::nullopt;
  const auto cpu = ParseCpuSeconds(*stat, sysconf(_SC_CLK_TCK));
  const auto resident = ParseResidentBytes(*status);
  if (!cpu || !resident) return std::nullopt;
  return ProcessUsage{*cpu, *resident};
#else
  (void)pid;
  return std::nullopt;
#endif
}

std::optional<std::string> ReadProcessName(std::int64_t pid) {
  const auto stat = ReadWholeFile("/proc/" + std::to_string(pid) + "/stat");
  if (!stat) return std::nullopt;
  return ParseProcessName(*stat);
}

std::optional<UdpSocketState> ParseUdpSocket(std::string_view procNetUdp, std::string_view address,
                                             std::uint16_t port) {
  const auto wanted = ParseDotted(address);
  if (!wanted) return std::nullopt;
  std::size_t lineStart = procNetUdp.find('\n');  // past the heading
  while (lineStart != std::string_view::npos && lineStart + 1 < procNetUdp.size()) {
    std::string_view line = procNetUdp.substr(lineStart + 1);
    lineStart = procNetUdp.find('\n', lineStart + 1);
    line = line.substr(0, line.find('\n'));
    // sl local rem st tx_queue:rx_queue tr:when retrnsmt uid timeout inode ref pointer drops
    const auto words = SplitWords(line);
    if (words.size() < 13) continue;
    const auto local = ParseHexEndpoint(words[1]);
    if (!local || local->first != *wanted || local->second != port) continue;
    UdpSocketState state;
    const std::string_view queues = words[4];
    const std::size_t colon = queues.find(':');
    if (colon != std::string_view::npos) {
      state.queuedBytes = ParseNumber<std::uint64_t>(queues.substr(colon + 1), 16).value_or(0);
    }
    const auto drops = ParseNumber<std::uint64_t>(words.back());
    if (!drops) return std::nullopt;
    state.drops = *drops;
    return state;
  }
  return std::nullopt;
}

std::optional<UdpSocketState> ReadUdpSocket(std::string_view address, std::uint16_t port) {
  const auto text = ReadWholeFile("/proc/net/udp");
  if (!text) return std::nullopt;
  return ParseUdpSocket(*text, address, port);
}

bool ProcessWatch::Take(double atSeconds) {
  const auto usage = ReadProcessUsage(pid_);
  if (!usage) {
    lost_ = true;
    return false;
  }
  samples_.push_back({atSeconds, *usage});
  return true;
}

ProcessWatch::Summary ProcessWatch::Summarise(double fromSeconds, double toSeconds) const {
  Summary summary;
  std::vector<Sample> span;
  for (const Sample& sample : samples_) {
    if (sample.atSeconds >= fromSeconds - 0.5 && sample.atSeconds <= toSeconds + 0.5) span.push_back(sample);
  }
  if (span.empty()) return summary;
  const auto toMb = [](std::uint64_t bytes) { return static_cast<double>(bytes) / kBytesPerMb; };
  summary.endResidentMb = toMb(span.back().usage.residentBytes);
  std::uint64_t peak = 0;
  for (const Sample& sample : span) peak = std::max(peak, sample.usage.residentBytes);
  summary.peakResidentMb = toMb(peak);

  const double earlyAt = span.front().atSeconds + std::min(kEarlySeconds, (toSeconds - fromSeconds) / 2.0);
  const auto early = std::min_element(span.begin(), span.end(), [earlyAt](const Sample& a, const Sample& b) {
    return std::abs(a.atSeconds - earlyAt) < std::abs(b.atSeconds - earlyAt);
  });
  summary.earlyResidentMb = toMb(early->usage.residentBytes);
  if (early->usage.residentBytes > 0) {
    summary.residentGrowthPercent =
        (static_cast<double>(span.back().usage.residentBytes) - static_cast<double>(early->usage.residentBytes)) /
        static_cast<double>(early->usage.residentBytes) * 100.0;
  }

  const double elapsed = span.back().atSeconds - span.front().atSeconds;
  if (elapsed > 0.0) {
    summary.cpuPercent = (span.back().usage.cpuSeconds - span.front().usage.cpuSeconds) / elapsed * 100.0;
    double busiest = 0.0;
    std::size_t j = 0;
    for (std::size_t i = 0; i < span.size(); ++i) {
      j = std::max(j, i);
      while (j < span.size() && span[j].atSeconds - span[i].atSeconds < kPeakSpanSeconds) ++j;
      if (j == span.size()) break;
      const double seconds = span[j].atSeconds - span[i].atSeconds;
      busiest = std::max(busiest, (span[j].usage.cpuSeconds - span[i].usage.cpuSeconds) / seconds * 100.0);
    }
    summary.peakCpuPercent = busiest > 0.0 ? busiest : *summary.cpuPercent;
  }
  return summary;
}

}  // namespace vantor::load
