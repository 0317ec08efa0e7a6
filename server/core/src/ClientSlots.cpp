#include "vantor/server/ClientSlots.h"

#include <QTcpSocket>
#include <QUdpSocket>

#include <algorithm>

#include "SocketDisposal.h"
#include "vantor/protocol/ConfigBlock.h"
#include "vantor/protocol/ControlMessages.h"
#include "vantor/server/FeedProcessor.h"
#include "vantor/server/HostCheck.h"
#include "vantor/server/ServerConfig.h"
#include "vantor/server/TimerSource.h"
#include "vantor/server/TrackBroadcaster.h"
#include "vantor/server/WallClock.h"

namespace vantor::server {

struct ClientSlots::Link {
  QTcpSocket* socket = nullptr;
  std::unique_ptr<OneShotTimer> joinTimer;
  ClientSlotInfo info;
  bool newClient = true;  // until the first broadcast to it has been built
};

struct ClientSlots::Slot {
  std::unique_ptr<Link> link;      // seated while set
  QUdpSocket* datagram = nullptr;  // aimed at the client's address and datagram port
};

class ClientSlots::Recipients final : public BroadcastClients {
 public:
  explicit Recipients(ClientSlots& owner) : owner_(owner) {}
  bool IsJoined(std::size_t index) const override {
    const Link* link = owner_.slots_[index]->link.get();
    return link != nullptr && link->info.joined;
  }
  bool IsNewClient(std::size_t index) const override { return owner_.slots_[index]->link->newClient; }
  void ClearNewClient(std::size_t index) override { owner_.slots_[index]->link->newClient = false; }
  void Send(std::size_t index, std::span<const std::string> datagrams) override {
    if (!owner_.SendDatagrams(index, datagrams)) owner_.DropSlot(index, ClientLeaveReason::SendFailed);
  }

 private:
  ClientSlots& owner_;
};

ClientSlots::ClientSlots(const ServerConfig& config, const MissionTime& mission, Services services, Options options,
                         QObject* parent)
    : QObject(parent), config_(config), mission_(mission), services_(services), options_(options), listener_(*this) {
  for (auto& slot : slots_) slot = std::make_unique<Slot>();
}

ClientSlots::~ClientSlots() {
  // No signals to a half-destroyed owner: the sockets go with this object.
  blockSignals(true);
  EndAllClients();
}

std::optional<int> ClientSlots::Listen(quint16 port) {
  return listener_.Listen(port, [this](QTcpSocket* socket) { AcceptClient(socket); });
}

void ClientSlots::StopListening() { listener_.Close(); }

void ClientSlots::AcceptClient(QTcpSocket* socket) {
  const QHostAddress peer = PlainPeerAddress(socket->peerAddress());
  if (!services_.hostCheck.SimulatorHostCheck()) {
    Dispose(socket, this);
    Q_EMIT ClientRefused(peer, ClientRefusal::HostCheck);
    Q_EMIT ClientsChanged();
    return;
  }

  std::size_t index = 0;
  const auto maxClient = static_cast<std::size_t>(ClampMaxClient(config_.maxClient));
  while (index < maxClient && slots_[index]->link) ++index;
  if (index == maxClient) {
    // Closed once the notice is written.
    socket->write(protocol::kServerFullNotice.data(), static_cast<qint64>(protocol::kServerFullNotice.size()));
    CloseGracefully(socket);
    Q_EMIT ClientRefused(peer, ClientRefusal::ServerFull);
    Q_EMIT ClientsChanged();
    return;
  }

  Slot& slot = *slots_[index];
  slot.link = std::make_unique<Link>();
  Link* link = slot.link.get();
  link->socket = socket;
  link->info.slot = static_cast<int>(index) + 1;
  link->info.peer = peer;
  link->info.seatedAt = services_.clock.NowSeconds();
  link->joinTimer = services_.timers.Start(options_.joinTimeout, [this, link] { OnJoinTimeout(link); });

  Dispose(slot.datagram, this);
  slot.datagram = new QUdpSocket(this);
  slot.datagram->connectToHost(peer, options_.datagramPort);

  // Holds one control read: a peer that sends more without a break is cut
  // off (see OnClientReadable) instead of filling the server's memory.
  socket->setReadBufferSize(static_cast<qint64>(protocol::kControlReadBytes));
  connect(socket, &QTcpSocket::readyRead, this, [this, link] { OnClientReadable(link); });
  connect(socket, &QTcpSocket::disconnected, this, [this, link] { DropLink(link, ClientLeaveReason::PeerClosed); });
  connect(socket, &QTcpSocket::errorOccurred, this, [this, link] { DropLink(link, ClientLeaveReason::PeerClosed); });

  SendConfigBlock(socket);
  Q_EMIT ClientSeated(link->info);
  Q_EMIT ClientsChanged();
}

void ClientSlots::SendConfigBlock(QTcpSocket* socket) const {
  protocol::ConfigBlock block = config_.block;
  block.version = protocol::kProtocolVersion;
  block.missionClock = mission_.MissionClock(services_.clock.NowSeconds());
  const protocol::ConfigBlockBytes bytes = protocol::EncodeConfigBlock(block);
  socket->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

int ClientSlots::SlotIndexOf(const Link* link) const {
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i]->link.get() == link) return static_cast<int>(i);
  }
  return -1;
}

void ClientSlots::OnClientReadable(Link* link) {
  // Each read is one message: the join reply, then chat messages.
  while (SlotIndexOf(link) >= 0 && link->socket->bytesAvailable() > 0) {
    const QByteArray message = link->socket->read(static_cast<qint64>(protocol::kControlReadBytes));
    if (message.isEmpty()) break;
    // A read that fills the whole buffer is no message a client writes (a
    // chat message is at most 251 bytes): the peer pours bytes without a
    // break and would flood every other client.
    if (message.size() >= static_cast<qsizetype>(protocol::kControlReadBytes)) {
      CutOff(static_cast<std::size_t>(SlotIndexOf(link)), ClientLeaveReason::PeerClosed);
      break;
    }
    if (link->info.joined) {
      RelayChat(message);
      continue;
    }
    const auto bytes =
        std::span(reinterpret_cast<const std::uint8_t*>(message.constData()), static_cast<std::size_t>(message.size()));
    if (const auto reply = protocol::DecodeJoinReply(bytes)) {
      link->info.joined = true;
      link->info.coalition = reply->coalition;
      link->info.joinedAt = services_.clock.NowSeconds();
      link->joinTimer.reset();
      Q_EMIT ClientJoined(link->info);
      Q_EMIT ClientsChanged();
    }
  }
}

void ClientSlots::RelayChat(const QByteArray& message) {
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const Link* link = slots_[i]->link.get();
    if (link == nullptr || !link->info.joined) continue;
    link->socket->write(message);
    if (link->socket->bytesToWrite() > kMaxQueuedBytes) CutOff(i, ClientLeaveReason::SendFailed);
  }
}

void ClientSlots::OnJoinTimeout(Link* link) {
  const int index = SlotIndexOf(link);
  if (index >= 0 && !link->info.joined) DropSlot(static_cast<std::size_t>(index), ClientLeaveReason::JoinTimeout);
}

void ClientSlots::DropLink(Link* link, ClientLeaveReason reason) {
  const int index = SlotIndexOf(link);
  if (index >= 0) DropSlot(static_cast<std::size_t>(index), reason);
}

void ClientSlots::DropSlot(std::size_t index, ClientLeaveReason reason) {
  Slot& slot = *slots_[index];
  if (!slot.link && slot.datagram == nullptr) return;
  const std::unique_ptr<Link> link = std::move(slot.link);
  if (link) Dispose(link->socket, this);
  Dispose(slot.datagram, this);
  slot.datagram = nullptr;
  if (link) {
    link->info.leftAt = services_.clock.NowSeconds();
    Q_EMIT ClientLeft(link->info, reason);
  }
  Q_EMIT ClientsChanged();
}

void ClientSlots::CutOff(std::size_t index, ClientLeaveReason reason) {
  if (const Link* link = slots_[index]->link.get()) {
    QObject::disconnect(link->socket, nullptr, this, nullptr);
    link->socket->abort();
  }
  DropSlot(index, reason);
}

void ClientSlots::EndAllClients() {
  for (std::size_t i = 0; i < slots_.size(); ++i) DropSlot(i, ClientLeaveReason::Ended);
}

bool ClientSlots::SendDatagrams(std::size_t index, std::span<const std::string> datagrams) {
  QUdpSocket* socket = slots_[index]->datagram;
  if (socket == nullptr) return false;
  for (const std::string& datagram : datagrams) {
    const auto size = static_cast<qint64>(datagram.size());
    if (socket->write(datagram.data(), size) != size) return false;
  }
  return true;
}

void ClientSlots::BroadcastTracks(WorldTable& table) {
  Recipients recipients(*this);
  server::BroadcastTracks(table, recipients, config_.radarTypeShown, services_.clock.NowSeconds(), writer_);
  Q_EMIT TracksBroadcast();
}

std::vector<ClientSlotInfo> ClientSlots::Seated() const {
  std::vector<ClientSlotInfo> seated;
  for (const auto& slot : slots_) {
    if (slot->link) seated.push_back(slot->link->info);
  }
  return seated;
}

int ClientSlots::SeatedCount() const {
  return static_cast<int>(std::count_if(slots_.begin(), slots_.end(), [](const auto& slot) { return !!slot->link; }));
}

int ClientSlots::JoinedCount() const {
  return static_cast<int>(std::count_if(slots_.begin(), slots_.end(),
                                        [](const auto& slot) { return slot->link && slot->link->info.joined; }));
}

}  // namespace vantor::server
