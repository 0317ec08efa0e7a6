#pragma once
// The server's one visibility decision: ground units reach clients only when
// their record names a radar type the operator enabled. Plain C++.

#include <array>
#include <cstdint>
#include <string_view>

namespace vantor::server {

// The configuration holds 31 "Ra%d" flags; the first 23 follow RadarTypeNames.
inline constexpr std::size_t kRadarTypeFlagCount = 31;
using RadarTypeFlags = std::array<std::int32_t, kRadarTypeFlagCount>;

// True = hide: no enabled radar type name occurs in the record (letter case
// ignored).
bool RadarTypeFilter(std::string_view record, const RadarTypeFlags& flags);

}  // namespace vantor::server
