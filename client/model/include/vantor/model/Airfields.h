#pragma once
// The theatre's airfields (runway records) and the Airports menu.

#include <QString>

#include <array>
#include <vector>

#include "vantor/protocol/Constants.h"

namespace vantor::model {

// One runway record. An airfield with two runways has two records; the
// secondary one has an empty code and primary = 0.
struct CAirfield {
  int runwayHeading = 0;           // whole degrees, roughly end 1 -> end 2; 0 for the carrier
  int menuId = 0;                  // Airports menu command (32700 ... 32721), 0 when no entry selects it
  bool primary = true;             // the record that carries the approach aids
  bool approachAtFirstEnd = true;  // default approach end: end 1 (else end 2)
  bool activeEndFlipped = false;   // run-time state: the scope picked the other end from the wind
  int elevationM = 0;
  int labelDy = 0;  // code label offset from end 1, pixels, at the closest ranges
  int labelDx = 0;
  double end1Latitude = 0.0;
  double end1Longitude = 0.0;
  double end2Latitude = 0.0;
  double end2Longitude = 0.0;
  double refLatitude = 0.0;  // reference point the scope centres on
  double refLongitude = 0.0;
  QString name;
  QString code;  // four letters drawn beside the runway; empty on secondary records
};

inline constexpr int kAirfieldRecordCount = 26;
// The 26 records in their fixed order (the search and drawing order).
std::vector<CAirfield> BuildAirfieldTable();

// Airports menu: command ids 32700 + (airfield index - 1); the carrier is last.
inline constexpr int kAirportMenuFirstId = 32700;
inline constexpr int kCarrierMenuId = 32721;
inline constexpr int kAirportMenuEntryCount = protocol::kAirfieldCount;

struct AirportMenuEntry {
  int menuId;
  const char* text;  // the same in every language
};
extern const std::array<AirportMenuEntry, kAirportMenuEntryCount> kAirportsMenuEntries;

// The airfield index (1 ... 22) of a menu id, or 0 when it is not one.
int AirfieldIndexOfMenuId(int menuId);

// Special names (case-sensitive).
inline constexpr const char* kCarrierName = "Admiral Kuznetsov";
inline constexpr std::array<const char*, 3> kAwacsTypeNames = {"A-50", "E-3A", "E-2C"};

}  // namespace vantor::model
