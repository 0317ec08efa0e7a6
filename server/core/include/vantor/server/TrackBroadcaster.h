#pragma once
// After each complete batch of feed text: ages the feed's table and sends
// every joined client the records of the objects that changed. The sockets
// stay behind BroadcastClients, so the rules run and are measured without
// them. Plain C++.

#include <cstdint>
#include <span>
#include <string>

#include "vantor/protocol/TrackDatagram.h"
#include "vantor/server/RadarTypeFilter.h"
#include "vantor/server/WorldTable.h"

namespace vantor::server {

class BroadcastClients {
 public:
  virtual ~BroadcastClients() = default;
  // Slot indexes 0 ... kMaxClientSlots - 1.
  virtual bool IsJoined(std::size_t slotIndex) const = 0;
  // 1 until the first broadcast to the client has been built.
  virtual bool IsNewClient(std::size_t slotIndex) const = 0;
  virtual void ClearNewClient(std::size_t slotIndex) = 0;
  // Sends one broadcast's datagrams to the slot's client; a failed send
  // drops the client.
  virtual void Send(std::size_t slotIndex, std::span<const std::string> datagrams) = 0;
};

// `writer` is scratch space reused between broadcasts.
void BroadcastTracks(WorldTable& table, BroadcastClients& clients, const RadarTypeFlags& radarTypes, std::int64_t now,
                     protocol::TrackDatagramWriter& writer);

}  // namespace vantor::server
