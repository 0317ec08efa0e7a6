#pragma once
// Application-level state of the client that lives for the whole run and
// needs no window: coalition, the received sensor configuration, AWACS
// bookkeeping, radar numbering and the contact lock.

#include <cstdint>
#include <mutex>

#include "vantor/protocol/ConfigBlock.h"

namespace vantor::model {

// Re-entrant: the scope's paint holds it while calling helpers that take it
// again on the same thread.
using ContactLock = std::recursive_mutex;

// A coalition's AWACS: position and mode word (static altitude in km, or the
// dynamic AWACS' altitude in whole km; 0 = no AWACS coverage drawn).
struct AwacsSlot {
  double latitude = 0.0;
  double longitude = 0.0;
  std::int32_t mode = 0;
  bool operator==(const AwacsSlot&) const = default;
};

// side: 0 Blue, 1 Red (any other value is taken as Red).
AwacsSlot GetAwacsSlot(const protocol::ConfigBlock& block, int side);
void SetAwacsSlot(protocol::ConfigBlock& block, int side, const AwacsSlot& slot);

struct ClientState {
  bool isBlue = true;  // Blue until log-on decides
  protocol::ConfigBlock configBlock;
  bool awacsSeen = false;  // a dynamic AWACS of the client's side was adopted
  int awacsLostTicks = 0;
  int friendlyRadarCount = 0;  // never reset during a run
  int hostileRadarCount = 0;
  std::int64_t logOnTime = 0;  // wall-clock seconds of the last log-on
  mutable ContactLock contactLock;

  // Index of the client's coalition in the per-coalition fields: 0 Blue, 1 Red.
  int SideIndex() const { return isBlue ? 0 : 1; }
  AwacsSlot OwnAwacsSlot() const { return GetAwacsSlot(configBlock, SideIndex()); }
  void SetOwnAwacsSlot(const AwacsSlot& slot) { SetAwacsSlot(configBlock, SideIndex(), slot); }
  bool OwnRadarOnly() const { return configBlock.radarOnly[static_cast<std::size_t>(SideIndex())] != 0; }
};

}  // namespace vantor::model
