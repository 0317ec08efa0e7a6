#pragma once
// The radar clients: the client listening socket, up to ten numbered slots
// each with its control connection, datagram socket and join timer, the chat
// relay between joined clients, and the broadcast of each feed batch.
// QtCore/QtNetwork only.

#include <QHostAddress>
#include <QObject>

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "vantor/protocol/Constants.h"
#include "vantor/protocol/TrackDatagram.h"
#include "vantor/server/TcpListener.h"

class QTcpSocket;
class QUdpSocket;

namespace vantor::server {

class HostCheck;
class OneShotTimer;
class TimerSource;
class WallClock;
class WorldTable;
struct MissionTime;
struct ServerConfig;

struct ClientSlotInfo {
  int slot = 0;  // 1 ... 10
  bool joined = false;
  quint8 coalition = 0;  // CoalitionCode of the join reply
  QHostAddress peer;
  std::int64_t seatedAt = 0;  // wall-clock seconds
  std::int64_t joinedAt = 0;  // 0 until joined
  std::int64_t leftAt = 0;    // set for ClientLeft
};

enum class ClientLeaveReason {
  PeerClosed,   // the client closed its connection, or reading it failed
  JoinTimeout,  // no join reply in time
  SendFailed,   // a track datagram could not be sent
  Ended,        // every client was ended: a feed closed or the server stopped
};

enum class ClientRefusal {
  ServerFull,  // told so with "FIN"
  HostCheck,   // the simulator on this host plays in another host's mission
};

class ClientSlots final : public QObject {
  Q_OBJECT

 public:
  // Chat queued for one client that does not read; past it the client is
  // dropped as a failed send is.
  static constexpr qint64 kMaxQueuedBytes = 256 * 1024;

  struct Options {
    // The UDP port the clients receive datagrams on.
    quint16 datagramPort = protocol::kClientPort;
    std::chrono::milliseconds joinTimeout{protocol::kJoinTimeoutMs};
  };
  struct Services {
    const WallClock& clock;
    HostCheck& hostCheck;
    TimerSource& timers;
  };

  // `config` and `mission` are read at every accept and broadcast, so a
  // changed configuration reaches the next client that logs on.
  ClientSlots(const ServerConfig& config, const MissionTime& mission, Services services, Options options,
              QObject* parent = nullptr);
  ~ClientSlots() override;

  // See TcpListener::Listen.
  std::optional<int> Listen(quint16 port);
  void StopListening();
  quint16 Port() const { return listener_.Port(); }

  // After a complete batch of a feed: ages its table and sends every joined
  // client the changed objects in one broadcast.
  void BroadcastTracks(WorldTable& table);
  // Closes every client's connection and frees every slot.
  void EndAllClients();

  // The seated clients, in slot order.
  std::vector<ClientSlotInfo> Seated() const;
  int SeatedCount() const;
  int JoinedCount() const;

 Q_SIGNALS:
  void ClientSeated(const vantor::server::ClientSlotInfo& client);
  void ClientJoined(const vantor::server::ClientSlotInfo& client);
  void ClientLeft(const vantor::server::ClientSlotInfo& client, vantor::server::ClientLeaveReason reason);
  void ClientRefused(const QHostAddress& peer, vantor::server::ClientRefusal reason);
  // After each of the four above.
  void ClientsChanged();
  void TracksBroadcast();

 private:
  struct Link;
  struct Slot;
  class Recipients;

  void AcceptClient(QTcpSocket* socket);
  void SendConfigBlock(QTcpSocket* socket) const;
  void OnClientReadable(Link* link);
  void OnJoinTimeout(Link* link);
  void DropLink(Link* link, ClientLeaveReason reason);
  void DropSlot(std::size_t index, ClientLeaveReason reason);
  // Drops at once, discarding whatever is still queued for the client.
  void CutOff(std::size_t index, ClientLeaveReason reason);
  int SlotIndexOf(const Link* link) const;
  void RelayChat(const QByteArray& message);
  bool SendDatagrams(std::size_t index, std::span<const std::string> datagrams);

  const ServerConfig& config_;
  const MissionTime& mission_;
  Services services_;
  Options options_;
  TcpListener listener_;
  std::array<std::unique_ptr<Slot>, protocol::kMaxClientSlots> slots_;
  protocol::TrackDatagramWriter writer_;
};

}  // namespace vantor::server
