// The server's client port driven over loopback: up to four clients connect,
// send what the input says (join replies, chat, garbage), stop reading or
// leave, while feed batches are broadcast to them. The slots must stay
// consistent and nothing may touch a freed connection.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>

#include <array>
#include <cstdint>
#include <memory>

#include "FuzzSupport.h"
#include "vantor/server/ClientSlots.h"
#include "vantor/server/FeedProcessor.h"
#include "vantor/server/HostCheck.h"
#include "vantor/server/ServerConfig.h"
#include "vantor/server/TimerSource.h"
#include "vantor/server/WallClock.h"
#include "vantor/server/WorldTable.h"

using namespace vantor;

namespace {

constexpr int kClients = 4;

// One server for the whole run; each input starts with every slot free.
struct Server {
  Server() {
    config.maxClient = 3;
    for (auto& shown : config.radarTypeShown) shown = 1;
    // Datagrams go to a port nobody listens on: sends fail now and then, as
    // they do for a client that went away.
    clientSlots = std::make_unique<server::ClientSlots>(
        config, mission, server::ClientSlots::Services{clock, hostCheck, timers},
        server::ClientSlots::Options{.datagramPort = 9, .joinTimeout = std::chrono::milliseconds(40)});
    FUZZ_CHECK(!clientSlots->Listen(0).has_value());
  }
  server::ServerConfig config = server::DefaultServerConfig();
  server::MissionTime mission;
  server::SystemWallClock clock;
  server::FixedHostCheck hostCheck{true};
  server::QtTimerSource timers;
  std::unique_ptr<server::ClientSlots> clientSlots;
};

Server* harness = nullptr;

// Lets loopback traffic and timers run: a few passes without waiting, and
// then, when asked, a while longer.
void Pump(int milliseconds) {
  for (int pass = 0; pass < 4; ++pass) QCoreApplication::processEvents();
  if (milliseconds <= 0) return;
  QElapsedTimer elapsed;
  elapsed.start();
  while (elapsed.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 1);
}

void CheckSlots() {
  const std::vector<server::ClientSlotInfo> seated = harness->clientSlots->Seated();
  FUZZ_CHECK(static_cast<int>(seated.size()) <= harness->config.maxClient);
  FUZZ_CHECK(harness->clientSlots->JoinedCount() <= harness->clientSlots->SeatedCount());
  int previous = 0;
  for (const server::ClientSlotInfo& client : seated) {
    FUZZ_CHECK(client.slot > previous && client.slot <= harness->config.maxClient);
    previous = client.slot;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static QCoreApplication application(*argc, *argv);
  static Server instance;
  harness = &instance;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzInput input(data, size);
  std::array<std::unique_ptr<QTcpSocket>, kClients> clients;
  server::WorldTable table;
  std::int64_t tick = 0;
  for (int step = 0; step < 64 && !input.Empty(); ++step) {
    const std::uint8_t action = input.Byte();
    auto& client = clients[action % kClients];
    switch (action >> 2 & 7) {
      case 0:  // connect
        if (!client) {
          client = std::make_unique<QTcpSocket>();
          client->connectToHost(QHostAddress::LocalHost, harness->clientSlots->Port());
        }
        break;
      case 1:  // join
        if (client) client->write(QByteArray("\x06", 1) + QByteArray(1, static_cast<char>(input.Byte() & 3)));
        break;
      case 2:
      case 3: {  // any bytes: chat or garbage
        const std::string_view bytes = input.Chunk();
        if (client) client->write(bytes.data(), static_cast<qint64>(bytes.size()));
        break;
      }
      case 4:  // leave
        client.reset();
        break;
      case 5:  // stop reading for a while
        if (client) client->setReadBufferSize(1);
        break;
      case 6: {  // a feed batch
        const std::int32_t id = 10000000 + (input.Byte() & 7);
        server::ApplyFeedRecord(table, id, std::to_string(id) + "BTrack[A]@44.0000 38.0000 1000.0 1.00##", 'B',
                                44.0 + tick, 38.0, 1'700'000'000 + tick * 11);
        ++tick;
        harness->clientSlots->BroadcastTracks(table);
        break;
      }
      default:  // time passes
        Pump(action >> 5);
        break;
    }
    Pump(0);
    CheckSlots();
  }
  // The next input starts with every slot free.
  clients = {};
  Pump(0);
  harness->clientSlots->EndAllClients();
  FUZZ_CHECK(harness->clientSlots->SeatedCount() == 0);
  Pump(0);
  return 0;
}
