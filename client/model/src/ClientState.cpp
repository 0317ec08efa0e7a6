#include "vantor/model/ClientState.h"

namespace vantor::model {
namespace {
std::size_t SideSlot(int side) { return side == 0 ? 0 : 1; }
}  // namespace

AwacsSlot GetAwacsSlot(const protocol::ConfigBlock& block, int side) {
  const std::size_t s = SideSlot(side);
  return AwacsSlot{block.awacsLatitude[s], block.awacsLongitude[s], block.awacsMode[s]};
}

void SetAwacsSlot(protocol::ConfigBlock& block, int side, const AwacsSlot& slot) {
  const std::size_t s = SideSlot(side);
  block.awacsLatitude[s] = slot.latitude;
  block.awacsLongitude[s] = slot.longitude;
  block.awacsMode[s] = slot.mode;
}

}  // namespace vantor::model
