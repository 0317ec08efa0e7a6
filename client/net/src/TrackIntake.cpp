#include "vantor/net/TrackIntake.h"

#include <mutex>

#include "vantor/model/CRivakDoc.h"

namespace vantor::net {

TrackIntake::TrackIntake(model::CRivakDoc& document) : document_(document) {}

int TrackIntake::Apply(std::span<const std::uint8_t> datagram) {
  entries_.clear();
  model::ClientState& state = document_.State();
  std::lock_guard<model::ContactLock> guard(state.contactLock);
  reader_.feed(datagram, entries_);
  for (const protocol::TrackEntry& entry : entries_) {
    document_.UpdateContact(entry.id, entry.name, entry.latitude, entry.longitude, entry.altitude, entry.heading,
                            protocol::IsFriendly(entry.sideLetter, state.isBlue), entry.classLetter, entry.speed);
  }
  return static_cast<int>(entries_.size());
}

}  // namespace vantor::net
