#pragma once
// What the main window's menus show at the moment they open: the Airports
// entries greyed for the client's coalition and the friendly radar sites of
// the Radars menu.

#include <QString>

#include <array>
#include <vector>

#include "vantor/protocol/ConfigBlock.h"
#include "vantor/protocol/Constants.h"
#include "vantor/texts/Language.h"

namespace vantor::model {
class CRivakDoc;
}

namespace vantor::shell {

inline constexpr int kAboutCommand = 57664;
inline constexpr int kExitCommand = 57665;
inline constexpr int kRecordCommand = 57666;
inline constexpr int kStopRecordingCommand = 57667;
// Friendly radar sites numbered below this are listed in the Radars menu.
inline constexpr int kRadarMenuSlots = 50;

// Entry i (menu position i, airfield i + 1) is greyed when that airfield's
// radar is out of service for the coalition `side` (0 Blue, 1 Red).
std::array<bool, protocol::kAirfieldCount> GreyedAirportEntries(const protocol::ConfigBlock& config, int side);

struct RadarMenuEntry {
  int command = 0;  // 32800 + radar number
  QString text;     // "Radar_%d", "Radares_%d" in Spanish
};
// The friendly radar sites numbered 0 ... 49 that exist now, in number
// order. Takes the contact lock.
std::vector<RadarMenuEntry> RadarMenuEntries(const model::CRivakDoc& document, Language language);

}  // namespace vantor::shell
