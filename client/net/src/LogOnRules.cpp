#include "vantor/net/LogOnRules.h"

#include <algorithm>
#include <mutex>

#include "vantor/model/ClientState.h"

namespace vantor::net {
namespace {

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::size_t SideIndex(int side) { return side == kBlueSide ? 0 : 1; }

}  // namespace

void ResetSensorPart(model::ClientState& state) {
  std::lock_guard<model::ContactLock> guard(state.contactLock);
  protocol::ConfigBlock& block = state.configBlock;
  for (auto& side : block.airfieldRadarOn) side.fill(1);
  block.awacsMode = {kResetAwacsMode, kResetAwacsMode};
  block.radarOnly = {0, 0};
  state.awacsSeen = false;
  state.awacsLostTicks = 0;
}

bool HasNoPasswords(const protocol::ConfigBlock& block) {
  return block.password[0].empty() && block.password[1].empty();
}

bool PasswordMatches(std::string_view entered, std::string_view stored) {
  // Both texts end at their first NUL, as C strings do.
  entered = entered.substr(0, entered.find('\0'));
  stored = stored.substr(0, stored.find('\0'));
  entered = entered.substr(0, std::min(entered.size(), protocol::kPasswordLength));
  stored = stored.substr(0, std::min(stored.size(), protocol::kPasswordLength));
  return entered.size() == stored.size() && std::equal(entered.begin(), entered.end(), stored.begin(),
                                                       [](char a, char b) { return FoldCase(a) == FoldCase(b); });
}

std::optional<int> SideForPassword(std::string_view entered, const protocol::ConfigBlock& block) {
  if (PasswordMatches(entered, block.password[0])) return kBlueSide;
  if (PasswordMatches(entered, block.password[1])) return kRedSide;
  return std::nullopt;
}

void AdjustAwacsForSide(protocol::ConfigBlock& block, int side) {
  const std::size_t s = SideIndex(side);
  if (block.awacsMode[s] == 0) {
    block.awacsLatitude[s] = 0.0;
    block.awacsLongitude[s] = 0.0;
  }
  if (block.radarOnly[s] != 0) {
    block.awacsMode[s] = kResetAwacsMode;
    block.awacsLatitude[s] = 0.0;
    block.awacsLongitude[s] = 0.0;
  }
}

std::optional<int> InitialCentringCommand(const protocol::ConfigBlock& block, int side) {
  const auto& inService = block.airfieldRadarOn[SideIndex(side)];
  if (inService[kDefaultCentreAirfield] != 0) return std::nullopt;
  for (std::size_t i = 0; i < inService.size(); ++i) {
    if (inService[i] == 1) return kFirstAirfieldCommand + static_cast<int>(i);
  }
  return std::nullopt;
}

}  // namespace vantor::net

namespace vantor::net {

std::optional<int> AdoptSide(model::ClientState& state, int side, std::int64_t now) {
  std::lock_guard<model::ContactLock> guard(state.contactLock);
  state.isBlue = side == kBlueSide;
  AdjustAwacsForSide(state.configBlock, side);
  state.logOnTime = now;
  return InitialCentringCommand(state.configBlock, side);
}

}  // namespace vantor::net
