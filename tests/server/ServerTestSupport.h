#pragma once
// A radar client and a simulator feed over real loopback sockets, and an
// in-process server with injected clock, host check and launcher.

#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <memory>
#include <optional>
#include <vector>

#include "TestSupport.h"
#include "vantor/platform/Notifier.h"
#include "vantor/platform/SettingsStore.h"
#include "vantor/protocol/ConfigBlock.h"
#include "vantor/protocol/Constants.h"
#include "vantor/server/VantorServer.h"

namespace vantor::test {

// A client on its own loopback address: UDP bound on (address, client port)
// before the control connection is opened, as a real client does.
class TestClient {
 public:
  TestClient(const QString& address, quint16 clientPort, bool bindUdp = true);
  bool connectTo(quint16 serverPort);
  // Waits until `count` control bytes arrived in total; returns all of them.
  QByteArray waitControl(qsizetype count, std::chrono::milliseconds timeout = std::chrono::seconds(5));
  QByteArray takeControl();
  std::optional<protocol::ConfigBlock> waitConfigBlock();
  void join(protocol::CoalitionCode coalition);
  void send(const QByteArray& bytes);
  bool waitDatagrams(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5));
  // Received datagrams, in order.
  std::vector<QByteArray>& datagrams() { return datagrams_; }
  bool waitDisconnected(std::chrono::milliseconds timeout = std::chrono::seconds(5));
  bool connected() const { return tcp_.state() == QAbstractSocket::ConnectedState; }
  void closeUdp() { udp_.close(); }
  void disconnect() { tcp_.disconnectFromHost(); }

 private:
  void pump();

  QHostAddress address_;
  QTcpSocket tcp_;
  QUdpSocket udp_;
  QByteArray control_;
  std::vector<QByteArray> datagrams_;
};

class TestFeed {
 public:
  bool connectTo(quint16 feedPort);
  void send(const QByteArray& text);
  void close();

 private:
  QTcpSocket tcp_;
};

class RecordingNotifier final : public Notifier {
 public:
  void ShowError(const QString& text) override { errors.push_back(text); }
  void ShowInformation(const QString& text) override { information.push_back(text); }
  std::vector<QString> errors;
  std::vector<QString> information;
};

class SwitchableHostCheck final : public server::HostCheck {
 public:
  bool SimulatorHostCheck() override {
    ++calls;
    return accept;
  }
  bool accept = true;
  int calls = 0;
};

class FakeLauncher final : public server::SimulatorLauncher {
 public:
  void launch(const QString& program, const QString& folder, QObject*, Callbacks callbacks) override {
    programs.push_back(program);
    folders.push_back(folder);
    last = std::move(callbacks);
  }
  std::vector<QString> programs;
  std::vector<QString> folders;
  Callbacks last;
};

// An in-process server on free ports with a settings file of its own.
class ServerHarness {
 public:
  explicit ServerHarness(std::chrono::milliseconds joinTimeout = std::chrono::seconds(15));
  ~ServerHarness();
  SettingsStore& settings() { return *settings_; }
  server::VantorServer& server() { return *server_; }
  server::ManualWallClock& clock() { return *clock_; }
  SwitchableHostCheck& hostCheck() { return *hostCheck_; }
  FakeLauncher& launcher() { return *launcher_; }
  RecordingNotifier& notifier() { return notifier_; }
  quint16 feedPort() const { return feedPort_; }
  quint16 clientPort() const { return clientPort_; }
  QString simulatorFolder;
  // StartServer without launching, unless asked.
  void start(bool launchSimulator = false);
  std::unique_ptr<TestClient> joinedClient(const QString& address,
                                           protocol::CoalitionCode coalition = protocol::CoalitionCode::Blue);

 private:
  QTemporaryDir dir_;
  quint16 feedPort_;
  quint16 clientPort_;
  std::unique_ptr<SettingsStore> settings_;
  RecordingNotifier notifier_;
  server::ManualWallClock* clock_ = nullptr;
  SwitchableHostCheck* hostCheck_ = nullptr;
  FakeLauncher* launcher_ = nullptr;
  std::unique_ptr<server::VantorServer> server_;
};

}  // namespace vantor::test
