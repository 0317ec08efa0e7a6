#include "vantor/server/RadarTypeFilter.h"

#include <string>

#include "vantor/protocol/Constants.h"
#include "vantor/protocol/TextNumbers.h"

namespace vantor::server {

bool RadarTypeFilter(std::string_view record, const RadarTypeFlags& flags) {
  const std::string upper = protocol::ToUpperAscii(record);
  for (std::size_t index = 0; index < protocol::kRadarTypeCount; ++index) {
    if (flags[index] != 0 && upper.find(protocol::RadarTypeNames[index]) != std::string::npos) return false;
  }
  return true;
}

}  // namespace vantor::server
