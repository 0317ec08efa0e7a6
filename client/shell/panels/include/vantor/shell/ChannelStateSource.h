#pragma once
// What the information panel reads of the button panel's voice channels:
// the channel records last fetched from Parlix, the channel each of the six
// buttons is assigned to, and the button last used to switch.

#include <span>

#include "PxRemote.h"

namespace vantor::shell {

inline constexpr int kChannelSlotCount = 6;
inline constexpr int kNoChannel = -1;

class ChannelStateSource {
 public:
  virtual ~ChannelStateSource() = default;
  // Index 0 ... 5 of the button last used to switch.
  virtual int CurrentSlot() const = 0;
  // The Parlix channel number of button `slot` (0 ... 5); kNoChannel when none.
  virtual int SlotChannel(int slot) const = 0;
  // The channel records (the panel keeps 50; unused ones are named "Not used").
  virtual std::span<const PxrChannelInfo> ChannelRecords() const = 0;
};

// The channel state of a panel that offers the same three accessors (the
// button panel), read through the interface; the panel must outlive it.
template <typename Panel>
class PanelChannelState final : public ChannelStateSource {
 public:
  explicit PanelChannelState(const Panel& panel) : panel_(panel) {}
  int CurrentSlot() const override { return panel_.CurrentSlot(); }
  int SlotChannel(int slot) const override { return panel_.SlotChannel(slot); }
  std::span<const PxrChannelInfo> ChannelRecords() const override { return panel_.ChannelRecords(); }

 private:
  const Panel& panel_;
};

}  // namespace vantor::shell
