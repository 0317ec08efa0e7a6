#pragma once
// The mission over the theatre: who flies from where, which ships sail and
// which ground units stand where. Deterministic for a seed.

#include "vantor/missiongen/MissionObject.h"
#include "vantor/missiongen/Random.h"

#include <functional>
#include <memory>
#include <vector>

namespace vantor::missiongen {

// Hands out the feed's 8-digit object ids in creation order.
class IdSequence {
 public:
  int Next();

 private:
  int count_ = 0;
};

struct ScenarioOptions {
  std::uint64_t seed = 1;
  int objectCount = 0;       // 0: the standard mission; otherwise exactly this many objects
  double windFromRad = 0.0;  // runways are used into the wind
};

// The standard mission has this many objects.
int StandardObjectCount();

std::vector<std::unique_ptr<MissionObject>> BuildScenario(const ScenarioOptions& options, IdSequence& ids);

// A new aircraft for a lost one: same type, home runway and task, the next
// callsign number, parked and about to start.
std::unique_ptr<MissionObject> MakeReplacement(const MissionObject& lost, int callsignNumber, IdSequence& ids,
                                               Random& random);

// The feed name of an object with a callsign: "Su-27 (Wolf 1)".
std::string CallsignName(const std::string& typeName, const std::string& callsignBase, int number);

}  // namespace vantor::missiongen
