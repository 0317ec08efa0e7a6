#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

#include "vantor/platform/PortOption.h"
#include "vantor/protocol/Constants.h"
#include "vantor/server/ServerRuntime.h"

namespace {

// Options after which no window opens.
constexpr const char* kWindowlessOptions[] = {"--headless", "--print-config", "--help", "-h",
                                              "--help-all", "--version",      "-v",     "-?"};

}  // namespace

bool WindowRequested(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--") == 0) return true;  // what follows is not an option
    for (const char* option : kWindowlessOptions) {
      if (std::strcmp(argv[i], option) == 0) return false;
    }
  }
  return true;
}

std::optional<ServerCommandLine> ParseServerCommandLine() {
  QCoreApplication::setApplicationName(QStringLiteral("vantorsrv"));
  QCoreApplication::setApplicationVersion(QStringLiteral(VANTOR_VERSION));

  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Vantor server: simulator feed, radar clients and their configuration."));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption headless(QStringLiteral("headless"),
                                    QStringLiteral("Serve at once without a window, as if started from it."));
  const QCommandLineOption noSimulator(QStringLiteral("no-simulator"),
                                       QStringLiteral("Do not start the simulator on this run."));
  const QCommandLineOption feedPort(QStringLiteral("feed-port"),
                                    QStringLiteral("TCP port of the simulator feed (default 10311)."),
                                    QStringLiteral("N"), QString::number(vantor::protocol::kFeedPort));
  const QCommandLineOption clientPort(
      QStringLiteral("client-port"),
      QStringLiteral(
          "TCP port of the clients' control connections, also the UDP port datagrams go to (default 10310)."),
      QStringLiteral("N"), QString::number(vantor::protocol::kClientPort));
  const QCommandLineOption settings(
      QStringLiteral("settings"),
      QStringLiteral("Read and write the configuration in this INI file (section [Config])."), QStringLiteral("FILE"));
  const QCommandLineOption simulatorDir(QStringLiteral("simulator-dir"),
                                        QStringLiteral("The simulator's folder, instead of the one its settings name."),
                                        QStringLiteral("DIR"));
  const QCommandLineOption feedIntake(
      QStringLiteral("feed-intake"),
      QStringLiteral("Bytes of feed read per 100 ms step on this run, instead of the \"FeedIntake\" setting "
                     "(default 10000, up to 16777216). Above the default the feed is read as it arrives, so a large "
                     "mission's batch is read and sent at once; 1000000 suits 10,000 objects."),
      QStringLiteral("BYTES"));
  const QCommandLineOption printConfig(
      QStringLiteral("print-config"),
      QStringLiteral("Print the configuration in effect as an INI file (every key the server reads) and exit."));
  const QCommandLineOption start(QStringLiteral("start"),
                                 QStringLiteral("With the window: start serving at once, as \"Fly...\" does."));
  const QCommandLineOption windowSnapshot(QStringLiteral("snapshot"),
                                          QStringLiteral("Save a picture of the window as PNG in FILE, then exit."),
                                          QStringLiteral("FILE"));
  const QCommandLineOption mapSnapshot(
      QStringLiteral("snapshot-map"),
      QStringLiteral("Save a picture of the map page over the configuration as PNG in FILE, then exit."),
      QStringLiteral("FILE"));
  const QCommandLineOption snapshotAfter(
      QStringLiteral("snapshot-after"),
      QStringLiteral("Seconds of running before --snapshot saves the window (default 3)."), QStringLiteral("SECONDS"),
      QStringLiteral("3"));
  parser.addOptions({headless, noSimulator, feedPort, clientPort, settings, simulatorDir, feedIntake, printConfig,
                     start, windowSnapshot, mapSnapshot, snapshotAfter});
  parser.process(*QCoreApplication::instance());

  ServerCommandLine commandLine;
  commandLine.headless = parser.isSet(headless);
  commandLine.noSimulator = parser.isSet(noSimulator);
  commandLine.settingsFile = parser.value(settings);
  commandLine.simulatorDir = parser.value(simulatorDir);
  commandLine.printConfig = parser.isSet(printConfig);
  commandLine.startAtOnce = parser.isSet(start);
  commandLine.windowSnapshot = parser.value(windowSnapshot);
  commandLine.mapSnapshot = parser.value(mapSnapshot);
  bool secondsOk = false;
  commandLine.snapshotAfterSeconds = parser.value(snapshotAfter).toDouble(&secondsOk);
  // A day is far more than any picture needs.
  if (!secondsOk || !(commandLine.snapshotAfterSeconds >= 0.0 && commandLine.snapshotAfterSeconds <= 86400.0)) {
    std::fprintf(stderr, "vantorsrv: --snapshot-after takes seconds from 0 to 86400\n");
    return std::nullopt;
  }
  const auto feed = vantor::ParsePortOption(parser.value(feedPort));
  const auto client = vantor::ParsePortOption(parser.value(clientPort));
  if (!feed || !client) {
    std::fprintf(stderr, "vantorsrv: a port must be a number from 1 to 65535\n");
    return std::nullopt;
  }
  commandLine.feedPort = *feed;
  commandLine.clientPort = *client;
  if (parser.isSet(feedIntake)) {
    bool ok = false;
    const qulonglong bytes = parser.value(feedIntake).toULongLong(&ok);
    if (!ok || bytes < vantor::server::kDefaultFeedIntakeBytes || bytes > vantor::server::kMaxFeedIntakeBytes) {
      std::fprintf(stderr, "vantorsrv: --feed-intake must be a number of bytes from %zu to %zu\n",
                   vantor::server::kDefaultFeedIntakeBytes, vantor::server::kMaxFeedIntakeBytes);
      return std::nullopt;
    }
    commandLine.feedIntakeBytes = static_cast<std::size_t>(bytes);
  }
  return commandLine;
}

std::unique_ptr<vantor::server::ServerRuntime> MakeServerRuntime(const ServerCommandLine& commandLine,
                                                                 vantor::Notifier& notifier) {
  using namespace vantor::server;
  ServerOptions options;
  options.feedPort = commandLine.feedPort;
  options.clientPort = commandLine.clientPort;
  options.feedIntakeBytes = commandLine.feedIntakeBytes;
  ServerServices services = DefaultServerServices();
  if (!commandLine.simulatorDir.isEmpty()) {
    services.simulatorFolder = [dir = commandLine.simulatorDir] { return dir; };
  }
  return std::make_unique<ServerRuntime>(ServerStores::Open(commandLine.settingsFile), notifier, options,
                                         std::move(services));
}
