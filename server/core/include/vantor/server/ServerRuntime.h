#pragma once
// The running server as both the headless program and the control window
// drive it: the settings stores and the language, the platform services,
// the configuration, the client slots and the feed connections, and
// StartServer with the simulator launch. A window only shows and edits what
// this object holds and follows its signals. QtCore/QtNetwork only.

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "vantor/platform/SettingsStore.h"
#include "vantor/protocol/Constants.h"
#include "vantor/server/ClientSlots.h"
#include "vantor/server/FeedConnections.h"
#include "vantor/server/FeedProcessor.h"
#include "vantor/server/HostCheck.h"
#include "vantor/server/ServerConfig.h"
#include "vantor/server/SimulatorLauncher.h"
#include "vantor/server/TimerSource.h"
#include "vantor/server/WallClock.h"
#include "vantor/server/WorldSnapshot.h"
#include "vantor/texts/Language.h"

namespace vantor {
class Notifier;
enum class TextId : int;
}  // namespace vantor

namespace vantor::server {

struct ServerOptions {
  quint16 feedPort = protocol::kFeedPort;
  // The TCP control port, and the UDP port that datagrams are sent to.
  quint16 clientPort = protocol::kClientPort;
  std::chrono::milliseconds joinTimeout{protocol::kJoinTimeoutMs};
  std::chrono::milliseconds feedReadPacing = FeedConnections::kDefaultReadPacing;
  // Bytes a feed may deliver per pacing step on this run, instead of the
  // "FeedIntake" setting (kept in its range).
  std::optional<std::size_t> feedIntakeBytes;
};

// The platform seams the server runs over; a missing one takes its default.
struct ServerServices {
  std::unique_ptr<WallClock> clock;
  std::unique_ptr<HostCheck> hostCheck;
  std::unique_ptr<SimulatorLauncher> launcher;
  std::unique_ptr<TimerSource> timers;
  std::function<QString()> simulatorFolder;
};
// System clock, the platform's connection table, real processes, Qt timers
// and the simulator's own settings.
ServerServices DefaultServerServices();

struct ServerStores {
  std::unique_ptr<SettingsStore> server;  // the configuration, section "Config"
  // The client installer's store with "Installer Language"; null: the server
  // store stands for it.
  std::unique_ptr<SettingsStore> language;

  // The user's stores ("vantorsrv", and the client's "rivak" for the
  // language), or the one INI file `settingsFile` for both.
  static ServerStores Open(const QString& settingsFile);
};

class ServerRuntime final : public QObject {
  Q_OBJECT

 public:
  struct StartOptions {
    bool launchSimulator = true;  // false: not on this run, whatever the settings say
  };

  // Reads the language; the configuration holds its defaults until loaded.
  ServerRuntime(ServerStores stores, Notifier& notifier, ServerOptions options, ServerServices services,
                QObject* parent = nullptr);
  ~ServerRuntime() override;

  SettingsStore& Settings() { return *stores_.server; }
  const ServerOptions& Options() const { return options_; }
  const WallClock& Clock() const { return *services_.clock; }
  Notifier& Notifications() { return notifier_; }
  vantor::Language Language() const { return language_; }
  void SetLanguage(vantor::Language language) { language_ = language; }

  const ServerConfig& Config() const { return config_; }
  // Takes an edited copy of the configuration (the configuration pages'
  // result). The next client to log on receives it and the next broadcast
  // filters by it; clients already seated keep what they were sent.
  // ConfigChanged follows when anything changed. Nothing is stored: that is
  // SaveConfig.
  void ApplyConfig(const ServerConfig& config);
  // Every key but "notlaunchfalcrest" and "MaxClient".
  void LoadConfig();
  // Every key but "notlaunchfalcrest". A store that cannot be written (a
  // full disk, a read-only folder) keeps its previous content; the operator
  // is told and false returned.
  bool SaveConfig();
  // "notlaunchfalcrest" and "MaxClient", read when the window opens.
  void LoadStartSettings();

  // Loads the configuration, records "notlaunchfalcrest", opens the feed and
  // client ports (keeping any already open) and launches the simulator
  // unless told not to. Failures are shown through the notifier; serving
  // goes on with what could be opened.
  void StartServer(StartOptions options);
  void StartServer() { StartServer(StartOptions{}); }
  // Closes the listening sockets, every client and every feed.
  void Stop();

  bool IsRunning() const { return running_; }
  bool StartEnabled() const { return startEnabled_; }
  QString StatusText() const;
  quint16 FeedPort() const { return feeds_->Port(); }      // 0 while not listening
  quint16 ClientPort() const { return clients_->Port(); }  // 0 while not listening
  // Bytes a feed connection accepted from now on reads per pacing step: the
  // run's option, else the "FeedIntake" setting.
  std::size_t FeedIntakeBytes() const;

  ClientSlots& Clients() { return *clients_; }
  const ClientSlots& Clients() const { return *clients_; }
  FeedConnections& Feeds() { return *feeds_; }
  const FeedConnections& Feeds() const { return *feeds_; }
  const MissionTime& Mission() const { return mission_; }
  WorldSnapshot Snapshot() const { return feeds_->Snapshot(); }

 Q_SIGNALS:
  void StatusChanged(const QString& text);
  void StartEnabledChanged(bool enabled);
  void ConfigChanged(const vantor::server::ServerConfig& config);

 private:
  // A listening socket that did not open: its error text, and the start goes on.
  void ReportListenError(std::optional<int> winsockError);
  void LaunchSimulator();
  void SetStartEnabled(bool enabled);
  void ShowError(TextId text);
  void ShowConfigNotSaved();

  ServerStores stores_;
  Notifier& notifier_;
  ServerOptions options_;
  ServerServices services_;
  ServerConfig config_;
  MissionTime mission_;
  vantor::Language language_ = kFallbackLanguage;
  bool running_ = false;
  bool startEnabled_ = true;
  std::unique_ptr<ClientSlots> clients_;
  std::unique_ptr<FeedConnections> feeds_;
};

}  // namespace vantor::server
