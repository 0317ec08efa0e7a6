#include "HeadlessRun.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

#include "ShutdownSignals.h"
#include "vantor/platform/InstallerLanguage.h"
#include "vantor/platform/Notifier.h"
#include "vantor/platform/PortOption.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/protocol/Constants.h"
#include "vantor/server/ServerConfig.h"
#include "vantor/server/VantorServer.h"

std::optional<ServerCommandLine> ParseServerCommandLine() {
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
  parser.addOptions({headless, noSimulator, feedPort, clientPort, settings, simulatorDir});
  parser.process(*QCoreApplication::instance());

  ServerCommandLine commandLine;
  commandLine.headless = parser.isSet(headless);
  commandLine.noSimulator = parser.isSet(noSimulator);
  commandLine.settingsFile = parser.value(settings);
  commandLine.simulatorDir = parser.value(simulatorDir);
  const auto feed = vantor::ParsePortOption(parser.value(feedPort));
  const auto client = vantor::ParsePortOption(parser.value(clientPort));
  if (!feed || !client) {
    std::fprintf(stderr, "vantorsrv: a port must be a number from 1 to 65535\n");
    return std::nullopt;
  }
  commandLine.feedPort = *feed;
  commandLine.clientPort = *client;
  return commandLine;
}

int RunHeadless(const ServerCommandLine& commandLine) {
  using namespace vantor;
  const QString program = QStringLiteral("vantorsrv");
  StderrNotifier notifier(program);
  const std::unique_ptr<SettingsStore> store = SettingsStore::Open(program, commandLine.settingsFile);
  // The language is the client installer's choice; a settings file given on
  // the command line stands for the whole store.
  const std::unique_ptr<SettingsStore> clientStore =
      commandLine.settingsFile.isEmpty() ? SettingsStore::OpenUser(QStringLiteral("rivak")) : nullptr;

  server::ServerOptions options;
  options.feedPort = commandLine.feedPort;
  options.clientPort = commandLine.clientPort;
  server::ServerServices services = server::DefaultServerServices();
  if (!commandLine.simulatorDir.isEmpty()) {
    services.simulatorFolder = [dir = commandLine.simulatorDir] { return dir; };
  }

  server::VantorServer server(*store, notifier, options, std::move(services));
  server.SetLanguage(ReadLanguage(clientStore ? *clientStore : *store));
  server.LoadStartSettings();
  QObject::connect(&server, &server::VantorServer::statusChanged, &server,
                   [&notifier](const QString& text) { notifier.ShowInformation(text); });

  ShutdownSignals shutdown([&server] {
    server.stop();
    QCoreApplication::quit();
  });
  server.StartServer({.launchSimulator = !commandLine.noSimulator});
  notifier.ShowInformation(
      QStringLiteral("feed port %1, client port %2")
          .arg(server.feedPort() ? QString::number(server.feedPort()) : QStringLiteral("closed"),
               server.clientPort() ? QString::number(server.clientPort()) : QStringLiteral("closed")));
  return QCoreApplication::exec();
}
