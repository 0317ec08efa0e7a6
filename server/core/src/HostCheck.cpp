#include "vantor/server/HostCheck.h"

#include <QFile>
#include <QProcess>

#include <charconv>

namespace vantor::server {
namespace {

constexpr std::string_view kKernelEstablished = "01";
constexpr std::string_view kKernelListen = "0A";
constexpr int kNetstatTimeoutMs = 30000;

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
  const std::string needle = ":" + std::to_string(port);
  ForEachLine(listing, [&](std::string_view line) {
    if (line.find(needle) == std::string_view::npos) return;
    if (line.find("ESTABLISHED") != std::string_view::npos) state.connected = true;
    if (line.find("LISTENING") != std::string_view::npos) state.hosting = true;
  });
}

KernelTcpTableHostCheck::KernelTcpTableHostCheck(std::vector<std::string> tablePaths)
    : tablePaths_(std::move(tablePaths)) {}

bool KernelTcpTableHostCheck::SimulatorHostCheck() {
  SimulatorPortState state;
  bool anyRead = false;
  for (const std::string& path : tablePaths_) {
    QFile file(QString::fromStdString(path));
    // Files under /proc report size 0: read until the end instead.
    if (!file.open(QIODevice::ReadOnly)) continue;
    const QByteArray text = file.readAll();
    anyRead = true;
    ScanKernelTcpTable(std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
                       kSimulatorMultiplayerPort, state);
  }
  return anyRead && SimulatorHostDecision(state);
}

NetstatHostCheck::NetstatHostCheck(std::string program) : program_(std::move(program)) {}

bool NetstatHostCheck::SimulatorHostCheck() {
  QProcess netstat;
  netstat.start(QString::fromStdString(program_), {QStringLiteral("-a"), QStringLiteral("-n")});
  if (!netstat.waitForFinished(kNetstatTimeoutMs) || netstat.exitStatus() != QProcess::NormalExit) return false;
  const QByteArray listing = netstat.readAllStandardOutput();
  SimulatorPortState state;
  ScanNetstatListing(std::string_view(listing.constData(), static_cast<std::size_t>(listing.size())),
                     kSimulatorMultiplayerPort, state);
  return SimulatorHostDecision(state);
}

}  // namespace vantor::server
