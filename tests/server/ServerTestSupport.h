#pragma once
// A radar client and a simulator feed over real loopback sockets, and an
// in-process server runtime with injected clock, timers, host check and
// launcher.

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
#include "vantor/server/ServerRuntime.h"

namespace vantor::test {

// A client on its own loopback address: UDP bound on (address, client port)
// before the control connection is opened, as a real client does.
class TestClient {
 public:
  TestClient(const QString& address, quint16 clientPort, bool bindUdp = true);
  bool ConnectTo(quint16 serverPort);
  // Connects without blocking the thread: the server may run in this one.
  void StartConnect(quint16 serverPort);
  // Waits until `count` control bytes arrived in total; returns all of them.
  QByteArray WaitControl(qsizetype count, std::chrono::milliseconds timeout = std::chrono::seconds(5));
  QByteArray TakeControl();
  std::optional<protocol::ConfigBlock> WaitConfigBlock();
  void Join(protocol::CoalitionCode coalition);
  void Send(const QByteArray& bytes);
  bool WaitDatagrams(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5));
  // Received datagrams, in order.
  std::vector<QByteArray>& Datagrams() { return datagrams_; }
  bool WaitDisconnected(std::chrono::milliseconds timeout = std::chrono::seconds(5));
  bool Connected() const { return tcp_.state() == QAbstractSocket::ConnectedState; }
  void CloseUdp() { udp_.close(); }
  void Disconnect() { tcp_.disconnectFromHost(); }

 private:
  void Pump();

  QHostAddress address_;
  QTcpSocket tcp_;
  QUdpSocket udp_;
  QByteArray control_;
  std::vector<QByteArray> datagrams_;
};

class TestFeed {
 public:
  bool ConnectTo(quint16 feedPort);
  void Send(const QByteArray& text);
  void Close();
  // Ends the connection with a reset (RST) instead of an orderly close.
  void Reset();
  QTcpSocket& Socket() { return tcp_; }

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
  void Launch(const QString& program, const QString& folder, QObject*, Callbacks callbacks) override {
    programs.push_back(program);
    folders.push_back(folder);
    last = std::move(callbacks);
  }
  std::vector<QString> programs;
  std::vector<QString> folders;
  Callbacks last;
};

struct HarnessOptions {
  std::chrono::milliseconds joinTimeout{protocol::kJoinTimeoutMs};
  // Join timers on a manual clock (Timers()) instead of Qt's.
  bool manualTimers = false;
  // Short for speed; the pacing tests use the real step.
  std::chrono::milliseconds feedReadPacing{20};
  std::optional<std::size_t> feedIntakeBytes{};
};

// An in-process server on free ports with a settings file of its own.
class ServerHarness {
 public:
  explicit ServerHarness(HarnessOptions options = {});
  ~ServerHarness();
  SettingsStore& Settings() { return runtime_->Settings(); }
  server::ServerRuntime& Runtime() { return *runtime_; }
  server::ClientSlots& Clients() { return runtime_->Clients(); }
  server::FeedConnections& Feeds() { return runtime_->Feeds(); }
  server::ManualWallClock& Clock() { return *clock_; }
  // Only with manualTimers.
  server::ManualTimerSource& Timers() { return *timers_; }
  SwitchableHostCheck& HostCheck() { return *hostCheck_; }
  FakeLauncher& Launcher() { return *launcher_; }
  RecordingNotifier& Notifier() { return notifier_; }
  quint16 FeedPort() const { return feedPort_; }
  quint16 ClientPort() const { return clientPort_; }
  QString simulatorFolder;
  // StartServer without launching, unless asked.
  void Start(bool launchSimulator = false);
  std::unique_ptr<TestClient> JoinedClient(const QString& address,
                                           protocol::CoalitionCode coalition = protocol::CoalitionCode::Blue);

 private:
  QTemporaryDir dir_;
  quint16 feedPort_;
  quint16 clientPort_;
  RecordingNotifier notifier_;
  server::ManualWallClock* clock_ = nullptr;
  server::ManualTimerSource* timers_ = nullptr;
  SwitchableHostCheck* hostCheck_ = nullptr;
  FakeLauncher* launcher_ = nullptr;
  std::unique_ptr<server::ServerRuntime> runtime_;
};

// A feed object record: "<id> <class> <name><bracket>@@<lat> <lon> 1000 1.5##".
QByteArray FeedObject(std::int32_t id, char cls, const std::string& name, double lat, double lon,
                      const char* bracket = "[Allies]");

// Sends a batch and waits until `client` got one more datagram; returns the
// text of what arrived for it.
QByteArray Broadcast(TestFeed& feed, TestClient& client, const QByteArray& batch);

QByteArray Bytes(const protocol::ConfigBlockBytes& bytes);
std::int32_t Int32At(const QByteArray& bytes, int offset);

}  // namespace vantor::test
