#include "ServerTestSupport.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

#include <QCoreApplication>

#include <cstdio>

#include "vantor/protocol/ControlMessages.h"

namespace vantor::test {

TestClient::TestClient(const QString& address, quint16 clientPort, bool bindUdp) : address_(address) {
  if (bindUdp) {
    udp_.bind(address_, clientPort);
    // As the client asks: a large broadcast arrives while the test is busy.
    udp_.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, protocol::kTrackReceiveBufferBytes);
  }
  QObject::connect(&udp_, &QUdpSocket::readyRead, &udp_, [this] { Pump(); });
  QObject::connect(&tcp_, &QTcpSocket::readyRead, &tcp_, [this] { control_ += tcp_.readAll(); });
}

bool TestClient::ConnectTo(quint16 serverPort) {
  if (!tcp_.bind(address_, 0)) return false;
  tcp_.connectToHost(QHostAddress::LocalHost, serverPort);
  return tcp_.waitForConnected(5000);
}

void TestClient::StartConnect(quint16 serverPort) {
  tcp_.bind(address_, 0);
  tcp_.connectToHost(QHostAddress::LocalHost, serverPort);
}

void TestClient::Pump() {
  while (udp_.hasPendingDatagrams()) {
    QByteArray datagram(static_cast<qsizetype>(udp_.pendingDatagramSize()), '\0');
    udp_.readDatagram(datagram.data(), datagram.size());
    datagrams_.push_back(datagram);
  }
}

QByteArray TestClient::WaitControl(qsizetype count, std::chrono::milliseconds timeout) {
  WaitUntil([&] { return control_.size() >= count; }, timeout);
  return control_;
}

QByteArray TestClient::TakeControl() {
  QCoreApplication::processEvents();
  QByteArray taken = control_;
  control_.clear();
  return taken;
}

std::optional<protocol::ConfigBlock> TestClient::WaitConfigBlock() {
  const QByteArray bytes = WaitControl(static_cast<qsizetype>(protocol::kConfigBlockSize));
  if (bytes.size() < static_cast<qsizetype>(protocol::kConfigBlockSize)) return std::nullopt;
  control_.remove(0, static_cast<qsizetype>(protocol::kConfigBlockSize));
  return protocol::DecodeConfigBlock(
      std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), protocol::kConfigBlockSize));
}

void TestClient::Join(protocol::CoalitionCode coalition) {
  const auto reply = protocol::EncodeJoinReply(coalition);
  Send(QByteArray(reinterpret_cast<const char*>(reply.data()), static_cast<qsizetype>(reply.size())));
}

void TestClient::Send(const QByteArray& bytes) {
  tcp_.write(bytes);
  tcp_.flush();
}

bool TestClient::WaitDatagrams(std::size_t count, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return datagrams_.size() >= count; }, timeout);
}

bool TestClient::WaitDisconnected(std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return tcp_.state() == QAbstractSocket::UnconnectedState; }, timeout);
}

bool TestFeed::ConnectTo(quint16 feedPort) {
  tcp_.connectToHost(QHostAddress::LocalHost, feedPort);
  return tcp_.waitForConnected(5000);
}

void TestFeed::Send(const QByteArray& text) {
  tcp_.write(text);
  tcp_.flush();
}

void TestFeed::Close() { tcp_.disconnectFromHost(); }

void TestFeed::Reset() {
  // A zero linger time makes the close send RST instead of FIN.
  const linger abortive{1, 0};
  ::setsockopt(static_cast<decltype(::socket(0, 0, 0))>(tcp_.socketDescriptor()), SOL_SOCKET, SO_LINGER,
               reinterpret_cast<const char*>(&abortive), sizeof abortive);
  tcp_.abort();
}

ServerHarness::ServerHarness(HarnessOptions options) : feedPort_(FreeTcpPort()), clientPort_(FreeTcpPort()) {
  server::ServerStores stores;
  stores.server = SettingsStore::OpenFile(dir_.filePath("vantorsrv.ini"));
  server::ServerServices services;
  auto clock = std::make_unique<server::ManualWallClock>();
  auto hostCheck = std::make_unique<SwitchableHostCheck>();
  auto launcher = std::make_unique<FakeLauncher>();
  clock_ = clock.get();
  hostCheck_ = hostCheck.get();
  launcher_ = launcher.get();
  services.clock = std::move(clock);
  services.hostCheck = std::move(hostCheck);
  services.launcher = std::move(launcher);
  if (options.manualTimers) {
    auto timers = std::make_unique<server::ManualTimerSource>();
    timers_ = timers.get();
    services.timers = std::move(timers);
  }
  services.simulatorFolder = [this] { return simulatorFolder; };
  server::ServerOptions serverOptions;
  serverOptions.feedPort = feedPort_;
  serverOptions.clientPort = clientPort_;
  serverOptions.joinTimeout = options.joinTimeout;
  serverOptions.feedReadPacing = options.feedReadPacing;
  serverOptions.feedIntakeBytes = options.feedIntakeBytes;
  runtime_ = std::make_unique<server::ServerRuntime>(std::move(stores), notifier_, serverOptions, std::move(services));
}

ServerHarness::~ServerHarness() {
  runtime_.reset();
  QCoreApplication::processEvents();
}

void ServerHarness::Start(bool launchSimulator) {
  runtime_->LoadStartSettings();
  runtime_->StartServer({.launchSimulator = launchSimulator});
}

std::unique_ptr<TestClient> ServerHarness::JoinedClient(const QString& address, protocol::CoalitionCode coalition) {
  auto client = std::make_unique<TestClient>(address, clientPort_);
  if (!client->ConnectTo(clientPort_) || !client->WaitConfigBlock()) return nullptr;
  const int joinedBefore = Clients().JoinedCount();
  client->Join(coalition);
  if (!WaitUntil([&] { return Clients().JoinedCount() > joinedBefore; })) return nullptr;
  return client;
}

QByteArray FeedObject(std::int32_t id, char cls, const std::string& name, double lat, double lon, const char* bracket) {
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "@@%.4f %.4f 1000 1.5##", lat, lon);
  return QByteArray::fromStdString(std::to_string(id) + " " + cls + " " + name + bracket + numbers);
}

QByteArray Broadcast(TestFeed& feed, TestClient& client, const QByteArray& batch) {
  const std::size_t before = client.Datagrams().size();
  feed.Send(batch);
  if (!client.WaitDatagrams(before + 1)) return "<no datagram>";
  QByteArray text;
  // A batch is one broadcast; gather what arrived for it.
  QCoreApplication::processEvents();
  for (std::size_t i = before; i < client.Datagrams().size(); ++i) text += client.Datagrams()[i];
  return text;
}

QByteArray Bytes(const protocol::ConfigBlockBytes& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

std::int32_t Int32At(const QByteArray& bytes, int offset) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i)
    value |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[offset + i])) << (8 * i);
  return static_cast<std::int32_t>(value);
}

}  // namespace vantor::test
