#include "vantor/server/WallClock.h"

#include <chrono>

namespace vantor::server {

std::int64_t SystemWallClock::NowSeconds() const {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}  // namespace vantor::server
