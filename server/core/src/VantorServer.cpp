#include "vantor/server/VantorServer.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUdpSocket>

#include "vantor/platform/Notifier.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/protocol/ConfigBlock.h"
#include "vantor/protocol/ControlMessages.h"
#include "vantor/server/SocketErrorTexts.h"
#include "vantor/server/TrackBroadcaster.h"
#include "vantor/texts/QText.h"

namespace vantor::server {
namespace {

constexpr int kListenBacklog = 5;
// A peer that stops reading must not keep a closing connection forever.
constexpr int kGracefulCloseMs = 5000;

// Closes a TCP connection after what was written has gone out, and frees the
// socket in every case: at once when it is already unconnected, on
// disconnection, or by abort once the grace time has passed.
void CloseGracefully(QAbstractSocket* socket) {
  if (socket->state() == QAbstractSocket::ConnectedState) {
    QObject::connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
    socket->disconnectFromHost();
    if (socket->state() != QAbstractSocket::UnconnectedState) {
      QTimer::singleShot(kGracefulCloseMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
      });
      return;
    }
  }
  socket->abort();
  socket->deleteLater();
}

// Sockets may be closed from inside their own signal handlers: detach them
// from us and let the event loop delete them.
void Dispose(QAbstractSocket* socket, QObject* owner) {
  if (socket == nullptr) return;
  QObject::disconnect(socket, nullptr, owner, nullptr);
  if (socket->socketType() == QAbstractSocket::TcpSocket) {
    CloseGracefully(socket);
    return;
  }
  socket->abort();
  socket->deleteLater();
}

void Dispose(QTimer* timer) {
  if (timer == nullptr) return;
  timer->stop();
  timer->disconnect();
  timer->deleteLater();
}

// The TCP peer of a dual-stack listener shows IPv4 clients as mapped IPv6
// addresses; the datagram goes to the plain IPv4 address.
QHostAddress PlainPeerAddress(const QHostAddress& peer) {
  bool isIpv4 = false;
  const quint32 ipv4 = peer.toIPv4Address(&isIpv4);
  return isIpv4 ? QHostAddress(ipv4) : peer;
}

}  // namespace

ServerServices DefaultServerServices() {
  ServerServices services;
  services.clock = std::make_unique<SystemWallClock>();
#ifdef _WIN32
  services.hostCheck = std::make_unique<NetstatHostCheck>();
#else
  services.hostCheck = std::make_unique<KernelTcpTableHostCheck>();
#endif
  services.launcher = std::make_unique<ProcessSimulatorLauncher>();
  services.simulatorFolder = &ReadSimulatorFolder;
  return services;
}

struct VantorServer::ClientLink {
  QTcpSocket* socket = nullptr;
  quint8 coalition = 0;
  QTimer* joinTimer = nullptr;
  bool joined = false;
  int slot = 0;  // 1 ... 10
  bool newClient = true;

  ~ClientLink() { Dispose(joinTimer); }
};

struct VantorServer::ClientSlot {
  std::unique_ptr<ClientLink> link;  // seated while set
  QUdpSocket* datagram = nullptr;    // aimed at the client's address and the client port
};

struct VantorServer::FeedConnection {
  QTcpSocket* socket = nullptr;
  QTimer* pacing = nullptr;
  FeedIntake intake;
  WorldTable table;
};

class VantorServer::SlotClients final : public BroadcastClients {
 public:
  explicit SlotClients(VantorServer& server) : server_(server) {}
  bool isJoined(std::size_t index) const override {
    const ClientLink* link = server_.slots_[index]->link.get();
    return link != nullptr && link->joined;
  }
  bool isNewClient(std::size_t index) const override { return server_.slots_[index]->link->newClient; }
  void clearNewClient(std::size_t index) override { server_.slots_[index]->link->newClient = false; }
  void send(std::size_t index, std::span<const std::string> datagrams) override {
    if (!server_.sendDatagrams(index, datagrams)) server_.dropSlot(index);
  }

 private:
  VantorServer& server_;
};

VantorServer::VantorServer(SettingsStore& settings, Notifier& notifier, ServerOptions options, ServerServices services,
                           QObject* parent)
    : QObject(parent),
      settings_(settings),
      notifier_(notifier),
      options_(options),
      services_(std::move(services)),
      config_(DefaultServerConfig()) {
  if (!services_.clock) services_.clock = std::make_unique<SystemWallClock>();
  if (!services_.hostCheck) services_.hostCheck = std::make_unique<FixedHostCheck>(true);
  if (!services_.launcher) services_.launcher = std::make_unique<ProcessSimulatorLauncher>();
  if (!services_.simulatorFolder) services_.simulatorFolder = &ReadSimulatorFolder;
  for (auto& slot : slots_) slot = std::make_unique<ClientSlot>();
}

VantorServer::~VantorServer() {
  // The watcher thread must not call back into a half-destroyed server.
  services_.launcher.reset();
  stop();
}

void VantorServer::LoadConfig() { server::LoadConfig(settings_, config_); }

void VantorServer::SaveConfig() { server::SaveConfig(settings_, config_); }

void VantorServer::LoadStartSettings() { server::LoadStartSettings(settings_, config_); }

QString VantorServer::statusText() const {
  return QText(running_ ? TextId::SrvStatusRunning : TextId::SrvStatusStopped, language_);
}

void VantorServer::StartServer(StartOptions options) {
  LoadConfig();
  SaveNotLaunch(settings_, config_.notLaunch);
  running_ = true;
  Q_EMIT statusChanged(statusText());

  // A second start keeps what the first one opened.
  if (openListener(feedListener_, options_.feedPort)) {
    connect(feedListener_, &QTcpServer::newConnection, this, &VantorServer::onFeedPending);
  }
  if (openListener(clientListener_, options_.clientPort)) {
    connect(clientListener_, &QTcpServer::newConnection, this, &VantorServer::onClientPending);
  }
  setStartEnabled(false);
  if (config_.notLaunch != 1 && options.launchSimulator) launchSimulator();
}

bool VantorServer::openListener(QTcpServer*& listener, quint16 port) {
  if (listener != nullptr && listener->isListening()) return false;
  delete listener;
  listener = new QTcpServer(this);
  listener->setListenBacklogSize(kListenBacklog);
  if (!listener->listen(QHostAddress::Any, port)) {
    const int code = WinsockErrorCode(listener->serverError());
    delete listener;
    listener = nullptr;
    notifier_.ShowError(SocketErrorText(code, language_));
    return false;
  }
  return true;
}

void VantorServer::launchSimulator() {
  const QString folder = services_.simulatorFolder();
  if (folder.isEmpty()) {
    notifier_.ShowError(QText(TextId::SrvCantFindFalcrest, language_));
    return;
  }
  SimulatorLauncher::Callbacks callbacks;
  callbacks.failedToStart = [this] {
    notifier_.ShowError(QText(TextId::SrvErrorStartingFalcrest, language_));
    setStartEnabled(true);
  };
  callbacks.ended = [this] { setStartEnabled(true); };
  services_.launcher->launch(SimulatorProgramPath(folder), folder, this, std::move(callbacks));
}

void VantorServer::setStartEnabled(bool enabled) {
  if (startEnabled_ == enabled) return;
  startEnabled_ = enabled;
  Q_EMIT startEnabledChanged(enabled);
}

void VantorServer::stop() {
  for (QTcpServer** listener : {&feedListener_, &clientListener_}) {
    if (*listener != nullptr) {
      (*listener)->close();
      delete *listener;
      *listener = nullptr;
    }
  }
  EndAllClients();
  while (!feeds_.empty()) {
    FeedConnection* feed = feeds_.back().get();
    Dispose(feed->socket, this);
    Dispose(feed->pacing);
    feeds_.pop_back();
  }
  if (running_) {
    running_ = false;
    Q_EMIT statusChanged(statusText());
  }
  Q_EMIT feedsChanged();
}

quint16 VantorServer::feedPort() const {
  return feedListener_ != nullptr && feedListener_->isListening() ? feedListener_->serverPort() : 0;
}

quint16 VantorServer::clientPort() const {
  return clientListener_ != nullptr && clientListener_->isListening() ? clientListener_->serverPort() : 0;
}

// ---- client slots -------------------------------------------------------

void VantorServer::onClientPending() {
  while (QTcpSocket* socket = clientListener_->nextPendingConnection()) acceptClient(socket);
}

void VantorServer::acceptClient(QTcpSocket* socket) {
  socket->setParent(this);
  if (!services_.hostCheck->SimulatorHostCheck()) {
    Dispose(socket, this);
    notifier_.ShowError(QText(TextId::SrvOnlyFalcrestServer, language_));
    return;
  }

  std::size_t index = 0;
  const auto maxClient = static_cast<std::size_t>(ClampMaxClient(config_.maxClient));
  while (index < maxClient && slots_[index]->link) ++index;
  if (index == maxClient) {
    // Closed once the notice is written.
    socket->write(protocol::kServerFullNotice.data(), static_cast<qint64>(protocol::kServerFullNotice.size()));
    CloseGracefully(socket);
    return;
  }

  ClientSlot& slot = *slots_[index];
  slot.link = std::make_unique<ClientLink>();
  ClientLink* link = slot.link.get();
  link->socket = socket;
  link->slot = static_cast<int>(index) + 1;
  link->joinTimer = new QTimer(this);
  link->joinTimer->setSingleShot(true);
  // A coarse timer may fire up to 5 % early; a client must get its full 15 s.
  link->joinTimer->setTimerType(Qt::PreciseTimer);
  link->joinTimer->setInterval(options_.joinTimeout);
  connect(link->joinTimer, &QTimer::timeout, this, [this, link] { onJoinTimeout(link); });
  link->joinTimer->start();

  Dispose(slot.datagram, this);
  slot.datagram = new QUdpSocket(this);
  slot.datagram->connectToHost(PlainPeerAddress(socket->peerAddress()), options_.clientPort);

  connect(socket, &QTcpSocket::readyRead, this, [this, link] { onClientReadable(link); });
  connect(socket, &QTcpSocket::disconnected, this, [this, link] { dropLink(link); });
  connect(socket, &QTcpSocket::errorOccurred, this, [this, link] { dropLink(link); });

  protocol::ConfigBlock block = config_.block;
  block.version = protocol::kProtocolVersion;
  block.missionClock = mission_.MissionClock(services_.clock->nowSeconds());
  const protocol::ConfigBlockBytes bytes = protocol::EncodeConfigBlock(block);
  socket->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  Q_EMIT clientsChanged();
}

int VantorServer::slotIndexOf(const ClientLink* link) const {
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i]->link.get() == link) return static_cast<int>(i);
  }
  return -1;
}

void VantorServer::onClientReadable(ClientLink* link) {
  // Each read is one message: the join reply, then chat messages.
  while (slotIndexOf(link) >= 0 && link->socket->bytesAvailable() > 0) {
    const QByteArray message = link->socket->read(static_cast<qint64>(protocol::kControlReadBytes));
    if (message.isEmpty()) break;
    if (link->joined) {
      relayChat(message);
      continue;
    }
    const auto bytes =
        std::span(reinterpret_cast<const std::uint8_t*>(message.constData()), static_cast<std::size_t>(message.size()));
    if (const auto reply = protocol::DecodeJoinReply(bytes)) {
      link->joined = true;
      link->coalition = reply->coalition;
      link->joinTimer->stop();
      Q_EMIT clientsChanged();
    }
  }
}

void VantorServer::relayChat(const QByteArray& message) {
  for (const auto& slot : slots_) {
    if (slot->link && slot->link->joined) slot->link->socket->write(message);
  }
}

void VantorServer::onJoinTimeout(ClientLink* link) {
  const int index = slotIndexOf(link);
  if (index >= 0 && !link->joined) dropSlot(static_cast<std::size_t>(index));
}

void VantorServer::dropLink(ClientLink* link) {
  const int index = slotIndexOf(link);
  if (index >= 0) dropSlot(static_cast<std::size_t>(index));
}

void VantorServer::dropSlot(std::size_t index) {
  ClientSlot& slot = *slots_[index];
  if (!slot.link && slot.datagram == nullptr) return;
  if (slot.link) Dispose(slot.link->socket, this);
  slot.link.reset();
  Dispose(slot.datagram, this);
  slot.datagram = nullptr;
  Q_EMIT clientsChanged();
}

void VantorServer::EndAllClients() {
  for (std::size_t i = 0; i < slots_.size(); ++i) dropSlot(i);
}

bool VantorServer::sendDatagrams(std::size_t index, std::span<const std::string> datagrams) {
  QUdpSocket* socket = slots_[index]->datagram;
  if (socket == nullptr) return false;
  for (const std::string& datagram : datagrams) {
    const auto size = static_cast<qint64>(datagram.size());
    if (socket->write(datagram.data(), size) != size) return false;
  }
  return true;
}

std::vector<ClientSlotInfo> VantorServer::clientSlots() const {
  std::vector<ClientSlotInfo> seated;
  for (const auto& slot : slots_) {
    if (!slot->link) continue;
    seated.push_back({slot->link->slot, slot->link->joined, slot->link->coalition,
                      PlainPeerAddress(slot->link->socket->peerAddress())});
  }
  return seated;
}

int VantorServer::seatedClients() const {
  return static_cast<int>(std::count_if(slots_.begin(), slots_.end(), [](const auto& slot) { return !!slot->link; }));
}

int VantorServer::joinedClients() const {
  return static_cast<int>(
      std::count_if(slots_.begin(), slots_.end(), [](const auto& slot) { return slot->link && slot->link->joined; }));
}

// ---- simulator feeds ----------------------------------------------------

void VantorServer::onFeedPending() {
  while (QTcpSocket* socket = feedListener_->nextPendingConnection()) {
    socket->setParent(this);
    auto feed = std::make_unique<FeedConnection>();
    FeedConnection* raw = feed.get();
    raw->socket = socket;
    raw->pacing = new QTimer(this);
    raw->pacing->setSingleShot(true);
    raw->pacing->setInterval(options_.feedReadPacing);
    connect(raw->pacing, &QTimer::timeout, this, [this, raw] { readFeed(raw); });
    connect(socket, &QTcpSocket::readyRead, this, [raw] {
      if (!raw->pacing->isActive()) raw->pacing->start();
    });
    connect(socket, &QTcpSocket::disconnected, this, [this, raw] { closeFeed(raw, false); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, raw](QAbstractSocket::SocketError error) {
      // A remote close is reported again as the disconnection.
      if (error != QAbstractSocket::RemoteHostClosedError) closeFeed(raw, true);
    });
    feeds_.push_back(std::move(feed));
    Q_EMIT feedsChanged();
  }
}

void VantorServer::readFeed(FeedConnection* feed) {
  const QByteArray bytes = feed->socket->read(static_cast<qint64>(feed->intake.readCapacity()));
  if (!bytes.isEmpty()) {
    feed->intake.ProcessFeedText(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                                 feed->table, mission_, services_.clock->nowSeconds(),
                                 [this, feed] { broadcast(feed->table); });
  }
  if (feed->socket->bytesAvailable() > 0) feed->pacing->start();
}

void VantorServer::broadcast(WorldTable& table) {
  SlotClients clients(*this);
  BroadcastTracks(table, clients, config_.radarTypeShown, services_.clock->nowSeconds(), writer_);
  Q_EMIT tracksBroadcast();
}

void VantorServer::closeFeed(FeedConnection* feed, bool failed) {
  const auto it = std::find_if(feeds_.begin(), feeds_.end(), [feed](const auto& owned) { return owned.get() == feed; });
  if (it == feeds_.end()) return;
  Dispose(feed->socket, this);
  Dispose(feed->pacing);
  feeds_.erase(it);
  if (failed) notifier_.ShowError(QText(TextId::SrvFeedErrorOccurred, language_));
  EndAllClients();
  Q_EMIT feedsChanged();
}

std::vector<std::size_t> VantorServer::feedTableSizes() const {
  std::vector<std::size_t> sizes;
  for (const auto& feed : feeds_) sizes.push_back(feed->table.size());
  return sizes;
}

}  // namespace vantor::server
