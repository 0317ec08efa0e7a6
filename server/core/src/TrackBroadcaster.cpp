#include "vantor/server/TrackBroadcaster.h"

#include <algorithm>
#include <vector>

namespace vantor::server {

namespace {

// What one client is sent of each object, in table order.
enum class Selection : std::uint8_t { Nothing, Record, LostTrack };

struct BuiltBroadcast {
  std::vector<Selection> selection;
  std::vector<std::string> datagrams;
};

}  // namespace

void BroadcastTracks(WorldTable& table, BroadcastClients& clients, const RadarTypeFlags& radarTypes, std::int64_t now,
                     protocol::TrackDatagramWriter& writer) {
  AgeWorldTable(table, now);

  // The filter does not depend on the client: decide once per object, when
  // first needed. 0 = not decided yet, 1 = shown, 2 = hidden.
  std::vector<std::uint8_t> hidden;
  // Clients almost always get the same records (only radar sites go to each
  // one once): the datagrams are built once per distinct selection, which
  // keeps a large mission's broadcast to ten clients cheap.
  std::vector<BuiltBroadcast> built;
  std::vector<Selection> selection;

  for (std::size_t slot = 0; slot < protocol::kMaxClientSlots; ++slot) {
    if (!clients.IsJoined(slot)) continue;
    const bool newClient = clients.IsNewClient(slot);
    if (hidden.empty()) hidden.assign(table.Size(), 0);
    selection.assign(table.Size(), Selection::Nothing);
    std::size_t ordinal = 0;
    for (WorldObject& object : table) {
      const std::size_t position = ordinal++;
      if (newClient) object.sentTo[slot] = 0;
      if (object.unchanged && object.staleCount == 0) continue;
      if (object.groundUnit) {
        if (hidden[position] == 0) hidden[position] = RadarTypeFilter(object.record, radarTypes) ? 2 : 1;
        if (hidden[position] == 2) continue;
        // A radar site goes to each client once while it keeps reporting.
        if (object.sentTo[slot] == 1 && object.staleCount == 0) continue;
      }
      object.sentTo[slot] = 1;
      selection[position] = object.staleCount > 0 ? Selection::LostTrack : Selection::Record;
    }
    clients.ClearNewClient(slot);

    auto same = std::find_if(built.begin(), built.end(),
                             [&selection](const BuiltBroadcast& earlier) { return earlier.selection == selection; });
    if (same == built.end()) {
      writer.clear();
      ordinal = 0;
      for (const WorldObject& object : table) {
        switch (selection[ordinal++]) {
          case Selection::Nothing:
            break;
          case Selection::Record:
            writer.appendWithSpeed(object.record, object.speedKmh);
            break;
          case Selection::LostTrack:
            writer.appendLostTrack(object.record);
            break;
        }
      }
      const auto datagrams = writer.datagrams();
      built.push_back({selection, std::vector<std::string>(datagrams.begin(), datagrams.end())});
      same = built.end() - 1;
    }
    clients.Send(slot, same->datagrams);
  }

  for (WorldObject& object : table) object.unchanged = true;
}

}  // namespace vantor::server
