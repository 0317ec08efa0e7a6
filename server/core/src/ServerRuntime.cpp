#include "vantor/server/ServerRuntime.h"

#include "vantor/platform/InstallerLanguage.h"
#include "vantor/platform/Notifier.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/server/SocketErrorTexts.h"
#include "vantor/texts/QText.h"
#include "vantor/texts/Texts.h"

namespace vantor::server {

ServerServices DefaultServerServices() {
  ServerServices services;
  services.clock = std::make_unique<SystemWallClock>();
#ifdef _WIN32
  services.hostCheck = std::make_unique<NetstatHostCheck>();
#else
  services.hostCheck = std::make_unique<KernelTcpTableHostCheck>();
#endif
  services.launcher = std::make_unique<ProcessSimulatorLauncher>();
  services.timers = std::make_unique<QtTimerSource>();
  services.simulatorFolder = &ReadSimulatorFolder;
  return services;
}

ServerStores ServerStores::Open(const QString& settingsFile) {
  ServerStores stores;
  stores.server = SettingsStore::Open(QStringLiteral("vantorsrv"), settingsFile);
  // The language is the client installer's choice; a settings file given on
  // the command line stands for the whole store.
  if (settingsFile.isEmpty()) stores.language = SettingsStore::OpenUser(QStringLiteral("rivak"));
  return stores;
}

ServerRuntime::ServerRuntime(ServerStores stores, Notifier& notifier, ServerOptions options, ServerServices services,
                             QObject* parent)
    : QObject(parent),
      stores_(std::move(stores)),
      notifier_(notifier),
      options_(options),
      services_(std::move(services)),
      config_(DefaultServerConfig()) {
  if (!services_.clock) services_.clock = std::make_unique<SystemWallClock>();
  if (!services_.hostCheck) services_.hostCheck = std::make_unique<FixedHostCheck>(true);
  if (!services_.launcher) services_.launcher = std::make_unique<ProcessSimulatorLauncher>();
  if (!services_.timers) services_.timers = std::make_unique<QtTimerSource>();
  if (!services_.simulatorFolder) services_.simulatorFolder = &ReadSimulatorFolder;
  language_ = ReadLanguage(stores_.language ? *stores_.language : *stores_.server);

  clients_ = std::make_unique<ClientSlots>(
      config_, mission_, ClientSlots::Services{*services_.clock, *services_.hostCheck, *services_.timers},
      ClientSlots::Options{options_.clientPort, options_.joinTimeout}, this);
  feeds_ = std::make_unique<FeedConnections>(*clients_, mission_, *services_.clock, options_.feedReadPacing, this);
  feeds_->SetIntakeBytes(FeedIntakeBytes());

  connect(clients_.get(), &ClientSlots::ClientRefused, this, [this](const QHostAddress&, ClientRefusal reason) {
    if (reason == ClientRefusal::HostCheck) ShowError(TextId::SrvOnlyFalcrestServer);
  });
  connect(feeds_.get(), &FeedConnections::FeedClosed, this, [this](const FeedStatistics& feed, FeedCloseReason reason) {
    // A connection that never sent a record was no simulator.
    if (reason == FeedCloseReason::ReadFailed && feed.missionClockSeen) ShowError(TextId::SrvFeedErrorOccurred);
  });
}

ServerRuntime::~ServerRuntime() {
  // The watcher thread must not call back into a half-destroyed runtime.
  services_.launcher.reset();
  Stop();
  // The parts go before the services and the configuration they refer to.
  feeds_.reset();
  clients_.reset();
}

void ServerRuntime::ApplyConfig(const ServerConfig& config) {
  if (config == config_) return;
  config_ = config;
  feeds_->SetIntakeBytes(FeedIntakeBytes());
  Q_EMIT ConfigChanged(config_);
}

std::size_t ServerRuntime::FeedIntakeBytes() const {
  return options_.feedIntakeBytes ? ClampFeedIntake(static_cast<long long>(*options_.feedIntakeBytes))
                                  : config_.feedIntakeBytes;
}

void ServerRuntime::LoadConfig() {
  ServerConfig loaded = config_;
  server::LoadConfig(*stores_.server, loaded);
  ApplyConfig(loaded);
}

bool ServerRuntime::SaveConfig() {
  if (server::SaveConfig(*stores_.server, config_)) return true;
  ShowConfigNotSaved();
  return false;
}

void ServerRuntime::ShowConfigNotSaved() {
  notifier_.ShowError(QText(TextId::SrvConfigNotSaved, language_).arg(stores_.server->Location()));
}

void ServerRuntime::LoadStartSettings() {
  ServerConfig loaded = config_;
  server::LoadStartSettings(*stores_.server, loaded);
  ApplyConfig(loaded);
}

QString ServerRuntime::StatusText() const {
  return QText(running_ ? TextId::SrvStatusRunning : TextId::SrvStatusStopped, language_);
}

void ServerRuntime::StartServer(StartOptions options) {
  LoadConfig();
  if (!SaveNotLaunch(*stores_.server, config_.notLaunch)) ShowConfigNotSaved();
  running_ = true;
  Q_EMIT StatusChanged(StatusText());

  ReportListenError(feeds_->Listen(options_.feedPort));
  ReportListenError(clients_->Listen(options_.clientPort));
  SetStartEnabled(false);
  if (config_.notLaunch != 1 && options.launchSimulator) LaunchSimulator();
}

void ServerRuntime::ReportListenError(std::optional<int> winsockError) {
  if (winsockError) notifier_.ShowError(SocketErrorText(*winsockError, language_));
}

void ServerRuntime::LaunchSimulator() {
  const QString folder = services_.simulatorFolder();
  if (folder.isEmpty()) {
    ShowError(TextId::SrvCantFindFalcrest);
    return;
  }
  SimulatorLauncher::Callbacks callbacks;
  // Without a simulator process nothing re-enables the start: the ports stay
  // open and serving goes on, as when the folder is missing.
  callbacks.failedToStart = [this] { ShowError(TextId::SrvErrorStartingFalcrest); };
  callbacks.ended = [this] { SetStartEnabled(true); };
  services_.launcher->Launch(SimulatorProgramPath(folder), folder, this, std::move(callbacks));
}

void ServerRuntime::SetStartEnabled(bool enabled) {
  if (startEnabled_ == enabled) return;
  startEnabled_ = enabled;
  Q_EMIT StartEnabledChanged(enabled);
}

void ServerRuntime::ShowError(TextId text) { notifier_.ShowError(QText(text, language_)); }

void ServerRuntime::Stop() {
  feeds_->StopListening();
  clients_->StopListening();
  clients_->EndAllClients();
  feeds_->CloseAll();
  if (running_) {
    running_ = false;
    Q_EMIT StatusChanged(StatusText());
  }
}

}  // namespace vantor::server
