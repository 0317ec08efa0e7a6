#pragma once
// Track datagrams into the contact table: the one path every datagram takes,
// whether it came from the server just now or from a recording.

#include <cstdint>
#include <span>
#include <vector>

#include "vantor/protocol/TrackDatagram.h"

namespace vantor::model {
class CRivakDoc;
}

namespace vantor::net {

class TrackIntake {
 public:
  // `document` must outlive the intake.
  explicit TrackIntake(model::CRivakDoc& document);

  // Applies the records one datagram completes, under the contact lock;
  // returns how many there were.
  int Apply(std::span<const std::uint8_t> datagram);
  // Forgets a record left unfinished by the last datagram (a new connection).
  void Reset() { reader_.reset(); }
  // The last datagram ended inside a record.
  bool HoldsPartialRecord() const { return reader_.carrySize() != 0; }

 private:
  model::CRivakDoc& document_;
  protocol::TrackDatagramReader reader_;
  std::vector<protocol::TrackEntry> entries_;
};

}  // namespace vantor::net
