#include "vantor/server/HostCheck.h"

#include <QFile>
#include <QProcess>

namespace vantor::server {
namespace {

constexpr int kNetstatTimeoutMs = 30000;

}  // namespace

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
