// One track datagram from the socket to the contact table: a loopback UDP
// send, the client's receive path, the record reader and UpdateContact for
// every record, for datagrams of 10, 50 and 150 records (150 records fill
// most of the 10,000 bytes a client reads).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUdpSocket>

#include <cstdio>
#include <memory>
#include <string>

#include "vantor/model/CRivakDoc.h"
#include "vantor/net/ClientConnection.h"
#include "vantor/platform/Notifier.h"

namespace {

using namespace vantor;

std::string Datagram(int records, int round) {
  std::string text;
  char record[128];
  const double shift = (round % 2) * 0.001;
  for (int i = 0; i < records; ++i) {
    std::snprintf(record, sizeof record, "%dCFlight %d (Hawk %d)[%c]@%.4f %.4f %.1f %.2f %d##", 10000000 + i, i, i,
                  i % 2 ? 'A' : 'B', 43.0 + i * 0.01 + shift, 37.0 + shift, 3000.0 + i, 1.57, 800 + i % 50);
    text += record;
  }
  return text;
}

// A client connected to a listener that never answers: the track port is
// open while the connection waits for its configuration.
class ReceivingClient {
 public:
  ReceivingClient() : document_(state_) {
    listener_.listen(QHostAddress::LocalHost, 0);
    net::ConnectionOptions options;
    options.serverPort = listener_.serverPort();
    options.datagramPort = 0;  // any free port
    options.bindAddress = QHostAddress::LocalHost;
    options.presetServer = QStringLiteral("127.0.0.1");
    options.serverListFile = folder_.filePath(QStringLiteral("Configsrv.cfg"));
    connection_ = std::make_unique<net::ClientConnection>(document_, prompts_, notifier_, Language::English, options);
    QObject::connect(connection_.get(), &net::ClientConnection::DatagramApplied, [this](int, int) { ++applied_; });
    connection_->ConnectToServer();
  }
  // Sends one datagram and runs the event loop until it has been applied.
  void Deliver(const std::string& datagram) {
    const int before = applied_;
    sender_.writeDatagram(datagram.data(), static_cast<qint64>(datagram.size()), QHostAddress::LocalHost,
                          connection_->DatagramPort());
    while (applied_ == before) QCoreApplication::processEvents(QEventLoop::AllEvents);
  }
  std::size_t contacts() const { return document_.ContactCount(); }

 private:
  QTemporaryDir folder_;
  model::ClientState state_;
  model::CRivakDoc document_;
  net::CancellingAddressPrompt prompts_;
  StderrNotifier notifier_{QStringLiteral("net_bench")};
  QTcpServer listener_;
  QUdpSocket sender_;
  std::unique_ptr<net::ClientConnection> connection_;
  int applied_ = 0;
};

void BM_DatagramIntoContactTable(benchmark::State& state) {
  const int records = static_cast<int>(state.range(0));
  const std::string even = Datagram(records, 0);
  const std::string odd = Datagram(records, 1);
  ReceivingClient client;
  client.Deliver(even);  // creates the contacts; the loop refreshes them
  int round = 0;
  for (auto _ : state) client.Deliver(++round % 2 ? odd : even);
  state.SetItemsProcessed(state.iterations() * records);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(even.size()));
  state.counters["datagram_bytes"] = static_cast<double>(even.size());
  state.counters["contacts"] = static_cast<double>(client.contacts());
}
BENCHMARK(BM_DatagramIntoContactTable)->Arg(10)->Arg(50)->Arg(150)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
