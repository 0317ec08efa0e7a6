#pragma once
// The server object: listening sockets for the simulator feed and the radar
// clients, the feed connections with their world tables, the ten client
// slots with their join timers, the configuration and the simulator launch.
// A window only drives it; headless, a main does. QtCore/QtNetwork only.

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "vantor/protocol/Constants.h"
#include "vantor/protocol/TrackDatagram.h"
#include "vantor/server/FeedProcessor.h"
#include "vantor/server/HostCheck.h"
#include "vantor/server/ServerConfig.h"
#include "vantor/server/SimulatorLauncher.h"
#include "vantor/server/WallClock.h"
#include "vantor/texts/Language.h"

class QTcpServer;
class QTcpSocket;
class QTimer;
class QUdpSocket;

namespace vantor {
class Notifier;
class SettingsStore;
}  // namespace vantor

namespace vantor::server {

struct ServerOptions {
  quint16 feedPort = protocol::kFeedPort;
  // The TCP control port, and the UDP port that datagrams are sent to.
  quint16 clientPort = protocol::kClientPort;
  std::chrono::milliseconds joinTimeout{protocol::kJoinTimeoutMs};
  // Pause before each feed read; it paces a fast feed into batches.
  std::chrono::milliseconds feedReadPacing{100};
};

// The platform seams the server runs over.
struct ServerServices {
  std::unique_ptr<WallClock> clock;
  std::unique_ptr<HostCheck> hostCheck;
  std::unique_ptr<SimulatorLauncher> launcher;
  std::function<QString()> simulatorFolder;
};
// System clock, the platform's connection table, real processes and the
// simulator's own settings.
ServerServices DefaultServerServices();

struct ClientSlotInfo {
  int slot = 0;  // 1 ... 10
  bool joined = false;
  quint8 coalition = 0;
  QHostAddress peer;
};

class VantorServer final : public QObject {
  Q_OBJECT

 public:
  struct StartOptions {
    bool launchSimulator = true;  // false: not on this run, whatever the settings say
  };

  VantorServer(SettingsStore& settings, Notifier& notifier, ServerOptions options, ServerServices services,
               QObject* parent = nullptr);
  ~VantorServer() override;

  ServerConfig& config() { return config_; }
  const ServerConfig& config() const { return config_; }
  void LoadConfig();
  void SaveConfig();
  // "notlaunchfalcrest" and "MaxClient", read when the window opens.
  void LoadStartSettings();
  Language UiLanguage() const { return language_; }
  void SetLanguage(Language language) { language_ = language; }

  // Loads the configuration, records "notlaunchfalcrest", opens the feed and
  // client ports (keeping any already open) and launches the simulator
  // unless told not to. Failures are shown through the notifier; serving
  // goes on with what could be opened.
  void StartServer(StartOptions options);
  void StartServer() { StartServer(StartOptions{}); }
  // Closes the listening sockets, every client and every feed.
  void stop();

  bool isRunning() const { return running_; }
  bool startEnabled() const { return startEnabled_; }
  quint16 feedPort() const;    // 0 while not listening
  quint16 clientPort() const;  // 0 while not listening
  QString statusText() const;

  void EndAllClients();
  std::vector<ClientSlotInfo> clientSlots() const;
  int seatedClients() const;
  int joinedClients() const;
  int feedConnections() const { return static_cast<int>(feeds_.size()); }
  // Objects held per feed connection, in accept order.
  std::vector<std::size_t> feedTableSizes() const;
  const MissionTime& missionTime() const { return mission_; }

 Q_SIGNALS:
  void statusChanged(const QString& text);
  void startEnabledChanged(bool enabled);
  void clientsChanged();
  void feedsChanged();
  void tracksBroadcast();

 private:
  struct ClientLink;
  struct ClientSlot;
  struct FeedConnection;
  class SlotClients;

  bool openListener(QTcpServer*& listener, quint16 port);
  void launchSimulator();
  void setStartEnabled(bool enabled);

  void onClientPending();
  void acceptClient(QTcpSocket* socket);
  void onClientReadable(ClientLink* link);
  void onJoinTimeout(ClientLink* link);
  void dropLink(ClientLink* link);
  void dropSlot(std::size_t index);
  int slotIndexOf(const ClientLink* link) const;
  void relayChat(const QByteArray& message);
  bool sendDatagrams(std::size_t index, std::span<const std::string> datagrams);

  void onFeedPending();
  void readFeed(FeedConnection* feed);
  void closeFeed(FeedConnection* feed, bool failed);
  void broadcast(WorldTable& table);

  SettingsStore& settings_;
  Notifier& notifier_;
  ServerOptions options_;
  ServerServices services_;
  ServerConfig config_;
  Language language_ = kFallbackLanguage;
  MissionTime mission_;
  bool running_ = false;
  bool startEnabled_ = true;

  QTcpServer* feedListener_ = nullptr;
  QTcpServer* clientListener_ = nullptr;
  std::vector<std::unique_ptr<FeedConnection>> feeds_;
  std::array<std::unique_ptr<ClientSlot>, protocol::kMaxClientSlots> slots_;
  protocol::TrackDatagramWriter writer_;
};

}  // namespace vantor::server
