// The whole feed intake of one connection: text arriving in reads of any
// size over a running clock, the world table with its speed, standing-still
// and ageing rules, and the broadcast to three clients. Every datagram must
// fit a receive and read back whole on a client.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "vantor/protocol/Constants.h"
#include "vantor/protocol/TrackDatagram.h"
#include "vantor/server/FeedProcessor.h"
#include "vantor/server/TrackBroadcaster.h"

namespace {

using namespace vantor;

class Clients final : public server::BroadcastClients {
 public:
  bool IsJoined(std::size_t slot) const override { return slot < 3; }
  bool IsNewClient(std::size_t slot) const override { return newClient_[slot]; }
  void ClearNewClient(std::size_t slot) override { newClient_[slot] = false; }
  void Send(std::size_t slot, std::span<const std::string> datagrams) override {
    FUZZ_CHECK(!datagrams.empty());
    for (const std::string& datagram : datagrams) {
      FUZZ_CHECK(datagram.size() <= protocol::kMaxDatagramBytes);
      // Records are whole within each datagram: nothing is carried over.
      const std::vector<protocol::TrackEntry> entries = readers_[slot].feed(datagram);
      FUZZ_CHECK(readers_[slot].carrySize() == 0);
      std::size_t records = 0;
      for (std::size_t at = datagram.find("##"); at != std::string::npos; at = datagram.find("##", at + 2)) ++records;
      FUZZ_CHECK(entries.size() == records);
    }
  }
  void Rejoin(std::size_t slot) { newClient_[slot] = true; }

 private:
  bool newClient_[protocol::kMaxClientSlots] = {true, true, true};
  protocol::TrackDatagramReader readers_[protocol::kMaxClientSlots];
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vantor::fuzz::FuzzInput input(data, size);
  server::RadarTypeFlags radarTypes{};
  const std::uint32_t shown = input.Word() | (static_cast<std::uint32_t>(input.Word()) << 16);
  for (std::size_t i = 0; i < radarTypes.size(); ++i) radarTypes[i] = (shown >> i) & 1U;

  server::FeedIntake intake;
  server::WorldTable table;
  server::MissionTime mission;
  Clients clients;
  protocol::TrackDatagramWriter writer;
  std::int64_t now = 1'700'000'000;
  while (!input.Empty()) {
    const std::uint8_t step = input.Byte();
    now += step & 0x1F;  // up to 31 s between reads: samples, standing still, ageing
    if (step & 0x80) clients.Rejoin(step % 3);
    const std::string_view text = input.Chunk();
    const std::size_t objectsBefore = table.Size();
    const server::FeedIntakeResult result = intake.ProcessFeedText(
        text, table, mission, now, [&] { server::BroadcastTracks(table, clients, radarTypes, now, writer); });
    FUZZ_CHECK(intake.Carry() < server::FeedIntake::kIntakeBytes);
    FUZZ_CHECK(table.Size() <= objectsBefore + static_cast<std::size_t>(result.objectRecords));
  }
  return 0;
}
