#include "vantor/scope/ScopeStatus.h"

#include <mutex>

#include "vantor/model/CRivakDoc.h"
#include "vantor/scope/ScopeGeometry.h"

namespace vantor::scope {

void UpdateStatusFlags(ScopeStatus& status, model::CRivakDoc& document, int centringCommand) {
  model::ClientState& state = document.State();
  if (!state.OwnRadarOnly() || centringCommand < kFirstRadarCommand) {
    status.radarOutOfOrder = false;
  } else {
    std::lock_guard lock(document.ContactTableLock());
    // A radar that is there leaves the flag as it is: only a radar command
    // clears it.
    if (document.FindRadarSite(centringCommand - kFirstRadarCommand) == nullptr) status.radarOutOfOrder = true;
  }

  if (state.OwnAwacsSlot().latitude == 0.0 && state.awacsSeen != 0 && state.awacsLostTicks > 0) {
    status.awacsLost = true;
    --state.awacsLostTicks;
  } else {
    status.awacsLost = false;
  }
}

}  // namespace vantor::scope
