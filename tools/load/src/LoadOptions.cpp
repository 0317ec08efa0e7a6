#include "vantor/load/LoadOptions.h"

#include "vantor/platform/ToolCommandLine.h"

#include <QCommandLineParser>

#include <cmath>
#include <iostream>

namespace vantor::load {
namespace {

constexpr double kMaxSeconds = 7.0 * 24 * 3600;

std::optional<double> Seconds(const QString& text, bool allowZero) {
  bool ok = false;
  const double value = text.toDouble(&ok);
  if (!ok || !std::isfinite(value) || value < 0.0 || (!allowZero && value == 0.0) || value > kMaxSeconds) {
    return std::nullopt;
  }
  return value;
}

std::optional<double> Positive(const QString& text) {
  bool ok = false;
  const double value = text.toDouble(&ok);
  if (!ok || !std::isfinite(value) || value < 0.0) return std::nullopt;
  return value;
}

std::optional<std::int64_t> Pid(const QString& text) {
  bool ok = false;
  const qint64 value = text.toLongLong(&ok);
  if (!ok || value <= 0) return std::nullopt;
  return value;
}

bool IsIpv4(const QHostAddress& address) { return address.protocol() == QAbstractSocket::IPv4Protocol; }

}  // namespace

QHostAddress LoadOptions::ClientAddress(int index) const {
  return QHostAddress(firstAddress.toIPv4Address() + static_cast<quint32>(index));
}

Coalition LoadOptions::ClientCoalition(int index) const {
  return coalitions[static_cast<std::size_t>(index) % coalitions.size()];
}

std::optional<LoadOptions> ParseLoadOptions(const QStringList& arguments, int& exitCode) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Logs radar clients on to a running vantorsrv, each from its own loopback address, exactly as Vantor does,\n"
      "and counts what each receives: datagrams, records, records per object, gaps (an object whose updates stop\n"
      "while the feed still sends it), records missing against the other clients, datagrams the system dropped,\n"
      "and the time from the feed's batch to each record's arrival. The feed must stamp its batches\n"
      "(vantor-missiongen --stamp). With --server-pid it also reports the server's CPU and resident memory.\n"
      "Counting starts after the warm-up and covers whole batches.\n"
      "Exit status: 0 all well, 1 records lost, 2 the run could not be made, 3 a --max-... figure missed.");
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption server("server", "The server's address (default 127.0.0.1).", "host", "127.0.0.1");
  const QCommandLineOption clientPort(
      "client-port", "The server's control port, also the clients' track port (default 10310).", "N", "10310");
  const QCommandLineOption clients("clients", "Number of clients (default 3).", "N", "3");
  const QCommandLineOption firstAddress(
      "first-address", "Loopback address of the first client; the next ones count up (default 127.0.0.2).", "ADDR",
      "127.0.0.2");
  const QCommandLineOption coalitions(
      "coalitions", "The coalitions the clients choose, in turn: a list of blue and red (default blue,red).", "LIST",
      "blue,red");
  const QCommandLineOption bluePassword(
      "blue-password", "The password a Blue client enters (default: Blue's, as the server sends it).", "PW");
  const QCommandLineOption redPassword(
      "red-password", "The password a Red client enters (default: Red's, as the server sends it).", "PW");
  const QCommandLineOption duration("duration", "Seconds of counting (default 20).", "S", "20");
  const QCommandLineOption warmup("warmup", "Seconds between the last log-on and the counting (default 3).", "S", "3");
  const QCommandLineOption connectTimeout(
      "connect-timeout", "Seconds to wait for the server to accept the clients (default 10).", "S", "10");
  const QCommandLineOption serverPid("server-pid", "Report this process's CPU and resident memory as the server's.",
                                     "PID");
  const QCommandLineOption watchPid("watch-pid", "Report this process's CPU and resident memory too (repeatable).",
                                    "PID");
  const QCommandLineOption watchUdp(
      "watch-udp",
      "Report the datagrams the system dropped at this address's track port, e.g. a Vantor's "
      "(repeatable).",
      "ADDR");
  const QCommandLineOption receiveBuffer(
      "receive-buffer", "Receive buffer of each track port in bytes (default: what Vantor asks for).", "BYTES");
  const QCommandLineOption json("json",
                                "Also write the figures as JSON to FILE; - writes only JSON, to standard "
                                "output.",
                                "FILE");
  const QCommandLineOption quiet("quiet", "No progress lines on standard error.");
  const QCommandLineOption maxP99("max-p99-ms", "Exit 3 when the latency's 99th percentile is above MS.", "MS");
  const QCommandLineOption maxCpu("max-server-cpu", "Exit 3 when the server's CPU is above PERCENT of one core.",
                                  "PERCENT");
  const QCommandLineOption maxGrowth(
      "max-rss-growth",
      "Exit 3 when the server's resident memory changes by more than PERCENT between one minute "
      "in (half-way for shorter runs) and the end.",
      "PERCENT");
  const QCommandLineOption maxGaps("max-gaps", "Exit 3 when more than N gaps were seen.", "N");
  const QCommandLineOption maxWatchedCpu(
      "max-watched-cpu", "Exit 3 when a --watch-pid process's CPU is above PERCENT of one core.", "PERCENT");
  const QCommandLineOption maxWatchedRss("max-watched-rss-mb",
                                         "Exit 3 when a --watch-pid process's resident memory peaks above MB.", "MB");
  parser.addOptions({server,      clientPort,    clients,       firstAddress,   coalitions, bluePassword,
                     redPassword, duration,      warmup,        connectTimeout, serverPid,  watchPid,
                     watchUdp,    receiveBuffer, json,          quiet,          maxP99,     maxCpu,
                     maxGrowth,   maxGaps,       maxWatchedCpu, maxWatchedRss});

  if (const std::optional<int> done = ParseToolCommandLine(parser, arguments, "vantor-load")) {
    exitCode = *done;
    return std::nullopt;
  }
  const auto fail = [&exitCode](const std::string& why) -> std::optional<LoadOptions> {
    std::cerr << "vantor-load: " << why << "\n";
    exitCode = 2;
    return std::nullopt;
  };
  if (!parser.positionalArguments().isEmpty()) {
    return fail("unexpected argument " + parser.positionalArguments().first().toStdString());
  }

  LoadOptions options;
  bool ok = false;
  options.server = parser.value(server);
  if (options.server.isEmpty()) return fail("--server needs an address");
  const uint port = parser.value(clientPort).toUInt(&ok);
  if (!ok || port == 0 || port > 65535) return fail("--client-port must be a number from 1 to 65535");
  options.clientPort = static_cast<quint16>(port);
  options.clients = parser.value(clients).toInt(&ok);
  if (!ok || options.clients < 1 || options.clients > kMaxLoadClients) {
    return fail("--clients must be a number from 1 to " + std::to_string(kMaxLoadClients));
  }
  options.firstAddress = QHostAddress(parser.value(firstAddress));
  if (!IsIpv4(options.firstAddress) || !options.firstAddress.isLoopback()) {
    return fail("--first-address must be an IPv4 loopback address (127.x.x.x)");
  }
  const quint32 last = options.firstAddress.toIPv4Address() + static_cast<quint32>(options.clients - 1);
  if ((last & 0xffu) == 0xffu || (last >> 24) != 127u) {
    return fail("--first-address leaves no room for " + std::to_string(options.clients) + " loopback addresses");
  }
  options.coalitions.clear();
  for (const QString& name : parser.value(coalitions).split(',', Qt::SkipEmptyParts)) {
    const QString word = name.trimmed().toLower();
    if (word == QLatin1String("blue")) {
      options.coalitions.push_back(Coalition::Blue);
    } else if (word == QLatin1String("red")) {
      options.coalitions.push_back(Coalition::Red);
    } else {
      return fail("--coalitions takes blue and red, not " + name.toStdString());
    }
  }
  if (options.coalitions.empty()) return fail("--coalitions needs blue or red");
  if (parser.isSet(bluePassword)) options.bluePassword = parser.value(bluePassword);
  if (parser.isSet(redPassword)) options.redPassword = parser.value(redPassword);

  const auto durationValue = Seconds(parser.value(duration), false);
  const auto warmupValue = Seconds(parser.value(warmup), true);
  const auto connectValue = Seconds(parser.value(connectTimeout), false);
  if (!durationValue || !warmupValue || !connectValue) {
    return fail("--duration, --warmup and --connect-timeout take a number of seconds (up to a week)");
  }
  options.durationSeconds = *durationValue;
  options.warmupSeconds = *warmupValue;
  options.connectTimeoutSeconds = *connectValue;

  if (parser.isSet(serverPid)) {
    options.serverPid = Pid(parser.value(serverPid));
    if (!options.serverPid) return fail("--server-pid needs a process id");
  }
  for (const QString& text : parser.values(watchPid)) {
    const auto pid = Pid(text);
    if (!pid) return fail("--watch-pid needs a process id, not " + text.toStdString());
    options.watchPids.push_back(*pid);
  }
  for (const QString& text : parser.values(watchUdp)) {
    const QHostAddress address(text);
    if (!IsIpv4(address)) return fail("--watch-udp needs an IPv4 address, not " + text.toStdString());
    options.watchUdp.push_back(address);
  }
  if (parser.isSet(receiveBuffer)) {
    options.receiveBufferBytes = parser.value(receiveBuffer).toInt(&ok);
    if (!ok || options.receiveBufferBytes <= 0) return fail("--receive-buffer needs a number of bytes");
  }
  options.jsonPath = parser.value(json);
  if (parser.isSet(json) && options.jsonPath.isEmpty()) return fail("--json needs a file (or -)");
  options.quiet = parser.isSet(quiet);

  const auto threshold = [&](const QCommandLineOption& option, std::optional<double>& value) {
    if (!parser.isSet(option)) return true;
    value = Positive(parser.value(option));
    return value.has_value();
  };
  if (!threshold(maxP99, options.thresholds.maxP99Ms) || !threshold(maxCpu, options.thresholds.maxServerCpuPercent) ||
      !threshold(maxGrowth, options.thresholds.maxResidentGrowthPercent) ||
      !threshold(maxWatchedCpu, options.thresholds.maxWatchedCpuPercent) ||
      !threshold(maxWatchedRss, options.thresholds.maxWatchedResidentMb)) {
    return fail("the --max-... options take a number");
  }
  if (parser.isSet(maxGaps)) {
    const qulonglong gaps = parser.value(maxGaps).toULongLong(&ok);
    if (!ok) return fail("--max-gaps takes a number");
    options.thresholds.maxGaps = gaps;
  }
  return options;
}

}  // namespace vantor::load
