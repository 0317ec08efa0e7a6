#include "vantor/model/RadarTypeTable.h"

#include <string>

#include "NumberConversion.h"

namespace vantor::model {

const std::array<RadarTypeRow, protocol::kRadarTypeCount> RadarTypeTable = {{
    // NOLINT(readability-identifier-naming)
    {"AVENGER", 6.0, 6.0, 6.0},
    {"HAWK SR", 90.0, 32.0, 90.0},
    {"PATRIOT STR", 170.0, 160.0, 170.0},
    {"VULCAN", 5.0, 2.5, 5.0},
    {"ROLAND RDR", 35.0, 6.0, 35.0},
    {"HAWK TR", 90.0, 32.0, 90.0},
    {"STINGER", 4.0, 0.0, 4.0},
    {"ROLAND ADS", 6.3, 6.0, 6.3},
    {"1L13 EWR", 300.0, 0.0, 120.0},
    {"2S6 TUNGUSKA", 18.0, 0.0, 18.0},
    {"55G6 EWR", 300.0, 0.0, 120.0},
    {"BUK SR", 100.0, 32.0, 100.0},
    {"DOG EAR RDR", 35.0, 0.0, 35.0},
    {"IGLA", 4.0, 0.0, 4.0},
    {"KUB STR", 75.0, 24.0, 75.0},
    {"OSA 9A33 LN", 30.0, 10.0, 20.0},
    {"S-300PS 40B6M TR", 160.0, 50.0, 160.0},
    {"S-300PS 40B6MD SR", 120.0, 50.0, 120.0},
    {"S-300PS 64H6E SR", 180.0, 50.0, 250.0},
    {"STRELA-10 9A35", 8.0, 5.0, 8.0},
    {"STRELA-1 9P31", 8.0, 5.0, 8.0},
    {"TOR 9A331", 25.0, 5.0, 25.0},
    {"ZSU-23-4 SHILKA", 5.0, 2.5, 5.0},
}};

int FindRadarTypeRow(std::string_view contactName) {
  // Only ASCII letters change case: the type names are ASCII and other bytes
  // of a UTF-8 name must stay as they are.
  std::string upper(contactName);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  for (std::size_t row = 0; row < RadarTypeTable.size(); ++row) {
    if (upper.find(RadarTypeTable[row].typeName) != std::string::npos) return static_cast<int>(row);
  }
  return -1;
}

double LookupRadarType(std::string_view contactName, int& sectorDeg, int& weaponRangeKm, int& altitudeLimitKm) {
  const int row = FindRadarTypeRow(contactName);
  if (row < 0) return 0.0;
  const RadarTypeRow& type = RadarTypeTable[static_cast<std::size_t>(row)];
  sectorDeg = static_cast<std::size_t>(row) == kPatriotRow ? kPatriotSectorDeg : kFullSectorDeg;
  weaponRangeKm = TruncateToInt(type.weaponRangeKm);
  altitudeLimitKm = TruncateToInt(type.altitudeLimitKm);
  return type.detectionRangeKm;
}

}  // namespace vantor::model
