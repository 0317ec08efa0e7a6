#include "vantor/server/ConnectionTable.h"

#include <charconv>
#include <string>
#include <vector>

namespace vantor::server {
namespace {

constexpr std::string_view kKernelEstablished = "01";
constexpr std::string_view kKernelListen = "0A";

// Splits one line into white-space separated fields.
std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    const std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) fields.push_back(line.substr(start, i - start));
  }
  return fields;
}

// The hexadecimal port after the last ':' of "ADDRESS:PORT"; -1 when none.
long PortOf(std::string_view endpoint) {
  const std::size_t colon = endpoint.rfind(':');
  if (colon == std::string_view::npos) return -1;
  const std::string_view hex = endpoint.substr(colon + 1);
  unsigned long port = 0;
  const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), port, 16);
  if (error != std::errc{} || end != hex.data() + hex.size()) return -1;
  return static_cast<long>(port);
}

template <typename LineFn>
void ForEachLine(std::string_view text, LineFn&& fn) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    fn(text.substr(start, end - start));
    start = end + 1;
  }
}

// ":<port>" not followed by a further digit, so port 1030 does not match
// ":10308".
bool HoldsPort(std::string_view line, const std::string& needle) {
  for (std::size_t at = line.find(needle); at != std::string_view::npos; at = line.find(needle, at + 1)) {
    const std::size_t after = at + needle.size();
    if (after == line.size() || line[after] < '0' || line[after] > '9') return true;
  }
  return false;
}

}  // namespace

bool SimulatorHostDecision(const SimulatorPortState& state) { return !state.connected || state.hosting; }

void ScanKernelTcpTable(std::string_view tableText, std::uint16_t port, SimulatorPortState& state) {
  ForEachLine(tableText, [&](std::string_view line) {
    // "sl local_address rem_address st ..."; the header line has no ports.
    const auto fields = Fields(line);
    if (fields.size() < 4) return;
    if (PortOf(fields[1]) != port && PortOf(fields[2]) != port) return;
    if (fields[3] == kKernelEstablished) state.connected = true;
    if (fields[3] == kKernelListen) state.hosting = true;
  });
}

void ScanNetstatListing(std::string_view listing, std::uint16_t port, SimulatorPortState& state) {
  std::string needle = ":";
  needle += std::to_string(port);
  ForEachLine(listing, [&](std::string_view line) {
    if (!HoldsPort(line, needle)) return;
    if (line.find("ESTABLISHED") != std::string_view::npos) state.connected = true;
    if (line.find("LISTENING") != std::string_view::npos) state.hosting = true;
  });
}

}  // namespace vantor::server
