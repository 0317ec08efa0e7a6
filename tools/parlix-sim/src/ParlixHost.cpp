#include "ParlixHost.h"

#include <algorithm>
#include <cstring>

namespace vantor::parlixsim {

std::string ReadCommand(std::span<const char> area) {
  if (area.empty()) return {};  // shrunk away
  const void* nul = std::memchr(area.data(), '\0', area.size());
  const std::size_t length =
      nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - area.data()) : area.size();
  return std::string(area.data(), length);
}

void WriteReply(std::span<char> area, std::string_view reply, const char* fill) {
  if (area.empty()) return;
  if (fill != nullptr) {
    const std::size_t length = std::min(reply.size(), area.size());
    std::memcpy(area.data(), reply.data(), length);
    std::memset(area.data() + length, *fill, area.size() - length);
    return;
  }
  const std::size_t length = std::min(reply.size(), area.size() - 1);
  std::memcpy(area.data(), reply.data(), length);
  area[length] = '\0';
}

}  // namespace vantor::parlixsim
