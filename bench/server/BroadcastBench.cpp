// One feed batch through ProcessFeedText and BroadcastTracks with ten joined
// clients, for missions of 100, 1,000 and 10,000 objects.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QUdpSocket>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "vantor/server/FeedProcessor.h"
#include "vantor/server/TrackBroadcaster.h"

using namespace vantor::server;

namespace {

constexpr std::size_t kClients = 10;

// Every tenth object is a radar site, the rest fly.
std::string Batch(int objects, double shift) {
  std::string text;
  char record[160];
  for (int i = 0; i < objects; ++i) {
    const bool site = i % 10 == 0;
    const double lat = 43.0 + (i % 300) * 0.01 + (site ? 0.0 : shift);
    const double lon = 33.0 + (i / 300) * 0.01;
    std::snprintf(record, sizeof record, "%d %c %s %d[%s]@@%.5f %.5f %.1f %.2f##", 10000000 + i, site ? 'A' : 'B',
                  site ? "SA-11 Buk SR" : "Flight", i, i % 2 ? "Allies" : "Enemies", lat, lon, 3000.0 + i, 1.57);
    text += record;
  }
  return text;
}

// Joined clients that only count what they are sent.
class CountingClients final : public BroadcastClients {
 public:
  bool IsJoined(std::size_t) const override { return true; }
  bool IsNewClient(std::size_t slot) const override { return newClient_[slot]; }
  void ClearNewClient(std::size_t slot) override { newClient_[slot] = false; }
  void Send(std::size_t, std::span<const std::string> datagrams) override {
    for (const auto& datagram : datagrams) bytes += datagram.size();
  }
  std::size_t bytes = 0;

 private:
  std::array<bool, kClients> newClient_{true, true, true, true, true, true, true, true, true, true};
};

// Joined clients behind real UDP sockets aimed at a loopback port.
class UdpClients final : public BroadcastClients {
 public:
  UdpClients() {
    sink_.bind(QHostAddress::LocalHost, 0);
    for (auto& socket : sockets_) {
      socket = std::make_unique<QUdpSocket>();
      socket->connectToHost(QHostAddress::LocalHost, sink_.localPort());
    }
  }
  bool IsJoined(std::size_t slot) const override { return slot < kClients; }
  bool IsNewClient(std::size_t) const override { return false; }
  void ClearNewClient(std::size_t) override {}
  void Send(std::size_t slot, std::span<const std::string> datagrams) override {
    for (const auto& datagram : datagrams) {
      sockets_[slot]->write(datagram.data(), static_cast<qint64>(datagram.size()));
    }
    // Keep the sink's queue short so sends never meet a full buffer.
    while (sink_.hasPendingDatagrams()) sink_.readDatagram(nullptr, 0);
  }

 private:
  QUdpSocket sink_;
  std::array<std::unique_ptr<QUdpSocket>, kClients> sockets_;
};

template <typename Clients>
void RunBatches(benchmark::State& state) {
  const int objects = static_cast<int>(state.range(0));
  const std::array<std::string, 2> batches = {Batch(objects, 0.0), Batch(objects, 0.01)};
  FeedIntake intake;
  WorldTable table;
  MissionTime mission;
  Clients clients;
  RadarTypeFlags radarTypes;
  radarTypes.fill(1);
  vantor::protocol::TrackDatagramWriter writer;
  std::int64_t now = 1'700'000'000;
  const auto broadcast = [&] { BroadcastTracks(table, clients, radarTypes, now, writer); };
  intake.ProcessFeedText("Mission start time: 0##", table, mission, now, broadcast);
  intake.ProcessFeedText(batches[1], table, mission, now, broadcast);  // creates every object

  std::size_t round = 0;
  for (auto _ : state) {
    ++now;
    const auto result = intake.ProcessFeedText(batches[round++ % 2], table, mission, now, broadcast);
    benchmark::DoNotOptimize(result.objectRecords);
  }
  state.counters["objects"] = static_cast<double>(table.Size());
  state.SetItemsProcessed(state.iterations() * objects);
}

// Google Benchmark names its cases BM_*.
void BM_FeedAndBroadcast(benchmark::State& state) {  // NOLINT(readability-identifier-naming)
  RunBatches<CountingClients>(state);
}
void BM_FeedAndBroadcastOverLoopbackUdp(benchmark::State& state) {  // NOLINT(readability-identifier-naming)
  RunBatches<UdpClients>(state);
}

}  // namespace

BENCHMARK(BM_FeedAndBroadcast)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FeedAndBroadcastOverLoopbackUdp)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
