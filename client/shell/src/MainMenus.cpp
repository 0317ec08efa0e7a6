#include "vantor/shell/MainMenus.h"

#include <mutex>

#include "vantor/model/CRivakDoc.h"
#include "vantor/scope/ScopeGeometry.h"
#include "vantor/texts/Texts.h"

namespace vantor::shell {

std::array<bool, protocol::kAirfieldCount> GreyedAirportEntries(const protocol::ConfigBlock& config, int side) {
  const auto s = static_cast<std::size_t>(side == 0 ? 0 : 1);
  std::array<bool, protocol::kAirfieldCount> greyed{};
  for (std::size_t i = 0; i < greyed.size(); ++i) greyed[i] = config.airfieldRadarOn[s][i] == 0;
  return greyed;
}

std::vector<RadarMenuEntry> RadarMenuEntries(const model::CRivakDoc& document, Language language) {
  std::vector<RadarMenuEntry> entries;
  std::lock_guard lock(document.ContactTableLock());
  for (int number = 0; number < kRadarMenuSlots; ++number) {
    if (document.FindRadarSite(number) == nullptr) continue;
    entries.push_back(
        {scope::kFirstRadarCommand + number, QString::asprintf(Text(TextId::ScopeMenuRadarEntry, language), number)});
  }
  return entries;
}

}  // namespace vantor::shell
