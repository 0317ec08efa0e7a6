#pragma once
// One object of the running mission as the simulator reports it.

#include "vantor/missiongen/Kinematics.h"
#include "vantor/missiongen/Movers.h"

#include <memory>
#include <string>

namespace vantor::missiongen {

enum class Coalition { Blue, Red };

std::string_view CoalitionName(Coalition coalition);

struct MissionObject {
  int id = 0;
  char classLetter = 'B';  // "A" ground unit, "B" aeroplane, "C" ship, "D" helicopter
  Coalition coalition = Coalition::Red;
  std::string typeName;      // "Su-27", "PATRIOT STR", "Admiral Kuznetsov"
  std::string callsignBase;  // "Wolf"; empty when the name has no callsign
  int callsignNumber = 0;
  std::string name;  // as the feed shows it: "Su-27 (Wolf 1)"
  MotionState state;
  std::unique_ptr<Mover> mover;  // none for objects that stand where they are
};

}  // namespace vantor::missiongen
