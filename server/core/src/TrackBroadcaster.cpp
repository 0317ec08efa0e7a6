#include "vantor/server/TrackBroadcaster.h"

#include <vector>

namespace vantor::server {

void BroadcastTracks(WorldTable& table, BroadcastClients& clients, const RadarTypeFlags& radarTypes, std::int64_t now,
                     protocol::TrackDatagramWriter& writer) {
  AgeWorldTable(table, now);

  // The filter does not depend on the client: decide once per object, when
  // first needed. 0 = not decided yet, 1 = shown, 2 = hidden.
  std::vector<std::uint8_t> hidden;

  for (std::size_t slot = 0; slot < protocol::kMaxClientSlots; ++slot) {
    if (!clients.IsJoined(slot)) continue;
    const bool newClient = clients.IsNewClient(slot);
    if (hidden.empty()) hidden.assign(table.Size(), 0);
    writer.clear();
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
      if (object.staleCount > 0) {
        writer.appendLostTrack(object.record);
      } else {
        writer.appendWithSpeed(object.record, object.speedKmh);
      }
    }
    clients.ClearNewClient(slot);
    clients.Send(slot, writer.datagrams());
  }

  for (WorldObject& object : table) object.unchanged = true;
}

}  // namespace vantor::server
