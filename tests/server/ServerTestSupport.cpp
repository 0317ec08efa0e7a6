#include "ServerTestSupport.h"

#include <QCoreApplication>

#include "vantor/protocol/ControlMessages.h"

namespace vantor::test {

TestClient::TestClient(const QString& address, quint16 clientPort, bool bindUdp) : address_(address) {
  if (bindUdp) udp_.bind(address_, clientPort);
  QObject::connect(&udp_, &QUdpSocket::readyRead, &udp_, [this] { pump(); });
  QObject::connect(&tcp_, &QTcpSocket::readyRead, &tcp_, [this] { control_ += tcp_.readAll(); });
}

bool TestClient::connectTo(quint16 serverPort) {
  if (!tcp_.bind(address_, 0)) return false;
  tcp_.connectToHost(QHostAddress::LocalHost, serverPort);
  return tcp_.waitForConnected(5000);
}

void TestClient::pump() {
  while (udp_.hasPendingDatagrams()) {
    QByteArray datagram(static_cast<qsizetype>(udp_.pendingDatagramSize()), '\0');
    udp_.readDatagram(datagram.data(), datagram.size());
    datagrams_.push_back(datagram);
  }
}

QByteArray TestClient::waitControl(qsizetype count, std::chrono::milliseconds timeout) {
  WaitUntil([&] { return control_.size() >= count; }, timeout);
  return control_;
}

QByteArray TestClient::takeControl() {
  QCoreApplication::processEvents();
  QByteArray taken = control_;
  control_.clear();
  return taken;
}

std::optional<protocol::ConfigBlock> TestClient::waitConfigBlock() {
  const QByteArray bytes = waitControl(static_cast<qsizetype>(protocol::kConfigBlockSize));
  if (bytes.size() < static_cast<qsizetype>(protocol::kConfigBlockSize)) return std::nullopt;
  control_.remove(0, static_cast<qsizetype>(protocol::kConfigBlockSize));
  return protocol::DecodeConfigBlock(
      std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), protocol::kConfigBlockSize));
}

void TestClient::join(protocol::CoalitionCode coalition) {
  const auto reply = protocol::EncodeJoinReply(coalition);
  send(QByteArray(reinterpret_cast<const char*>(reply.data()), static_cast<qsizetype>(reply.size())));
}

void TestClient::send(const QByteArray& bytes) {
  tcp_.write(bytes);
  tcp_.flush();
}

bool TestClient::waitDatagrams(std::size_t count, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return datagrams_.size() >= count; }, timeout);
}

bool TestClient::waitDisconnected(std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return tcp_.state() == QAbstractSocket::UnconnectedState; }, timeout);
}

bool TestFeed::connectTo(quint16 feedPort) {
  tcp_.connectToHost(QHostAddress::LocalHost, feedPort);
  return tcp_.waitForConnected(5000);
}

void TestFeed::send(const QByteArray& text) {
  tcp_.write(text);
  tcp_.flush();
}

void TestFeed::close() { tcp_.disconnectFromHost(); }

ServerHarness::ServerHarness(std::chrono::milliseconds joinTimeout)
    : feedPort_(FreeTcpPort()), clientPort_(FreeTcpPort()) {
  settings_ = SettingsStore::OpenFile(dir_.filePath("vantorsrv.ini"));
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
  services.simulatorFolder = [this] { return simulatorFolder; };
  server::ServerOptions options;
  options.feedPort = feedPort_;
  options.clientPort = clientPort_;
  options.joinTimeout = joinTimeout;
  options.feedReadPacing = std::chrono::milliseconds(20);
  server_ = std::make_unique<server::VantorServer>(*settings_, notifier_, options, std::move(services));
}

ServerHarness::~ServerHarness() {
  server_.reset();
  QCoreApplication::processEvents();
}

void ServerHarness::start(bool launchSimulator) {
  server_->LoadStartSettings();
  server_->StartServer({.launchSimulator = launchSimulator});
}

std::unique_ptr<TestClient> ServerHarness::joinedClient(const QString& address, protocol::CoalitionCode coalition) {
  auto client = std::make_unique<TestClient>(address, clientPort_);
  if (!client->connectTo(clientPort_) || !client->waitConfigBlock()) return nullptr;
  const int joinedBefore = server_->joinedClients();
  client->join(coalition);
  if (!WaitUntil([&] { return server_->joinedClients() > joinedBefore; })) return nullptr;
  return client;
}

}  // namespace vantor::test
