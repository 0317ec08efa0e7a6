#pragma once
// The scope's display options, switched from the button panel, and the two
// status flags that every geometry tick brings up to date.

#include <optional>

namespace vantor::model {
class CRivakDoc;
}

namespace vantor::scope {

inline constexpr int kDefaultCoastlineIntensity = 233;

struct ScopeOptions {
  bool coverageShown = false;  // radar coverage circles and wedges
  bool coastlineShown = true;
  bool rangeRingsShown = true;  // "ViewCircle"
  bool labelsShown = false;     // also on while a mouse button holds them
  bool labelsOption = false;    // the panel's label option: labels stay after the left button is released
  int coastlineIntensity = kDefaultCoastlineIntensity;  // grey level of the coastline
  unsigned windDirectionDeg = 0;                        // 1 ... 360, 0 = no wind
  std::optional<int> braaFriendly;                      // the friendly contact BRAA calls are given from
  bool alertFlashOn = true;                             // the conflict highlight's phase, toggled by the timer
};

struct ScopeStatus {
  bool radarOutOfOrder = false;
  bool awacsLost = false;
};

// One tick's update of the flags for the client's coalition:
// - the radar the scope is centred on (radar commands, radar-only mode) has
//   disappeared: the scope shows "Radar out of order" until another command;
// - the dynamic AWACS has disappeared: the warning shows for the remaining
//   ticks of the document's countdown, which this call decrements.
void UpdateStatusFlags(ScopeStatus& status, model::CRivakDoc& document, int centringCommand);

}  // namespace vantor::scope
