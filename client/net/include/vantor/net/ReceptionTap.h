#pragma once
// What the connection has accepted, handed on as it arrives to whoever keeps
// a record of it. Called on the connection's thread, before the bytes are
// applied; an implementation copies what it needs and never blocks.

#include <cstdint>
#include <span>

namespace vantor::net {

class ReceptionTap {
 public:
  virtual ~ReceptionTap() = default;
  // The log-on decided the side (0 Blue, 1 Red); `configBlock` is the
  // server's block as it was received.
  virtual void Joined(int side, std::span<const std::uint8_t> configBlock) = 0;
  // One track datagram the connection accepted, as read.
  virtual void TrackDatagramAccepted(std::span<const std::uint8_t> datagram) = 0;
  // One read of the control connection after the log-on (a chat message).
  virtual void ControlMessageRead(std::span<const std::uint8_t> bytes) = 0;
};

}  // namespace vantor::net
